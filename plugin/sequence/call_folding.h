// A recorded run as a tree of calls, folded while it grows: identical
// consecutive calls, or blocks of up to `window` calls, become one loop
// that holds one of them and counts them ("loop x120"); loops of loops fold
// the same way. Subtrees compare by a digest of their names, their calls in
// order and their loops' counts.
//
// What is drawn of it goes to a RecordingCanvas in time order, as soon as
// it is settled: a call is drawn unless it may still turn out to repeat
// what came before it (then it waits, and vanishes into a loop if it does);
// a fold never takes in a call that was drawn, so every drawn loop holds
// exactly the iteration drawn, and its count grows on the canvas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace drvx::sequence {

// Where a node was drawn: its first and last time, each on its page.
struct DrawnSpan {
  std::size_t firstPage = 0, lastPage = 0;
  std::int32_t first = 0, last = 0;
};

struct CallNode {
  enum Kind : std::uint8_t { Call, Loop, Gap } kind = Call;
  std::string role;     // of a call: the callee's role
  std::string message;  // of a call: what was called; of a gap: its text
  std::uint32_t count = 1;  // of a loop: how many times its body ran
  bool complete = false;    // a call returned (or was left), a loop or gap always
  bool returned = false;    // a call's return was seen
  // Of a complete node: its digest. Of an open call: the digest of its name
  // and of the children already let go (drawn, and too far back to fold).
  std::uint64_t digest = 0;
  std::uint64_t openedAt = 0;  // the folder's event count when the call began
  CallNode* parent = nullptr;
  std::vector<std::unique_ptr<CallNode>> children;  // a call's calls; a loop's body

  // Drawing: whether the node was begun and finished on the canvas, and how
  // many of its children are finished.
  bool entered = false;
  bool finished = false;
  std::size_t drawnChildren = 0;
  DrawnSpan span;
};

class RecordingCanvas {
 public:
  virtual ~RecordingCanvas() = default;
  // A call (its message from the caller's role), the start of a loop's
  // body, or a gap, begins. The canvas sets the node's first place.
  virtual void Entered(CallNode& node, const CallNode& caller) = 0;
  // A call returned (or was left unseen), a loop's body or a gap is drawn
  // whole. The canvas sets the node's last place.
  virtual void Left(CallNode& node, const CallNode& caller) = 0;
  // A drawn loop's count grew.
  virtual void Recounted(const CallNode& loop) = 0;
  // A drawn node is let go of: the canvas keeps nothing of it.
  virtual void Forgot(const CallNode& node) = 0;
};

class CallFolder {
 public:
  // window 0 folds nothing.
  CallFolder(RecordingCanvas& canvas, std::size_t window, std::string rootRole = "System");

  // The innermost open call calls `role`.`message`.
  void Call(std::string role, std::string message);
  // The innermost open call returns; nothing when none is open.
  void Return();
  // The innermost open calls down to `depth` open ones were left without
  // their returns being seen.
  void LeaveUnseen(std::size_t depth);
  // A gap in what is known, drawn where the run stands.
  void Gap(std::string text);
  // The run ended: what is still open was left, and everything is drawn.
  void End();

  std::size_t Depth() const { return open_.size() - 1; }
  // Draws what is settled; the folder draws by itself at End only.
  void Draw() { Advance(*root_); }

  // The most nodes the tree ever held.
  std::size_t MostNodes() const { return mostNodes_; }

 private:
  void Complete(CallNode& node);
  void Fold(CallNode& level);
  // The first child of `level` that may not be drawn yet (children.size()
  // when all may).
  std::size_t HoldFrom(const CallNode& level) const;
  // Draws what is settled below `node`, then the node's end when it is
  // complete; lets go of what is drawn and can fold no more.
  void Advance(CallNode& node);
  void Prune(CallNode& level);
  CallNode& Append(CallNode& level, std::unique_ptr<CallNode> child);
  // The nodes of a subtree that the tree lets go of.
  void Forget(const CallNode& node);

  RecordingCanvas& canvas_;
  std::size_t window_;
  std::unique_ptr<CallNode> root_;
  std::vector<CallNode*> open_;  // the root, then the open calls, outermost first
  std::uint64_t gaps_ = 0;
  std::uint64_t events_ = 0;
  std::size_t nodes_ = 1, mostNodes_ = 1;
};

}  // namespace drvx::sequence
