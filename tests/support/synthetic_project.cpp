#include "support/synthetic_project.h"

#include <string>

#include "mmapi/cxx/utf.h"

namespace drvx::bench {

using mmapi::cxx::ToUtf16;

std::unique_ptr<modelhost::ModelProject> MakeSyntheticProject(const ProjectSize& size) {
  auto project = std::make_unique<modelhost::ModelProject>();
  auto module = project->NewModule();
  module->name = u"uSynthetic";
  project->AddModule(module);
  for (int c = 0; c < size.classes; ++c) {
    auto cls = project->NewClass();
    cls->name = ToUtf16("TSyntheticClass" + std::to_string(c));
    cls->module = module;
    for (int m = 0; m < size.membersPerClass; ++m) {
      const bool method = m % 2 == 1;
      auto member = project->NewMember(method ? mmapi::mcMethod : mmapi::mcField);
      member->name = ToUtf16((method ? "Operation" : "FValue") + std::to_string(m));
      member->typeName = method ? u"" : u"Integer";
      if (method) {
        // About 200 bytes of ordinary code per section.
        const std::u16string n = ToUtf16(std::to_string(m));
        member->sections.push_back(
            u"var\r\n  I: Integer;\r\nbegin\r\n  for I := 0 to FItems.Count - 1 do\r\n"
            u"    if FItems[I].Value > FValue0 then\r\n      FValue0 := FItems[I].Value + " +
            n + u";\r\n  Changed(Self);\r\nend;\r\n");
      }
      cls->Adopt(member);
    }
    project->AddClass(cls);
  }
  for (int d = 0; d < size.diagrams; ++d) {
    auto diagram = project->NewDiagram(d % 13);
    diagram->name = ToUtf16("csSyntheticDiagram" + std::to_string(d));
    project->AddDiagram(diagram);
  }
  for (int d = 0; d < size.diagrams; ++d) {
    auto& diagram = *project->diagrams[std::size_t(d)];
    for (int s = 0; s < size.symbolsPerDiagram; ++s) {
      const auto& cls = *project->classes[std::size_t((d * size.symbolsPerDiagram + s) % size.classes)];
      auto shape = project->NewShape(u"ClassSymbol");
      shape->name = cls.name;
      const bool documented = d < size.documentedDiagrams;
      if (documented && s % 3 == 0) {
        shape->documentation = u"Keeps the state of one " + cls.name + u".\r\n";
        shape->properties[u"InstanceName"] = u"item";
      }
      if (documented && s % 5 == 0) shape->oneLiner = u"Part of the synthetic model";
      shape->x = 20 + (s % 10) * 120;
      shape->y = 20 + (s / 10) * 80;
      for (int h = 0; h < size.hyperlinksPerSymbol; ++h) {
        if (h % 2 == 0) {
          shape->hyperlinks.Append(mmapi::hkClass, cls.ElementId(), cls.name);
        } else {
          const auto& other = *project->diagrams[std::size_t((d + s + 1) % size.diagrams)];
          shape->hyperlinks.Append(mmapi::hkDiagram, other.ElementId(), other.name);
        }
      }
      diagram.Adopt(shape);
    }
    for (int a = 0; d < size.documentedDiagrams && a < size.associationsPerDiagram &&
                    size.symbolsPerDiagram > 1;
         ++a) {
      auto association = project->NewShape(u"association");
      association->name = u"uses";
      association->source = diagram.shapes[std::size_t(a % size.symbolsPerDiagram)];
      association->target = diagram.shapes[std::size_t((a + 1) % size.symbolsPerDiagram)];
      association->properties[u"TargetRole"] = u"FTarget";
      if (a % 2 == 0) association->documentation = u"One uses the other.";
      diagram.Adopt(association);
    }
  }
  return project;
}

}  // namespace drvx::bench
