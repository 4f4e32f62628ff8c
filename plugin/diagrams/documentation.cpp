// Documentation reports of diagrams: to a list of lines, and to the printer.
#include <cstdlib>
#include <optional>

#include "diagram_explorer.h"
#include "drvx/platform/ansi_text.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/text.h"

namespace drvx::diagrams {
namespace {

std::string Underline(char c, const std::string& text) {
  return std::string(platform::AnsiCharacterCount(text), c);
}

// The name an association end is known by: "Caption.InstanceName", or the
// instance name alone when the caption is empty.
std::string EndName(const host::Shape& end) {
  const std::string caption = end.Caption();
  return (caption.empty() ? std::string() : caption + ".") + end.Property("InstanceName");
}

using host::DiagramKind;

struct PropertyLine {
  const char* label;
  const char* property;
  // The diagram kinds that show it.
  DiagramKind kind;
  std::optional<DiagramKind> alsoKind;
};

constexpr PropertyLine kPropertyLines[] = {
    {"Condition        : ", "Condition", DiagramKind::Interaction, {}},
    {"Parameter        : ", "Parameters", DiagramKind::Interaction, DiagramKind::Activity},
    {"Category         : ", "Category", DiagramKind::Interaction, DiagramKind::Activity},
    {"MessageKind      : ", "MessageKind", DiagramKind::Interaction, {}},
    {"ActionExpression : ", "ActionExpression", DiagramKind::Activity, {}},
    {"EventLabel       : ", "EventLabel", DiagramKind::Activity, {}},
    {"Guard            : ", "Guard", DiagramKind::Activity, {}},
    {"SourceQualifier  : ", "SourceQualifier", DiagramKind::Class, {}},
    {"SourceRole       : ", "SourceRole", DiagramKind::Class, {}},
    {"TargetQualifier  : ", "TargetQualifier", DiagramKind::Class, {}},
    {"TargetRole       : ", "TargetRole", DiagramKind::Class, {}},
};

}  // namespace

void TMMDiagramExplorer::AssociationDoc(DiagramKind diagramKind,
                                        const host::Association& association, Lines& lines) {
  const std::string header =
      "Association :" + EndName(association.Source()) + "->" + EndName(association.Target());
  lines = {header, Underline('-', header), "Name             : " + association.AsShape().Caption()};
  for (const auto& line : kPropertyLines) {
    if (line.kind != diagramKind && line.alsoKind != diagramKind) continue;
    const std::string value = association.AsShape().Property(line.property);
    if (!value.empty()) lines.push_back(line.label + value);
  }
}

void TMMDiagramExplorer::GetDiagramDoc(const std::string& name, Lines& lines,
                                       host::Diagram& diagram) {
  diagram = FindDiagram(name);
  if (!diagram) {
    // The model changed since the name was chosen: say so and go on.
    lines.push_back("Diagram not found : " + name);
    return;
  }
  const std::string diagramName = diagram.Name();
  lines.push_back("Diagram : " + diagramName);
  lines.push_back("==========" + Underline('=', diagramName));
  const DiagramKind kind = diagram.Kind();
  const host::ShapeExplorer explorer = diagram.Explorer();
  auto skipped = [&](const std::string& oneLiner, const std::string& documentation) {
    return IgnoreEmptySymbols && OneLiner && oneLiner.empty() && documentation.empty();
  };
  for (const host::Shape& symbol : explorer.AllSymbols()) {
    const std::string oneLiner = symbol.OneLiner();
    const std::string documentation = symbol.Documentation();
    if (skipped(oneLiner, documentation)) continue;
    const std::string caption = symbol.Caption();
    lines.insert(lines.end(), {"", "", caption, Underline('-', caption)});
    if (OneLiner && !oneLiner.empty()) lines.insert(lines.end(), {"{{ OneLiner:", oneLiner, "}}"});
    if (!documentation.empty()) lines.push_back(documentation);
  }
  Lines block;
  for (const host::Association& association : explorer.AllAssociations()) {
    const std::string oneLiner = association.AsShape().OneLiner();
    const std::string documentation = association.AsShape().Documentation();
    if (skipped(oneLiner, documentation)) continue;
    lines.insert(lines.end(), {"", ""});
    AssociationDoc(kind, association, block);
    lines.insert(lines.end(), block.begin(), block.end());
    if (OneLiner && !oneLiner.empty()) lines.push_back("OneLiner         : " + oneLiner);
    if (!documentation.empty()) lines.insert(lines.end(), {"Documentation    :", documentation});
  }
  lines.insert(lines.end(), {"", ""});
}

void TMMDiagramExplorer::ExtractDocumentation(const Lines& names, Lines& lines) {
  lines = {DateLine(), "", ""};
  host::Diagram diagram;
  for (const auto& name : names) GetDiagramDoc(name, lines, diagram);
}

void TMMDiagramExplorer::PrintDocumentation(const Lines& names, bool withDiagrams) {
  for (const auto& name : names) {
    Lines lines = {DateLine(), ""};
    host::Diagram diagram;
    GetDiagramDoc(name, lines, diagram);
    if (withDiagrams && diagram) diagram.Print();
    PrintLines(lines);
  }
}

void TMMDiagramExplorer::PrintCurrentDiagramWithDocumentation() {
  OneLiner = true;
  Lines lines;
  host::Diagram diagram;
  GetDiagramDoc(GetCurDiagramName(), lines, diagram);
  if (diagram) diagram.Print();
  PrintLines(lines);
}

void TMMDiagramExplorer::PrintLines(const Lines& lines) {
  platform::BusyCursor busy;
  platform::Printer& printer = platform::CurrentPrinter();
  printer.BeginJob("Dravolex");
  struct EndJob {
    platform::Printer& printer;
    ~EndJob() {
      try {
        printer.EndJob();
      } catch (...) {
        // The job's own error, if any, is the one that travels.
      }
    }
  } endJob{printer};
  printer.SetFont("Courier New", 10);
  const platform::PrinterMetrics m = printer.Metrics();
  const platform::PrintRect page{(m.dpiX / 4) * 3 - m.offsetX, (m.dpiY / 4) * 3 - m.offsetY,
                                 m.physicalWidth - m.dpiX / 2 - m.offsetX,
                                 m.physicalHeight - m.dpiY / 2 - m.offsetY};
  const int usableHeight = std::abs(page.top - page.bottom);
  std::size_t i = 0;
  Lines pageLines;
  while (i < lines.size()) {
    if (i > 0) printer.NewPage();
    pageLines.clear();
    int height = 0;
    // The line that makes the page full stays on it, clipped at the margin.
    while (height < usableHeight) {
      pageLines.push_back(lines[i++]);
      if (i == lines.size()) break;
      const platform::PrintRect used = printer.MeasureText(platform::JoinLines(pageLines), page);
      height = std::abs(used.bottom - used.top);
    }
    printer.DrawText(platform::JoinLines(pageLines), page);
  }
}

}  // namespace drvx::diagrams
