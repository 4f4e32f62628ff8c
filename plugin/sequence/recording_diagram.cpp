#include "recording_diagram.h"

#include <algorithm>

#include "drvx/platform/ansi_text.h"

namespace drvx::sequence {
namespace {

constexpr std::int32_t kRoleDistance = 200;
constexpr std::int32_t kStep = 25;  // a message's time step
constexpr std::int32_t kFirstTime = 40;
constexpr std::int32_t kMargin = 5;  // of an activation, before and after

std::string Pair(std::int32_t from, std::int32_t to) {
  return "(" + std::to_string(from) + "," + std::to_string(to) + ")";
}

}  // namespace

RecordingDiagram::RecordingDiagram(host::Services services, std::string name,
                                   std::size_t pageMessages)
    : services_(std::move(services)), name_(std::move(name)),
      pageMessages_(std::max<std::size_t>(pageMessages, 1)) {
  NewPage();
}

void RecordingDiagram::NewPage() {
  auto page = std::make_unique<Page>();
  const std::size_t number = pages_.size() + 1;
  page->model = std::make_unique<TSequenceDiagram>(
      services_, number == 1 ? name_ : name_ + " (" + std::to_string(number) + ")");
  page->note = page->model->Explorer().CreateSymbol("NoteSymbol", {});
  page->note.SetPosition(0, -80);
  page->note.SetWidth(520);
  page->note.SetHeight(44);
  for (const std::string& role : roles_) Role(*page, role);
  // What is active goes on: closed where the page before ends, opened again
  // at the top of this one.
  if (!pages_.empty()) {
    Page& before = Current();
    for (auto& [role, active] : before.activations) {
      for (const std::int32_t start : active.open) {
        active.closed += Pair(start, before.lastEnd + kMargin);
        page->activations[role].open.push_back(kFirstTime - kMargin);
      }
      active.changed = active.changed || !active.open.empty();
      active.open.clear();
    }
  }
  pages_.push_back(std::move(page));
}

RecordingDiagram::Page& RecordingDiagram::PageForMessage() {
  if (Current().messages >= pageMessages_) NewPage();
  return Current();
}

TSqDgRole& RecordingDiagram::Role(Page& page, const std::string& name) {
  bool created = false;
  TSqDgRole& role = page.model->FindRole(name, created);
  if (!created) return role;
  auto known = std::find(roles_.begin(), roles_.end(), name);
  if (known == roles_.end()) known = roles_.insert(roles_.end(), name);
  role.PlaceRole(std::int32_t(known - roles_.begin()) * kRoleDistance, 0);
  if (known == roles_.begin()) role.SetRoleKind("rkSysBounds");  // the caller of the recording
  return role;
}

void RecordingDiagram::Message(Page& page, const std::string& from, const std::string& to,
                               const std::string& caption, const char* kind) {
  TSqDgRole& source = Role(page, from);
  TSqDgRole& target = Role(page, to);
  TSqDgMsg message(*page.model, source, target);
  message.SetKind(kind);
  message.SetCaption(caption);
  const std::int32_t start = page.time;
  const std::int32_t end = from == to ? start + kStep : start;
  message.SetStartTime(start);
  message.SetEndTime(end);
  message.DrawMessage();
  page.lastEnd = end;
  page.time = end + kStep;
  ++page.messages;
}

void RecordingDiagram::Frame(Page& page, const char* kind, std::int32_t start, std::int32_t end,
                             const std::string& caption, std::vector<host::Shape>* shapes) {
  host::Shape frame = page.model->Explorer().CreateSymbol("sequenceframe", {});
  frame.SetProperty("FrameKind", kind);
  frame.SetProperty("StartTime", std::to_string(start));
  frame.SetProperty("EndTime", std::to_string(end));
  frame.SetCaption(caption);
  frame.SetPosition(0, start);
  if (shapes) shapes->push_back(std::move(frame));
}

std::string RecordingDiagram::LoopCaption(std::uint32_t count) {
  return "loop " + platform::AnsiFromUtf16(u"\u00D7") + std::to_string(count);
}

void RecordingDiagram::Entered(CallNode& node, const CallNode& caller) {
  if (node.kind == CallNode::Call) {
    Page& page = PageForMessage();
    const std::int32_t start = page.time;
    Message(page, caller.role, node.role, node.message, "mkCall");
    Activations& active = page.activations[node.role];
    active.open.push_back(start - kMargin);
    active.changed = true;
    node.span.firstPage = pages_.size() - 1;
    node.span.first = start;
    return;
  }
  Page& page = node.kind == CallNode::Loop ? PageForMessage() : Current();
  node.span.firstPage = pages_.size() - 1;
  node.span.first = page.time;
  if (node.kind == CallNode::Gap) {
    Frame(page, "lost", page.time, page.time, node.message, nullptr);
    page.lastEnd = page.time;
    page.time += kStep;
  }
}

void RecordingDiagram::Left(CallNode& node, const CallNode& caller) {
  if (node.kind == CallNode::Call) {
    const bool returnDrawn = node.returned && node.role != caller.role;
    if (returnDrawn) Message(PageForMessage(), node.role, caller.role, "", "mkReturn");
    Page& page = Current();
    Activations& active = page.activations[node.role];
    if (!active.open.empty()) {
      active.closed += Pair(active.open.back(), page.lastEnd + kMargin);
      active.open.pop_back();
      active.changed = true;
    }
  }
  node.span.lastPage = pages_.size() - 1;
  node.span.last = Current().lastEnd;
  if (node.kind != CallNode::Loop) return;
  LoopFrames& frames = frames_[&node];
  frames.count = frames.now = node.count;
  for (std::size_t p = node.span.firstPage; p <= node.span.lastPage; ++p) {
    Page& page = *pages_[p];
    const std::int32_t start = p == node.span.firstPage ? node.span.first : kFirstTime;
    const std::int32_t end = p == node.span.lastPage ? node.span.last : page.lastEnd;
    Frame(page, "loop", start, std::max(start, end), LoopCaption(node.count), &frames.shapes);
  }
}

void RecordingDiagram::Recounted(const CallNode& loop) {
  if (const auto frames = frames_.find(&loop); frames != frames_.end()) frames->second.now = loop.count;
}

void RecordingDiagram::Recaption(LoopFrames& frames) {
  if (frames.count == frames.now) return;
  frames.count = frames.now;
  for (const host::Shape& frame : frames.shapes) frame.SetCaption(LoopCaption(frames.count));
}

void RecordingDiagram::Forgot(const CallNode& node) {
  const auto frames = frames_.find(&node);
  if (frames == frames_.end()) return;
  Recaption(frames->second);  // its last count, before it goes
  frames_.erase(frames);
}

void RecordingDiagram::Flush(const std::string& summary, bool everyPage) {
  for (auto& [loop, frames] : frames_) Recaption(frames);
  for (std::size_t p = 0; p < pages_.size(); ++p) {
    if (!everyPage && p != 0 && p < flushed_) continue;
    Page& page = *pages_[p];
    for (auto& [name, active] : page.activations) {
      if (!active.changed && active.open.empty()) continue;
      std::string text = active.closed;
      for (const std::int32_t start : active.open) text += Pair(start, page.lastEnd + kMargin);
      bool created = false;
      const auto symbol = page.model->FindRole(name, created).Symbol().As<host::RoleSymbol>();
      if (symbol) symbol.SetActivations(text);
      active.changed = false;
    }
    page.note.SetCaption(pages_.size() == 1 ? summary
                                             : summary + "; page " + std::to_string(p + 1) +
                                                   " of " + std::to_string(pages_.size()));
    page.model->Explorer().ApplyChanges();
  }
  flushed_ = pages_.size() - 1;
}

}  // namespace drvx::sequence
