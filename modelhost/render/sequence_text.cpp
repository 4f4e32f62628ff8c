#include "sequence_text.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "layout.h"
#include "mmapi/cxx/utf.h"

namespace drvx::modelhost::render {
namespace {

using mmapi::cxx::ToUtf8;

// One line of the text: a message, or a lifeline's activation opening or
// closing, at its time; at equal times openings come first, closings last.
struct Event {
  int time;
  int order;  // 0 opens, 1 a message, 2 closes
  std::size_t sequence;
  const ModelShape* message;  // null for an activation
  std::size_t role;
};

struct Sequence {
  std::vector<const ModelShape*> roles;  // left to right
  std::vector<Event> events;

  std::size_t RoleIndex(const ModelShape* role) const {
    return std::size_t(std::find(roles.begin(), roles.end(), role) - roles.begin());
  }
};

Sequence Read(const ModelDiagram& d) {
  Sequence s;
  for (const ModelShape* shape : d.symbols)
    if (shape->IsRole()) s.roles.push_back(shape);
  if (s.roles.empty())
    throw std::invalid_argument("the diagram " + ToUtf8(d.name) + " has no lifelines");
  std::stable_sort(s.roles.begin(), s.roles.end(), [](const ModelShape* a, const ModelShape* b) {
    return a->AbsoluteX() < b->AbsoluteX();
  });
  for (const ModelShape* m : d.associations)
    if (m->source->IsRole() && m->target->IsRole())
      s.events.push_back({NumberProperty(*m, u"StartTime", 0), 1, s.events.size(), m, 0});
  for (std::size_t r = 0; r < s.roles.size(); ++r)
    for (const auto& [from, to] : ActivationPairs(s.roles[r]->activations)) {
      s.events.push_back({from, 0, s.events.size(), nullptr, r});
      s.events.push_back({to, 2, s.events.size(), nullptr, r});
    }
  std::sort(s.events.begin(), s.events.end(), [](const Event& a, const Event& b) {
    return std::tie(a.time, a.order, a.sequence) < std::tie(b.time, b.order, b.sequence);
  });
  return s;
}

bool IsReply(const ModelShape& m) {
  const std::u16string* kind = m.FindProperty(u"MessageKind");
  return kind && *kind == u"mkReturn";
}

bool IsActor(const ModelShape& role) {
  const std::u16string* kind = role.FindProperty(u"RoleKind");
  return kind && *kind == u"rkActor";
}

// What a client is told, in order: a message, or an activation opening or
// closing.
struct Step {
  enum Kind { Open, Message, Close } kind;
  std::size_t role = 0;                 // of an activation
  const ModelShape* message = nullptr;  // of a message
};

// The events as steps the clients accept: both refuse an activation that
// opens and closes, or closes and opens again, on a lifeline with no
// message between, so such a pair is left out (the two bars are drawn as
// one, an empty bar not at all).
std::vector<Step> StepsOf(const Sequence& s) {
  std::vector<Step> steps;
  std::size_t lastMessage = 0;  // steps before this index are settled
  for (const Event& e : s.events) {
    if (e.message) {
      steps.push_back({Step::Message, 0, e.message});
      lastMessage = steps.size();
      continue;
    }
    const Step::Kind kind = e.order == 0 ? Step::Open : Step::Close;
    const Step::Kind opposite = kind == Step::Open ? Step::Close : Step::Open;
    const auto since = steps.begin() + std::ptrdiff_t(lastMessage);
    const auto pair = std::find_if(since, steps.end(), [&](const Step& step) {
      return step.kind == opposite && step.role == e.role;
    });
    if (pair != steps.end()) steps.erase(pair);
    else steps.push_back({kind, e.role, nullptr});
  }
  return steps;
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
// code points.
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
    if (c == '\n') line += "\\n";
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
  const std::vector<Step> steps = StepsOf(s);
  std::vector<int> depth(s.roles.size(), 0);
  std::size_t open = 0;  // activations open, over every role
  std::vector<std::string> bodies(1);
  std::size_t messages = 0;
  const std::string title = ToUtf8(d.name);
  // The head of a part with the longest number, and the longest line that
  // closes an activation: a part is measured as if it ended with them.
  const std::size_t headSize = dialect.head(s, title + " (99999/99999)").size();
  const std::size_t closeSize = dialect.line(s, {Step::Close, s.roles.size() - 1, nullptr}).size();
  auto closeAll = [&](std::string& body) {
    for (std::size_t r = s.roles.size(); r-- > 0;)
      for (int k = 0; k < depth[r]; ++k) body += dialect.line(s, {Step::Close, r, nullptr});
  };
  for (const Step& step : steps) {
    std::string line = dialect.line(s, step);
    if (step.kind == Step::Message && messages > 0 &&
        dialect.full(messages + 1, headSize + bodies.back().size() + line.size(),
                     open * closeSize)) {
      closeAll(bodies.back());
      std::string& next = bodies.emplace_back();
      for (std::size_t r = 0; r < s.roles.size(); ++r)
        for (int k = 0; k < depth[r]; ++k) next += dialect.line(s, {Step::Open, r, nullptr});
      messages = 0;
    }
    if (step.kind == Step::Message) ++messages;
    if (step.kind == Step::Open) ++depth[step.role], ++open;
    if (step.kind == Step::Close) --depth[step.role], --open;
    bodies.back() += line;
  }
  std::vector<std::string> parts;
  for (std::size_t i = 0; i < bodies.size(); ++i) {
    const std::string numbered = bodies.size() == 1 ? title
        : title + " (" + std::to_string(i + 1) + "/" + std::to_string(bodies.size()) + ")";
    parts.push_back(dialect.head(s, numbered) + bodies[i] + dialect.end);
  }
  return parts;
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
