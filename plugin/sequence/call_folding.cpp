#include "call_folding.h"

#include <algorithm>

namespace drvx::sequence {
namespace {

// A call that has run this many events without an end no longer waits to
// be compared with the one before it: it is drawn, so that what it holds
// can be drawn and let go of.
constexpr std::uint64_t kLongestWait = 20000;

std::uint64_t Mix(std::uint64_t h, std::uint64_t value) {
  h ^= value + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
  h ^= h >> 31;
  return h * 0xBF58476D1CE4E5B9ull;
}

std::uint64_t TextDigest(std::uint64_t h, const std::string& text) {
  std::uint64_t t = 0xcbf29ce484222325ull;
  for (const char c : text) t = (t ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  return Mix(Mix(h, text.size()), t);
}

std::uint64_t NameDigest(const std::string& role, const std::string& message) {
  return TextDigest(TextDigest(CallNode::Call, role), message);
}

// A chain over the children in order: the same whether older children were
// let go of (mixed in already) or not.
std::uint64_t ChildrenDigest(std::uint64_t h, const CallNode& node) {
  for (const auto& child : node.children) h = Mix(h, child->digest);
  return h;
}

std::uint64_t LoopDigest(const CallNode& loop) {
  return ChildrenDigest(Mix(Mix(CallNode::Loop, 0x5151), loop.count), loop);
}

using Children = std::vector<std::unique_ptr<CallNode>>;

bool SameDigests(const Children& a, std::size_t aFrom, const Children& b, std::size_t bFrom,
                 std::size_t k) {
  for (std::size_t j = 0; j < k; ++j)
    if (a[aFrom + j]->digest != b[bFrom + j]->digest) return false;
  return true;
}

bool Undrawn(const Children& c, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i)
    if (c[i]->entered) return false;
  return true;
}

// Whether a node of a tail may still grow into `counterpart` (as its
// repetition): equal when complete; an open call the same call; a call the
// start of a loop it may fold into; a loop one of the same body.
bool MayBecome(const CallNode& node, const CallNode& counterpart) {
  if (node.complete && node.digest == counterpart.digest) return true;
  if (counterpart.kind == CallNode::Loop) {
    if (node.kind == CallNode::Loop)
      return node.children.size() == counterpart.children.size() &&
             SameDigests(node.children, 0, counterpart.children, 0, node.children.size());
    return !counterpart.children.empty() && MayBecome(node, *counterpart.children.front());
  }
  return !node.complete && node.kind == CallNode::Call && counterpart.kind == CallNode::Call &&
         node.role == counterpart.role && node.message == counterpart.message;
}

// Whether the tail c[from..] may still become a repetition of the k nodes
// of `block` from `at`. Once a node may grow into a loop, what follows it
// is not compared: it may fold into that loop.
bool MayRepeat(const Children& c, std::size_t from, const Children& block, std::size_t at) {
  for (std::size_t j = from; j < c.size(); ++j) {
    const CallNode& counterpart = *block[at + (j - from)];
    if (!MayBecome(*c[j], counterpart)) return false;
    if (counterpart.kind == CallNode::Loop && c[j]->digest != counterpart.digest) return true;
  }
  return true;
}

// The nearest call above a node (a loop's body is called by the loop's
// caller).
const CallNode& CallerOf(const CallNode& node) {
  const CallNode* caller = node.parent;
  while (caller->kind == CallNode::Loop) caller = caller->parent;
  return *caller;
}

}  // namespace

CallFolder::CallFolder(RecordingCanvas& canvas, std::size_t window, std::string rootRole)
    : canvas_(canvas), window_(window), root_(std::make_unique<CallNode>()) {
  root_->role = std::move(rootRole);
  root_->entered = true;
  open_.push_back(root_.get());
}

CallNode& CallFolder::Append(CallNode& level, std::unique_ptr<CallNode> child) {
  child->parent = &level;
  level.children.push_back(std::move(child));
  mostNodes_ = std::max(mostNodes_, ++nodes_);
  return *level.children.back();
}

void CallFolder::Forget(const CallNode& node) {
  --nodes_;
  if (node.finished) canvas_.Forgot(node);
  for (const auto& child : node.children) Forget(*child);
}

void CallFolder::Call(std::string role, std::string message) {
  auto call = std::make_unique<CallNode>();
  call->digest = NameDigest(role, message);
  call->role = std::move(role);
  call->message = std::move(message);
  call->openedAt = ++events_;
  open_.push_back(&Append(*open_.back(), std::move(call)));
}

void CallFolder::Return() {
  if (Depth() == 0) return;
  ++events_;
  open_.back()->returned = true;
  Complete(*open_.back());
}

void CallFolder::LeaveUnseen(std::size_t depth) {
  while (Depth() > depth) Complete(*open_.back());
}

void CallFolder::Complete(CallNode& node) {
  node.complete = true;
  node.digest = ChildrenDigest(node.digest, node);
  open_.pop_back();
  Fold(*node.parent);
}

void CallFolder::Gap(std::string text) {
  auto gap = std::make_unique<CallNode>();
  gap->kind = CallNode::Gap;
  gap->message = std::move(text);
  gap->complete = true;
  gap->digest = Mix(CallNode::Gap, ++gaps_);  // never like another
  Append(*open_.back(), std::move(gap));
}

void CallFolder::End() {
  LeaveUnseen(0);
  root_->complete = true;
  Advance(*root_);
}

// The last k nodes repeat the loop before them: it counts one more. Or the
// last 2k nodes are a block twice: they become a loop of it. Never with a
// drawn node among those that go.
void CallFolder::Fold(CallNode& level) {
  if (window_ == 0) return;
  Children& c = level.children;
  for (bool changed = true; changed;) {
    changed = false;
    const std::size_t n = c.size();
    if (n == 0 || !c.back()->complete) return;
    for (std::size_t k = 1; k <= window_ && !changed; ++k) {
      if (n < k + 1 || !Undrawn(c, n - k, n)) continue;
      CallNode& before = *c[n - 1 - k];
      if (before.kind == CallNode::Loop && before.children.size() == k &&
          SameDigests(before.children, 0, c, n - k, k)) {
        for (std::size_t i = n - k; i < n; ++i) Forget(*c[i]);
        c.resize(n - k);
        ++before.count;
        before.digest = LoopDigest(before);
        if (before.finished) canvas_.Recounted(before);
        changed = true;
      } else if (n >= 2 * k && SameDigests(c, n - 2 * k, c, n - k, k)) {
        const std::size_t at = n - 2 * k;
        auto loop = std::make_unique<CallNode>();
        loop->kind = CallNode::Loop;
        loop->count = 2;
        loop->complete = true;
        loop->parent = &level;
        for (std::size_t i = at; i < at + k; ++i) {
          c[i]->parent = loop.get();
          loop->children.push_back(std::move(c[i]));
        }
        for (std::size_t i = at + k; i < n; ++i) Forget(*c[i]);
        c.resize(at);
        // What of the body was drawn stays drawn, now inside the loop.
        CallNode& first = *loop->children.front();
        if (level.drawnChildren > at || first.entered) {
          loop->entered = true;
          loop->drawnChildren = level.drawnChildren > at ? level.drawnChildren - at : 0;
          loop->span = first.span;
          level.drawnChildren = std::min(level.drawnChildren, at);
        }
        loop->digest = LoopDigest(*loop);
        c.push_back(std::move(loop));
        mostNodes_ = std::max(mostNodes_, ++nodes_);
        changed = true;
      }
    }
  }
}

std::size_t CallFolder::HoldFrom(const CallNode& level) const {
  const Children& c = level.children;
  const std::size_t n = c.size();
  if (level.complete || window_ == 0 || n == 0) return n;
  if (!c.back()->complete && events_ - c.back()->openedAt > kLongestWait) return n;
  std::size_t hold = n;
  for (std::size_t k = 1; k <= window_; ++k)
    for (std::size_t s = n > k ? n - k : 0; s < n; ++s) {
      // A tail of k undrawn nodes, all complete, would have folded.
      if (s >= hold || !Undrawn(c, s, n) || (n - s == k && c.back()->complete)) continue;
      const bool afterBlock = s >= k && MayRepeat(c, s, c, s - k);
      const CallNode* before = s >= 1 ? c[s - 1].get() : nullptr;
      const bool afterLoop = before && before->kind == CallNode::Loop &&
                             before->children.size() == k && MayRepeat(c, s, before->children, 0);
      if (afterBlock || afterLoop) hold = s;
    }
  return hold;
}

void CallFolder::Advance(CallNode& node) {
  Children& c = node.children;
  while (node.drawnChildren < c.size()) {
    CallNode& child = *c[node.drawnChildren];
    if (!child.entered) {
      if (node.drawnChildren >= HoldFrom(node)) return;
      child.entered = true;
      canvas_.Entered(child, CallerOf(child));
    }
    Advance(child);
    if (!child.finished) return;
    ++node.drawnChildren;
    Prune(node);
  }
  if (!node.complete || node.finished || &node == root_.get()) return;
  node.finished = true;
  canvas_.Left(node, CallerOf(node));
  if (node.kind != CallNode::Call) return;
  // Drawn whole, a call is its digest to what comes after it.
  for (const auto& child : c) Forget(*child);
  c.clear();
  node.drawnChildren = 0;
}

// Keeps the 2 window + 2 newest children of an open call: the older ones
// are drawn and can fold no more, so only their digests remain.
void CallFolder::Prune(CallNode& level) {
  if (level.kind != CallNode::Call || level.complete) return;
  Children& c = level.children;
  std::size_t drop = 0;
  while (c.size() - drop > 2 * window_ + 2 && drop < level.drawnChildren) {
    level.digest = Mix(level.digest, c[drop]->digest);
    Forget(*c[drop]);
    ++drop;
  }
  if (drop == 0) return;
  c.erase(c.begin(), c.begin() + std::ptrdiff_t(drop));
  level.drawnChildren -= drop;
}

}  // namespace drvx::sequence
