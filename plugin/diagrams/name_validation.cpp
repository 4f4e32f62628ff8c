// Diagram names in the house style: words joined, each joined word starting
// with a capital, and the prefix of the diagram's kind in front.
#include "diagram_explorer.h"
#include "name_style.h"

namespace drvx::diagrams {
namespace {

using host::DiagramKind;

struct KindPrefix {
  DiagramKind kind;
  std::string settings::TExpertSettings::*field;
  const char* builtIn;
};

constexpr KindPrefix kKindPrefixes[] = {
    {DiagramKind::Class, &settings::TExpertSettings::ClassDiagramPrefix, "cs"},
    {DiagramKind::UseCase, &settings::TExpertSettings::UseCaseDiagramPrefix, "uc"},
    {DiagramKind::Interaction, &settings::TExpertSettings::SequenceDiagramPrefix, "sq"},
    {DiagramKind::Activity, &settings::TExpertSettings::ActivityDiagramPrefix, "ac"},
    {DiagramKind::StateMachine, &settings::TExpertSettings::StateDiagramPrefix, "st"},
    {DiagramKind::Robustness, &settings::TExpertSettings::RobustnessDiagramPrefix, "rb"},
    {DiagramKind::MindMap, &settings::TExpertSettings::MindMapDiagramPrefix, "mm"},
};

}  // namespace

std::optional<std::string> PrefixForKind(DiagramKind kind,
                                         const settings::TExpertSettings* settings) {
  for (const auto& entry : kKindPrefixes)
    if (entry.kind == kind) return settings ? settings->*entry.field : std::string(entry.builtIn);
  return std::nullopt;
}

std::string JoinFirstWord(std::string name) {
  const auto blank = name.find(' ');
  if (blank == std::string::npos) return name;
  if (blank + 1 < name.size() && name[blank + 1] >= 'a' && name[blank + 1] <= 'z')
    name[blank + 1] = char(name[blank + 1] - 'a' + 'A');
  name.erase(blank, 1);
  return name;
}

void NormalizeDiagramName(const host::Diagram& diagram, const std::string& prefix) {
  // One write per removed blank, each on the name read anew.
  for (std::string name = diagram.Name(); name.find(' ') != std::string::npos;
       name = diagram.Name())
    diagram.SetName(JoinFirstWord(name));
  const std::string name = diagram.Name();
  if (!prefix.empty() && name.starts_with(prefix)) return;
  diagram.SetName(prefix + name);
}

void TMMDiagramExplorer::ValidateDiagramNames() {
  for (const host::Diagram& diagram : FServices.Diagrams().AllDiagrams()) {
    if (const auto prefix = PrefixForKind(diagram.Kind(), FSettings))
      NormalizeDiagramName(diagram, *prefix);
  }
}

}  // namespace drvx::diagrams
