#include "model_printer.h"

#include <string>

#include "drvx/platform/text.h"
#include "mmapi/cxx/utf.h"
#include "vocabulary.h"

namespace drvx::modelhost {
namespace {

using mmapi::cxx::ToUtf8;

std::string U8(std::u16string_view s) { return ToUtf8(s); }

std::string Tag(const ModelElement& e) { return "[" + std::to_string(e.ElementId()) + "]"; }

std::string KindName(std::int32_t kind) {
  std::string name = kind >= 0 && kind < std::int32_t(kDiagramKindNames.size())
                         ? std::string(kDiagramKindNames[std::size_t(kind)])
                         : std::string();
  return std::to_string(kind) + (name.empty() ? "" : " (" + name + ")");
}

// A multi-line text indented under its heading; line breaks CR LF, CR or LF.
void PrintBlock(std::ostream& out, const std::string& indent, std::u16string_view text) {
  for (const auto& line : platform::SplitLines(U8(text))) out << indent << line << '\n';
}

std::string MemberLine(const ModelMember& m) {
  std::string line = std::string(kMemberCategoryNames[std::size_t(m.category)]) + " ";
  line.resize(10, ' ');
  if (m.category == mmapi::mcMethod) {
    line += std::string(kMethodKindNames[std::size_t(m.methodKind)]) + " " + U8(m.name) + "(" +
            U8(m.parameters) + ")";
    if (!m.typeName.empty()) line += ": " + U8(m.typeName);
  } else {
    line += U8(m.name) + (m.typeName.empty() ? "" : ": " + U8(m.typeName));
  }
  line += "  " + std::string(kVisibilityNames[std::size_t(m.visibility)]);
  if (m.category == mmapi::mcMethod && m.binding != mmapi::mbStatic)
    line += " " + std::string(kBindingNames[std::size_t(m.binding)]);
  if (m.category == mmapi::mcMethod)
    line += "  " + std::to_string(m.sections.size()) +
            (m.sections.size() == 1 ? " section" : " sections");
  return line + "  " + Tag(m);
}

void PrintShape(std::ostream& out, const ModelShape& s) {
  out << "  " << (s.IsAssociation() ? "association " : "symbol ") << Tag(s) << " "
      << U8(s.ClassName()) << " \"" << U8(s.name) << "\"";
  if (s.IsAssociation())
    out << " " << s.source->ElementId() << " -> " << s.target->ElementId();
  else
    out << " at (" << s.x << "," << s.y << ") " << s.width << "x" << s.height;
  if (s.parent) out << " in " << s.parent->ElementId();
  out << '\n';
  if (!s.oneLiner.empty()) out << "    one-liner: " << U8(s.oneLiner) << '\n';
  if (!s.documentation.empty()) {
    out << "    documentation:\n";
    PrintBlock(out, "      ", s.documentation);
  }
  for (const auto& [key, value] : s.properties)
    out << "    property " << U8(key) << " = " << U8(value) << '\n';
  if (!s.activations.empty()) out << "    activations: " << U8(s.activations) << '\n';
  for (const auto& link : s.hyperlinks) {
    out << "    link " << kHyperlinkKindNames[std::size_t(link.kind)] << " \"" << U8(link.name)
        << "\"";
    if (link.kind != mmapi::hkExternal) out << " -> " << link.targetId;
    out << '\n';
  }
}

void PrintCurrent(std::ostream& out, const char* label, const ModelElement* e) {
  out << "  " << label << (e ? U8(e->name) + " " + Tag(*e) : std::string("(none)")) << '\n';
}

}  // namespace

void PrintSummary(std::ostream& out, const ModelProject& project) {
  std::size_t members = 0, shapes = 0, links = 0;
  for (const auto& c : project.classes) members += c->members.size();
  for (const auto& d : project.diagrams) {
    shapes += d->shapes.size();
    for (const auto& s : d->shapes) links += s->hyperlinks.size();
  }
  out << "project " << (project.fileName.empty() ? "(never saved)" : project.fileName.string())
      << '\n'
      << "  " << project.modules.size() << " modules, " << project.classes.size() << " classes, "
      << members << " members\n"
      << "  " << project.diagrams.size() << " diagrams, " << shapes << " shapes, " << links
      << " hyperlinks\n";
}

void PrintModules(std::ostream& out, const ModelProject& project) {
  for (const auto& m : project.modules) out << "  " << U8(m->name) << " " << Tag(*m) << '\n';
}

void PrintModule(std::ostream& out, const ModelModule& module) {
  out << "module " << U8(module.name) << " " << Tag(module) << '\n';
  if (module.header.empty()) out << "  (no header text)\n";
  PrintBlock(out, "  | ", module.header);
}

void PrintClasses(std::ostream& out, const ModelProject& project) {
  for (const auto& c : project.classes) {
    out << "  " << U8(c->name) << " " << Tag(*c);
    if (c->module) out << " in " << U8(c->module->name);
    out << ", " << c->members.size() << (c->members.size() == 1 ? " member" : " members") << '\n';
  }
}

void PrintClass(std::ostream& out, const ModelClass& cls) {
  out << "class " << U8(cls.name) << " " << Tag(cls);
  if (cls.module) out << " in " << U8(cls.module->name);
  out << '\n';
  for (const auto& m : cls.members) out << "  " << MemberLine(*m) << '\n';
}

void PrintMethod(std::ostream& out, const ModelMember& method) {
  out << MemberLine(method) << '\n';
  for (std::size_t i = 0; i < method.sections.size(); ++i) {
    out << "  section " << i + 1 << ":\n";
    PrintBlock(out, "  | ", method.sections[i]);
  }
}

void PrintDiagrams(std::ostream& out, const ModelProject& project) {
  for (const auto& d : project.diagrams)
    out << "  " << U8(d->name) << " " << Tag(*d) << " kind " << KindName(d->kind) << ", "
        << d->shapes.size() << (d->shapes.size() == 1 ? " shape" : " shapes") << '\n';
}

void PrintDiagram(std::ostream& out, const ModelDiagram& diagram) {
  out << "diagram " << U8(diagram.name) << " " << Tag(diagram) << " kind "
      << KindName(diagram.kind) << ", page format " << diagram.pageSizeClass
      << (diagram.pageFlag ? " (flag set)" : "") << '\n';
  for (const auto& s : diagram.shapes) PrintShape(out, *s);
}

void PrintElement(std::ostream& out, const ModelElement& element) {
  switch (element.Kind()) {
    case ElementKind::Module: return PrintModule(out, static_cast<const ModelModule&>(element));
    case ElementKind::Class: return PrintClass(out, static_cast<const ModelClass&>(element));
    case ElementKind::Member: return PrintMethod(out, static_cast<const ModelMember&>(element));
    case ElementKind::Diagram: return PrintDiagram(out, static_cast<const ModelDiagram&>(element));
    case ElementKind::Shape: return PrintShape(out, static_cast<const ModelShape&>(element));
  }
}

void PrintNavigator(std::ostream& out, const ModelProject& project) {
  const NavigatorState& nav = project.navigator;
  out << "navigator\n";
  PrintCurrent(out, "class:   ", nav.currentClass.Get());
  PrintCurrent(out, "member:  ", nav.currentMember.Get());
  PrintCurrent(out, "method:  ", nav.currentMethod.Get());
  PrintCurrent(out, "module:  ", nav.currentModule.Get());
  PrintCurrent(out, "diagram: ", nav.currentDiagram.Get());
  out << "  view:    " << nav.view << '\n';
}

}  // namespace drvx::modelhost
