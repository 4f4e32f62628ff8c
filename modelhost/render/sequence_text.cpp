#include "sequence_text.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "layout.h"
#include "mmapi/cxx/utf.h"

namespace drvx::modelhost::render {
namespace {

using mmapi::cxx::ToUtf8;

// One line of the text: a message, a lifeline's activation opening or
// closing, or a frame opening or closing, at its time; at equal times
// openings come first (an outer frame before an inner one), closings last
// (an inner frame before an outer one).
struct Event {
  int time;
  int order;  // 0 opens, 1 a message or a marker, 2 closes
  int span;   // of a frame: its length, negative when it opens
  std::size_t sequence;
  const ModelShape* message;  // a message, or a frame
  std::size_t role;
  enum { Activation, Message, Frame } kind;
};

struct Sequence {
  std::vector<const ModelShape*> roles;  // left to right
  std::unordered_map<const ModelShape*, std::size_t> index;  // of each role in roles
  std::vector<Event> events;

  std::size_t RoleIndex(const ModelShape* role) const {
    const auto at = index.find(role);
    return at != index.end() ? at->second : roles.size();
  }
};

// A loop's label after the clients' own "loop": its caption without a
// leading "loop " ("loop ×25" is "×25").
std::string LoopLabel(const ModelShape& frame) {
  std::string caption = ToUtf8(frame.name);
  if (caption.starts_with("loop ")) caption.erase(0, 5);
  return caption.empty() ? "loop" : caption;
}

bool IsLost(const ModelShape& frame) {
  const std::u16string* kind = frame.FindProperty(u"FrameKind");
  return kind && *kind == u"lost";
}

Sequence Read(const ModelDiagram& d) {
  Sequence s;
  for (const ModelShape* shape : d.symbols)
    if (shape->IsRole()) s.roles.push_back(shape);
  if (s.roles.empty())
    throw std::invalid_argument("the diagram " + ToUtf8(d.name) + " has no lifelines");
  std::stable_sort(s.roles.begin(), s.roles.end(), [](const ModelShape* a, const ModelShape* b) {
    return a->AbsoluteX() < b->AbsoluteX();
  });
  for (std::size_t r = 0; r < s.roles.size(); ++r) s.index[s.roles[r]] = r;
  for (const ModelShape* m : d.associations)
    if (m->source->IsRole() && m->target->IsRole())
      s.events.push_back({NumberProperty(*m, u"StartTime", 0), 1, 0, s.events.size(), m, 0, Event::Message});
  for (std::size_t r = 0; r < s.roles.size(); ++r)
    for (const auto& [from, to] : ActivationPairs(s.roles[r]->activations)) {
      s.events.push_back({from, 0, 0, s.events.size(), nullptr, r, Event::Activation});
      s.events.push_back({to, 2, 0, s.events.size(), nullptr, r, Event::Activation});
    }
  for (const ModelShape* f : d.symbols) {
    if (!IsFrame(*f)) continue;
    const int start = NumberProperty(*f, u"StartTime", 0);
    const int end = std::max(start, NumberProperty(*f, u"EndTime", 0));
    if (IsLost(*f)) {
      s.events.push_back({start, 1, 0, s.events.size(), f, 0, Event::Frame});
      continue;
    }
    s.events.push_back({start, 0, start - end, s.events.size(), f, 0, Event::Frame});
    s.events.push_back({end, 2, end - start, s.events.size(), f, 0, Event::Frame});
  }
  std::sort(s.events.begin(), s.events.end(), [](const Event& a, const Event& b) {
    return std::tie(a.time, a.order, a.span, a.sequence) < std::tie(b.time, b.order, b.span, b.sequence);
  });
  return s;
}

// What a client is told, in order: a message, an activation opening or
// closing, a loop's frame opening or closing, or a marker of what was lost.
struct Step {
  enum Kind { Open, Message, Close, FrameOpen, FrameClose, Marker } kind;
  std::size_t role = 0;                 // of an activation
  const ModelShape* message = nullptr;  // of a message; a frame's symbol
};

// The steps in the order of their events.
std::vector<Step> StepsOf(const Sequence& s) {
  std::vector<Step> steps;
  for (const Event& e : s.events)
    if (e.kind == Event::Message) steps.push_back({Step::Message, 0, e.message});
    else if (e.kind == Event::Frame)
      steps.push_back({e.order == 0 ? Step::FrameOpen : e.order == 2 ? Step::FrameClose : Step::Marker, 0, e.message});
    else steps.push_back({e.order == 0 ? Step::Open : Step::Close, e.role, nullptr});
  return steps;
}

bool Opens(Step::Kind kind) { return kind == Step::Open || kind == Step::FrameOpen; }

// The steps as the clients accept them: both refuse an activation that
// opens and closes, or closes and opens again, on a lifeline with no
// message between, so such a pair is left out (the two bars are drawn as
// one, an empty bar not at all); a frame that would hold no message (cut
// off at a part's end) is left out too.
std::vector<Step> Settled(const std::vector<Step>& steps) {
  std::vector<Step> settled;
  std::size_t lastMessage = 0;  // steps before this index are settled
  for (const Step& step : steps) {
    if (step.kind == Step::Message || step.kind == Step::Marker) {
      settled.push_back(step);
      lastMessage = settled.size();
      continue;
    }
    const Step::Kind opposite = step.kind == Step::Open        ? Step::Close
                                : step.kind == Step::Close     ? Step::Open
                                : step.kind == Step::FrameOpen ? Step::FrameClose
                                                               : Step::FrameOpen;
    const auto pair = std::find_if(settled.begin() + std::ptrdiff_t(lastMessage), settled.end(), [&](const Step& s) {
      return s.kind == opposite && s.role == step.role && s.message == step.message;
    });
    if (pair != settled.end()) settled.erase(pair);
    else settled.push_back(step);
  }
  return settled;
}

std::string Alias(std::size_t role) { return "P" + std::to_string(role); }

// The numeric entity `open` + code + ";" of an ASCII character.
std::string Entity(char c, std::string_view open) {
  return std::string(open) + std::to_string(int(static_cast<unsigned char>(c))) + ";";
}

// PlantUML: '%' and '!' start its preprocessor's functions and directives,
// '$' its variables, "[[" a link; '"' ends a quoted name, '\\' and '~'
// escape, '<' and '&' begin markup, sprites and entities. Creole marks text
// with a doubled character ("**bold**", "--struck--", "__under__") and
// lists, headings and tables with one at the start of a line. PlantUML
// cannot take '\\' and '$' as numeric entities, so they are given by their
// code points; it draws the dashes U+2013 and U+2014 as hyphens unless they
// come as entities.
std::string PlantUmlText(std::string_view utf8) {
  static constexpr std::string_view kAlways = "%!\"~<>&[]";
  static constexpr std::string_view kDoubled = "*/_-=^'";
  static constexpr std::string_view kLineStart = "*#=|+-";
  std::string line;
  bool lineStart = true;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const bool doubled = (i > 0 && utf8[i - 1] == c) || (i + 1 < utf8.size() && utf8[i + 1] == c);
    if (c == '\r') continue;
    if (utf8.substr(i, 2) == "\xE2\x80" && i + 2 < utf8.size() &&
        (utf8[i + 2] == '\x93' || utf8[i + 2] == '\x94')) {
      line += utf8[i + 2] == '\x93' ? "&#8211;" : "&#8212;";
      i += 2;
    } else if (c == '\n') line += "\\n";
    else if (c == '\\') line += "<U+005C>";
    else if (c == '$') line += "<U+0024>";
    else if (kAlways.find(c) != std::string_view::npos ||
             (doubled && kDoubled.find(c) != std::string_view::npos) ||
             (lineStart && kLineStart.find(c) != std::string_view::npos))
      line += Entity(c, "&#");
    else line += c;
    lineStart = c == '\n';
  }
  return line;
}

// Mermaid: "%%" starts its comments and directives ("%%{init ...}%%"),
// ';' and '#' end statements and start entities, '<', '>', '&' and '"' are
// markup, "$$" math, ':' and ',' end names and "wrap:" asks for wrapping,
// "-" and ">" make arrows. Line breaks are "<br/>".
std::string MermaidText(std::string_view utf8) {
  static constexpr std::string_view kAlways = "%;#<>&\"[]$:,-{}";
  std::string line;
  for (const char c : utf8) {
    if (c == '\r') continue;
    if (c == '\n') line += "<br/>";
    else if (kAlways.find(c) != std::string_view::npos) line += Entity(c, "#");
    else line += c;
  }
  return line;
}

// Mermaid reads a loop's label to the first '#' or ';', as HTML and with
// "$$" as mathematics, so no entity can stand in it: those characters, and
// '<', '>', '&' and '$', are given by their full-width forms, which read the
// same.
std::string MermaidLabel(std::string_view utf8) {
  std::string label;
  for (const char c : utf8) {
    static constexpr std::string_view kPlain = "#;<>&$",
                                      kWide[] = {"\uFF03", "\uFF1B", "\uFF1C", "\uFF1E", "\uFF06", "\uFF04"};
    const std::size_t at = kPlain.find(c);
    if (c == '\r' || c == '\n') label += ' ';
    else if (at != std::string_view::npos) label += kWide[at];
    else label += c;
  }
  return label;
}

// How one client's text is written: its head (the title and every
// participant), one line a step, its end, and when a part is full.
struct Dialect {
  std::string (*head)(const Sequence&, const std::string& title);
  std::string (*line)(const Sequence&, const Step&);
  std::string end;
  // Whether a part of `messages` messages and `characters` characters,
  // and `closing` more to close its activations, is full.
  bool (*full)(std::size_t messages, std::size_t characters, std::size_t closing);
};

// The parts' texts. A part ends before a message that would make it full;
// the activations open there are closed at its end and opened again at the
// start of the next part.
std::vector<std::string> Parts(const ModelDiagram& d, const Dialect& dialect) {
  const Sequence s = Read(d);
  const std::vector<Step> steps = Settled(StepsOf(s));
  std::vector<int> depth(s.roles.size(), 0);
  std::size_t open = 0;  // activations and frames open
  std::vector<const ModelShape*> frames;  // open, outermost first
  std::vector<std::vector<Step>> parts(1);
  std::size_t size = 0, messages = 0;  // of the part so far
  const std::string title = ToUtf8(d.name);
  // The head of a part with the longest number, and the longest line that
  // closes an activation: a part is measured as if it ended with them.
  const std::size_t headSize = dialect.head(s, title + " (99999/99999)").size();
  const std::size_t closeSize = dialect.line(s, {Step::Close, s.roles.size() - 1, nullptr}).size();
  // The steps go in groups: a message and the activations that open and
  // close after it, up to the next message. A group joins the part if the
  // part, the group and the lines that close what is then open fit.
  for (std::size_t first = 0; first < steps.size();) {
    std::size_t last = first + 1;
    while (last < steps.size() && steps[last].kind != Step::Message) ++last;
    std::size_t groupSize = 0, openAfter = open;
    for (std::size_t i = first; i < last; ++i) {
      groupSize += dialect.line(s, steps[i]).size();
      if (Opens(steps[i].kind)) ++openAfter;
      if (steps[i].kind == Step::Close || steps[i].kind == Step::FrameClose) --openAfter;
    }
    if (steps[first].kind == Step::Message && messages > 0 &&
        dialect.full(messages + 1, headSize + size + groupSize, openAfter * closeSize)) {
      std::vector<Step>& ending = parts.back();
      std::vector<Step> next;
      for (const ModelShape* frame : frames) next.push_back({Step::FrameOpen, 0, frame});
      for (std::size_t r = 0; r < s.roles.size(); ++r)
        for (int k = 0; k < depth[r]; ++k) {
          ending.push_back({Step::Close, r, nullptr});
          next.push_back({Step::Open, r, nullptr});
        }
      for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame)
        ending.push_back({Step::FrameClose, 0, *frame});
      parts.push_back(std::move(next));
      size = open * closeSize, messages = 0;
    }
    for (std::size_t i = first; i < last; ++i) {
      if (steps[i].kind == Step::Message) ++messages;
      if (steps[i].kind == Step::Open) ++depth[steps[i].role];
      if (steps[i].kind == Step::Close) --depth[steps[i].role];
      if (steps[i].kind == Step::FrameOpen) frames.push_back(steps[i].message);
      if (steps[i].kind == Step::FrameClose) std::erase(frames, steps[i].message);
      parts.back().push_back(steps[i]);
    }
    open = openAfter, size += groupSize;
    first = last;
  }
  // Closing and opening again at a cut may leave pairs the clients refuse.
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    std::string text = dialect.head(s, parts.size() == 1 ? title
        : title + " (" + std::to_string(i + 1) + "/" + std::to_string(parts.size()) + ")");
    for (const Step& step : Settled(parts[i])) text += dialect.line(s, step);
    texts.push_back(text + dialect.end);
  }
  return texts;
}

