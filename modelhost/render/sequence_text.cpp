#include "sequence_text.h"

#include <algorithm>
#include <stdexcept>
#include <string>
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

std::string Alias(std::size_t role) { return "P" + std::to_string(role); }

// A caption on one line of a client's text: every character the client
// could read as its own (a preprocessor's '%' and '!', links, quotes, tags,
// escapes) as the numeric entity `open` + code + ";", line breaks as
// `breakAs`. So no model text reaches a client's preprocessor, includes,
// links or directives, and the client shows the text as it is.
std::string Escaped(const std::u16string& text, std::string_view special, std::string_view open,
                    std::string_view breakAs) {
  std::string line;
  for (const char c : ToUtf8(text)) {
    if (c == '\r') continue;
    if (c == '\n') line += breakAs;
    else if (special.find(c) != std::string_view::npos)
      line += std::string(open) + std::to_string(int(static_cast<unsigned char>(c))) + ";";
    else line += c;
  }
  return line;
}

// PlantUML: '%' and '!' start its preprocessor's functions and directives,
// "[[" a link; '"' ends a quoted name, '\\' and '~' escape, '<' and '&'
// begin markup and entities.
std::string PlantUmlText(const std::u16string& text) {
  return Escaped(text, "%![]\"\\~<>&", "&#", "\\n");
}

// Mermaid: "%%" starts its comments and directives ("%%{init ...}%%"),
// ';' and '#' end statements and start entities, '<', '>', '&' and '"' are
// markup.
std::string MermaidText(const std::u16string& text) {
  return Escaped(text, "%;#<>&\"[]", "#", "<br/>");
}

}  // namespace

void WritePlantUml(const ModelDiagram& d, std::ostream& out) {
  const Sequence s = Read(d);
  out << "@startuml\ntitle " << PlantUmlText(d.name) << '\n';
  for (std::size_t r = 0; r < s.roles.size(); ++r)
    out << (IsActor(*s.roles[r]) ? "actor \"" : "participant \"") << PlantUmlText(s.roles[r]->name)
        << "\" as " << Alias(r) << '\n';
  for (const Event& e : s.events) {
    if (!e.message) {
      out << (e.order == 0 ? "activate " : "deactivate ") << Alias(e.role) << '\n';
      continue;
    }
    out << Alias(s.RoleIndex(e.message->source.Get()))
        << (IsReply(*e.message) ? " --> " : " -> ") << Alias(s.RoleIndex(e.message->target.Get()));
    if (!e.message->name.empty()) out << " : " << PlantUmlText(e.message->name);
    out << '\n';
  }
  out << "@enduml\n";
}

void WriteMermaid(const ModelDiagram& d, std::ostream& out) {
  const Sequence s = Read(d);
  out << "sequenceDiagram\n    title " << MermaidText(d.name) << '\n';
  for (std::size_t r = 0; r < s.roles.size(); ++r)
    out << (IsActor(*s.roles[r]) ? "    actor " : "    participant ") << Alias(r) << " as "
        << MermaidText(s.roles[r]->name) << '\n';
  for (const Event& e : s.events) {
    if (!e.message) {
      out << (e.order == 0 ? "    activate " : "    deactivate ") << Alias(e.role) << '\n';
      continue;
    }
    out << "    " << Alias(s.RoleIndex(e.message->source.Get()))
        << (IsReply(*e.message) ? "-->>" : "->>") << Alias(s.RoleIndex(e.message->target.Get()))
        << ": " << MermaidText(e.message->name) << '\n';
  }
}

}  // namespace drvx::modelhost::render
