// RecordingReceiver: the recordings that traced programs send as batches
// on the message slot, each drawn as it grows (RecordingDiagram), one per
// program, thread and recording. It follows the batches' numbers: a number
// that does not come is a gap drawn where the run stands ("lost: batches
// 17–19"), and the calls the next batch says are open put the run back in
// place. The host's call-stack filter applies: a call of a class it leaves
// out is not drawn (what it calls is drawn as called by its caller), nor
// is a call nested deeper than the depth limit below the recording's start.
//
// User-interface thread only; owned by the plug-in's context.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "call_folding.h"
#include "call_stack_filter.h"
#include "recording_batch.h"
#include "recording_diagram.h"

namespace drvx::sequence {

class RecordingReceiver {
 public:
  // How many consecutive calls, at most, a folded block holds.
  static constexpr std::size_t kFoldWindow = 4;
  // Recordings followed at once; past them the one that waited longest for
  // a batch is ended.
  static constexpr std::size_t kMostRecordings = 64;

  using Reporter = std::function<void(const std::string& text)>;
  // `foldWindow` 0 draws every call as it came.
  explicit RecordingReceiver(host::Services services, std::size_t foldWindow = kFoldWindow)
      : services_(std::move(services)), foldWindow_(foldWindow) {}

  // A batch as it came on the slot. A batch that cannot be read is logged
  // and left out (a gap, when its recording goes on); a failure of the host
  // goes to the reporter and ends that recording's drawing. `filter` and
  // `pageMessages` are taken when a recording begins.
  void Receive(std::string_view message, const CallStackFilter& filter, std::size_t pageMessages,
               const Reporter& reporter);

  // The recordings being followed (begun, not ended).
  std::size_t Following() const { return recordings_.size(); }
  // The most calls any recording's folded tree held: what following a
  // recording costs, however long it runs.
  std::size_t MostNodes() const { return mostNodes_; }

 private:
  using Key = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t>;  // process, thread, recording
  struct OpenCall {
    std::uint32_t id;
    bool drawn;  // passed the filter
  };
  struct Recording {
    std::string label;
    CallStackFilter filter;
    std::unique_ptr<RecordingDiagram> diagram;
    std::unique_ptr<CallFolder> folder;
    std::unordered_map<std::uint32_t, std::string> names;
    std::vector<OpenCall> open;  // outermost first
    std::size_t drawnOpen = 0;  // of them, those drawn
    std::uint64_t nextBatch = 1;
    std::uint64_t events = 0;
    std::uint64_t lostBatches = 0;
    std::uint64_t lastUse = 0;
  };

  Recording& Begin(const RecordingBatch& batch, const CallStackFilter& filter, std::size_t pageMessages);
  void Take(Recording& recording, const RecordingBatch& batch);
  void Enter(Recording& recording, std::uint32_t id, const std::string& name);
  void Leave(Recording& recording);
  // Puts the run where the batch's open calls say it stands.
  void Reconcile(Recording& recording, const OpenCalls& open);
  void Finish(Recording& recording, const std::string& how);
  static std::string Summary(const Recording& recording, const std::string& state);
  // The name of an id, "(unknown).<id>" when its definition was lost.
  static std::string NameOf(const Recording& recording, std::uint32_t id);
  // "shop (process 4711, thread 4712)"
  static std::string Label(const RecordingBatch& batch);

  host::Services services_;
  std::size_t foldWindow_;
  std::map<Key, Recording> recordings_;
  // Recordings ended, or given up (the host failed them, or too many were
  // followed): a batch of theirs that still comes is left out, never begun
  // again in the middle.
  std::set<Key> closed_;
  std::size_t mostNodes_ = 0;
  std::uint64_t uses_ = 0;
};

}  // namespace drvx::sequence