const Dialect kPlantUml{
    [](const Sequence& s, const std::string& title) {
      std::string head = "@startuml\ntitle " + PlantUmlText(title) + '\n';
      for (std::size_t r = 0; r < s.roles.size(); ++r)
        head += (IsActor(*s.roles[r]) ? "actor \"" : "participant \"") +
                PlantUmlText(ToUtf8(s.roles[r]->name)) + "\" as " + Alias(r) + '\n';
      return head;
    },
    [](const Sequence& s, const Step& step) -> std::string {
      if (step.kind == Step::FrameOpen) return "loop " + PlantUmlText(LoopLabel(*step.message)) + '\n';
      if (step.kind == Step::FrameClose) return "end\n";
      if (step.kind == Step::Marker) return "== " + PlantUmlText(ToUtf8(step.message->name)) + " ==\n";
      if (step.kind != Step::Message)
        return (step.kind == Step::Open ? "activate " : "deactivate ") + Alias(step.role) + '\n';
      const ModelShape& m = *step.message;
      std::string line = Alias(s.RoleIndex(m.source.Get())) + (IsReply(m) ? " --> " : " -> ") +
                         Alias(s.RoleIndex(m.target.Get()));
      if (!m.name.empty()) line += " : " + PlantUmlText(ToUtf8(m.name));
      return line + '\n';
    },
    "@enduml\n",
    [](std::size_t messages, std::size_t, std::size_t) { return messages > kPlantUmlPartMessages; },
};

