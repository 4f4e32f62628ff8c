#include "recording_receiver.h"

#include <algorithm>

#include "drvx/platform/ansi_text.h"
#include "drvx/platform/forms.h"
#include "sequence_model.h"

namespace drvx::sequence {
namespace {

std::string Counted(std::uint64_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string LostText(std::uint64_t first, std::uint64_t last) {
  if (first == last) return "lost: batch " + std::to_string(first);
  return "lost: batches " + std::to_string(first) + platform::AnsiFromUtf16(u"\u2013") +
         std::to_string(last);
}

}  // namespace

void RecordingReceiver::Receive(std::string_view message, const CallStackFilter& filter,
                                std::size_t pageMessages, const Reporter& reporter) {
  RecordingBatch batch;
  try {
    batch = ParseRecordingBatch(message);
  } catch (const std::invalid_argument& error) {
    platform::LogLine(std::string("a recording's batch of ") + std::to_string(message.size()) +
                      " bytes was not read: " + error.what());
    return;
  }
  const Key key{batch.process, batch.thread, batch.recording};
  if (closed_.count(key)) {
    platform::LogLine("a batch of " + Label(batch) + " came after its recording ended (batch " +
                      std::to_string(batch.batch) + "); it was left out");
    return;
  }
  auto at = recordings_.find(key);
  try {
    if (at == recordings_.end()) {
      Begin(batch, filter, pageMessages);
      at = recordings_.find(key);
    }
    Recording& recording = at->second;
    recording.lastUse = ++uses_;
    if (batch.batch < recording.nextBatch) {
      platform::LogLine("a batch of " + recording.label + " came again or late (batch " +
                        std::to_string(batch.batch) + "); it was left out");
      return;
    }
    Take(recording, batch);
    mostNodes_ = std::max(mostNodes_, recording.folder->MostNodes());
    if (batch.end) {
      Finish(recording, "ended");
      closed_.insert(key);
      recordings_.erase(at);
    } else {
      recording.folder->Draw();
      recording.diagram->Flush(Summary(recording, "recording"), false);
    }
  } catch (const std::exception& error) {
    if (reporter) reporter("the recording of " + Label(batch) + " cannot be drawn: " + error.what());
    if (at != recordings_.end()) recordings_.erase(at);
    closed_.insert(key);
  }
}

RecordingReceiver::Recording& RecordingReceiver::Begin(const RecordingBatch& batch,
                                                       const CallStackFilter& filter,
                                                       std::size_t pageMessages) {
  if (recordings_.size() >= kMostRecordings) {
    const auto oldest = std::min_element(recordings_.begin(), recordings_.end(), [](const auto& a, const auto& b) {
      return a.second.lastUse < b.second.lastUse;
    });
    Finish(oldest->second, "no batch came for it since");
    closed_.insert(oldest->first);
    recordings_.erase(oldest);
  }
  Recording recording;
  recording.label = Label(batch);
  recording.filter = filter;
  recording.diagram = std::make_unique<RecordingDiagram>(
      services_, "sqRecording " + batch.program + " " + std::to_string(batch.thread), pageMessages);
  recording.folder = std::make_unique<CallFolder>(*recording.diagram, foldWindow_);
  return recordings_.emplace(Key{batch.process, batch.thread, batch.recording}, std::move(recording))
      .first->second;
}

void RecordingReceiver::Take(Recording& recording, const RecordingBatch& batch) {
  if (batch.batch > recording.nextBatch) {
    recording.lostBatches += batch.batch - recording.nextBatch;
    recording.folder->Gap(LostText(recording.nextBatch, batch.batch - 1));
  }
  recording.nextBatch = batch.batch + 1;
  for (const auto& [id, name] : batch.names) recording.names[id] = name;
  if (batch.open) Reconcile(recording, *batch.open);
  std::size_t inlineName = 0;
  for (const RecordingEvent& event : batch.events) {
    ++recording.events;
    if (event.kind == RecordingEvent::Return) {
      Leave(recording);
      continue;
    }
    if (event.id == 0) {
      Enter(recording, 0, batch.inlineNames.at(inlineName++));
      continue;
    }
    Enter(recording, event.id, NameOf(recording, event.id));
  }
}

void RecordingReceiver::Enter(Recording& recording, std::uint32_t id, const std::string& name) {
  auto [role, message] = SplitCallLine(name);
  if (role.empty()) role = "(unnamed)";
  const CallStackFilter& filter = recording.filter;
  const bool drawn = filter.KeepsClass(role) &&
                     (filter.depthLimit == 0 || recording.drawnOpen < filter.depthLimit);
  recording.open.push_back({id, drawn});
  if (!drawn) return;
  ++recording.drawnOpen;
  recording.folder->Call(std::move(role), std::move(message));
}

void RecordingReceiver::Leave(Recording& recording) {
  if (recording.open.empty()) return;
  const bool drawn = recording.open.back().drawn;
  recording.open.pop_back();
  if (!drawn) return;
  --recording.drawnOpen;
  recording.folder->Return();
}

// The open calls' innermost ids line up with the innermost of the depth
// given; outer ones that are not given are taken to be those open here,
// and are left out where fewer are open here (nothing is known of them, and
// a batch's depth is no count of calls to make).
void RecordingReceiver::Reconcile(Recording& recording, const OpenCalls& open) {
  const std::size_t depth = std::size_t(open.depth);
  const std::size_t given = depth - open.ids.size();
  std::size_t same = 0;
  while (same < recording.open.size() && same < depth &&
         (same < given || recording.open[same].id == open.ids[same - given]))
    ++same;
  // Those left unseen; what is still open below them stays.
  std::size_t drawn = 0;
  for (std::size_t i = 0; i < same; ++i) drawn += recording.open[i].drawn;
  recording.open.resize(same);
  recording.drawnOpen = drawn;
  recording.folder->LeaveUnseen(drawn);
  for (std::size_t i = std::max(same, given); i < depth; ++i) {
    Enter(recording, open.ids[i - given], NameOf(recording, open.ids[i - given]));
  }
}

void RecordingReceiver::Finish(Recording& recording, const std::string& how) {
  recording.folder->End();
  recording.diagram->Flush(Summary(recording, how), true);
}

std::string RecordingReceiver::NameOf(const Recording& recording, std::uint32_t id) {
  const auto name = recording.names.find(id);
  return name != recording.names.end() ? name->second : "(unknown)." + std::to_string(id);
}

std::string RecordingReceiver::Label(const RecordingBatch& batch) {
  return batch.program + " (process " + std::to_string(batch.process) + ", thread " +
         std::to_string(batch.thread) + ")";
}

std::string RecordingReceiver::Summary(const Recording& recording, const std::string& state) {
  return "Recording of " + recording.label + ", " + state + ": " +
         Counted(recording.events, "event", "events") + ", " +
         (recording.lostBatches == 0 ? std::string("no batch lost")
                                     : Counted(recording.lostBatches, "batch", "batches") + " lost");
}

}  // namespace drvx::sequence
