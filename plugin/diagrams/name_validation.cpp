// Diagram names in the house style: words joined, each joined word starting
// with a capital, and the prefix of the diagram's kind in front.
#include "diagram_explorer.h"
#include "name_style.h"

namespace drvx::diagrams {
namespace {

struct KindPrefix {
  std::int32_t kind;
  std::string settings::TExpertSettings::*field;
  const char* builtIn;
};

constexpr KindPrefix kKindPrefixes[] = {
    {0, &settings::TExpertSettings::ClassDiagramPrefix, "cs"},
    {5, &settings::TExpertSettings::UseCaseDiagramPrefix, "uc"},
    {6, &settings::TExpertSettings::SequenceDiagramPrefix, "sq"},
    {7, &settings::TExpertSettings::ActivityDiagramPrefix, "ac"},
    {10, &settings::TExpertSettings::StateDiagramPrefix, "st"},
    {11, &settings::TExpertSettings::RobustnessDiagramPrefix, "rb"},
    {12, &settings::TExpertSettings::MindMapDiagramPrefix, "mm"},
};

}  // namespace

std::optional<std::string> PrefixForKind(std::int32_t kind,
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
  const int count = FServices.Diagrams().DiagramCount();
  for (int d = 0; d < count; ++d) {
    const host::Diagram diagram = FServices.Diagrams().Diagrams(d);
    if (const auto prefix = PrefixForKind(diagram.Kind(), FSettings))
      NormalizeDiagramName(diagram, *prefix);
  }
}

}  // namespace drvx::diagrams