const Dialect kMermaid{
    [](const Sequence& s, const std::string& title) {
      std::string head = "sequenceDiagram\n    title " + MermaidText(title) + '\n';
      for (std::size_t r = 0; r < s.roles.size(); ++r)
        head += (IsActor(*s.roles[r]) ? "    actor " : "    participant ") + Alias(r) + " as " +
                MermaidText(ToUtf8(s.roles[r]->name)) + '\n';
      return head;
    },
    [](const Sequence& s, const Step& step) -> std::string {
      if (step.kind == Step::FrameOpen) return "    loop " + MermaidLabel(LoopLabel(*step.message)) + '\n';
      if (step.kind == Step::FrameClose) return "    end\n";
      if (step.kind == Step::Marker)
        return "    Note over " + Alias(0) + (s.roles.size() > 1 ? "," + Alias(s.roles.size() - 1) : "") + ": " +
               MermaidText(ToUtf8(step.message->name)) + '\n';
      if (step.kind != Step::Message)
        return (step.kind == Step::Open ? "    activate " : "    deactivate ") + Alias(step.role) +
               '\n';
      const ModelShape& m = *step.message;
      return "    " + Alias(s.RoleIndex(m.source.Get())) + (IsReply(m) ? "-->>" : "->>") +
             Alias(s.RoleIndex(m.target.Get())) + ": " + MermaidText(ToUtf8(m.name)) + '\n';
    },
    "",
    [](std::size_t, std::size_t characters, std::size_t closing) {
      return characters + closing > kMermaidPartCharacters;
    },
};

}  // namespace

std::vector<std::string> PlantUmlParts(const ModelDiagram& d) { return Parts(d, kPlantUml); }

std::vector<std::string> MermaidParts(const ModelDiagram& d) { return Parts(d, kMermaid); }

void WritePlantUml(const ModelDiagram& d, std::ostream& out) {
  for (const std::string& part : PlantUmlParts(d)) out << part;
}

}  // namespace drvx::modelhost::render
