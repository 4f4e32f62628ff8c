#include "diagram_explorer.h"

#include "drvx/platform/ansi_text.h"
#include "drvx/platform/clock.h"
#include "exception_report.h"

namespace drvx::diagrams {

TMMDiagramExplorer::TMMDiagramExplorer(host::Services services,
                                       settings::TExpertSettings* settings)
    : FSettings(settings), FServices(std::move(services)) {}

TMMDiagramExplorer::~TMMDiagramExplorer() = default;

void TMMDiagramExplorer::Report(const char* operation, const std::exception& error) {
  FExMsg = host::ReportException("TMMDiagramExplorer", operation, error);
}

std::string TMMDiagramExplorer::DateLine() const {
  const platform::DateTime now = platform::Now();
  return "Date :" + platform::ShortDate(now) + " " + platform::LongTime(now);
}

std::string TMMDiagramExplorer::GetCurClassName() {
  return Guarded("GetCurClassName", std::string(), [&] {
    const host::Class cls = FServices.Nav().CurrentClass();
    return cls ? cls.Name() : std::string();
  });
}

std::string TMMDiagramExplorer::GetCurDiagramName() {
  return Guarded("GetCurDiagramName", std::string(), [&] {
    const host::Diagram diagram = FServices.Nav().CurrentDiagram();
    return diagram ? diagram.Name() : std::string();
  });
}

std::string TMMDiagramExplorer::GetCurMemberName() {
  return Guarded("GetCurMemberName", std::string(), [&] {
    const host::Member member = FServices.Nav().CurrentMember();
    return member ? member.Name() : std::string();
  });
}

std::int32_t TMMDiagramExplorer::GetDiagramCount() { return FServices.Diagrams().DiagramCount(); }

void TMMDiagramExplorer::GetDiagramNames(Lines& list) {
  list.clear();
  for (const host::Diagram& diagram : FServices.Diagrams().AllDiagrams())
    list.push_back(diagram.Name());
}

host::Diagram TMMDiagramExplorer::FindDiagram(const std::string& name) {
  const std::string wanted = platform::HostForm(name);
  std::string diagramName;
  for (const host::Diagram& diagram : FServices.Diagrams().AllDiagrams()) {
    diagram.ReadName(diagramName);
    if (diagramName == wanted) return diagram;
  }
  return {};
}

void TMMDiagramExplorer::GoToDiagramByName(const std::string& name) {
  if (const host::Diagram diagram = FindDiagram(name)) FServices.Nav().ShowDiagram(diagram);
}

void TMMDiagramExplorer::GoToDiagram(int index) {
  Guarded("GoToDiagram", [&] {
    if (index < 0 || std::size_t(index) >= FDiagramSelection.size()) return;
    const host::Navigator nav = FServices.Nav();
    nav.ShowDiagram(FDiagramSelection[std::size_t(index)]->Diagram);
    nav.ShowView(host::View::Diagrams, true);
  });
}

std::string TMMDiagramExplorer::GetDiagramName(int index) {
  return Guarded("GetDiagramName", std::string(), [&] {
    if (index < 0 || std::size_t(index) >= FDiagramSelection.size()) return std::string();
    return FDiagramSelection[std::size_t(index)]->DiagramName;
  });
}

void TMMDiagramExplorer::ClearDiagramSelection() {
  Guarded("ClearDiagramSelection", [&] { FDiagramSelection.clear(); });
}

}  // namespace drvx::diagrams
