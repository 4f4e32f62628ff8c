// A datagram as the mailbox hands it to the plug-in: drawn as the call stack
// "sqDelphiCallStack", or told as one failure; nothing else.
#include "diagram_generator.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx;
  if (size > 65536) return 0;  // the mailbox's buffer
  auto& project = fuzz::Host().FreshProject();
  settings::TTypeMemoryStream stream;
  stream.Write(data, std::int32_t(size));
  int failures = 0;
  const std::int32_t id =
      sequence::DrawReceivedCallStack(fuzz::Host().Services(), stream, {}, [&](const std::string&) { ++failures; });
  if ((id >= 0) == (failures > 0)) fuzz::Wrong("a call stack both drawn and failed, or neither");
  if (id >= 0 && (project.diagrams.empty() || project.diagrams.back()->name != u"sqDelphiCallStack"))
    fuzz::Wrong("the drawn call stack is not the newest diagram");
  if (!fuzz::Host().dialogs.Shown().empty()) fuzz::Wrong("a message box was shown");
  return 0;
}
