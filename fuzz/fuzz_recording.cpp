// Messages from the slot, split at each NUL byte, as the plug-in takes them
// one after the other: a recording's batch is read back as it was written,
// a valid call-sequence list is never taken for a batch, and the receiver
// draws recordings and nothing else, never failing and never showing a box.
#include <string_view>

#include "fuzz_support.h"
#include "mmapi/cxx/utf.h"
#include "recording_receiver.h"
#include "sequence_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  auto& project = fuzz::Host().FreshProject();
  const std::size_t before = project.diagrams.size();
  sequence::RecordingReceiver receiver(fuzz::Host().Services());
  int failures = 0;
  for (std::size_t start = 0; start <= input.size();) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    const std::string_view message = input.substr(start, end - start);
    start = end + 1;
    if (message.size() > 65536) continue;  // the mailbox's buffer
    const std::string_view first = message.substr(0, message.find_first_of("\r\n"));
    if (!first.empty() && sequence::SplitCallLine(std::string(first)).first.size() > 0 &&
        sequence::IsRecordingBatch(message))
      fuzz::Wrong("a valid call line was taken for a recording's batch");
    try {
      const sequence::RecordingBatch batch = sequence::ParseRecordingBatch(message);
      const std::string text = sequence::RecordingBatchText(batch);
      if (!sequence::IsRecordingBatch(text) || !(sequence::ParseRecordingBatch(text) == batch))
        fuzz::Wrong("a batch written out does not read back as the same batch");
    } catch (const std::invalid_argument&) {
    }
    receiver.Receive(message, {}, 8, [&](const std::string&) { ++failures; });
  }
  if (failures > 0) fuzz::Wrong("the host failed a recording's drawing");
  if (!fuzz::Host().dialogs.Shown().empty()) fuzz::Wrong("a message box was shown");
  for (std::size_t i = before; i < project.diagrams.size(); ++i)
    if (project.diagrams[i]->kind != mmapi::dkInteraction ||
        !mmapi::cxx::ToUtf8(project.diagrams[i]->name).starts_with("sqRecording "))
      fuzz::Wrong("a diagram other than a recording's was drawn");
  return 0;
}
