#include "diagram_generator.h"

#include <algorithm>

#include "drvx/platform/forms.h"
#include "drvx/platform/text.h"
#include "exception_report.h"

namespace drvx::sequence {
namespace {

// The total lifeline width of each page size class.
constexpr std::int32_t kPageWidths[] = {1200, 1600, 2400, 3000, 4000};

}  // namespace

std::int32_t TDiagramGenerator::GenSqDg(const std::string& name,
                                        const std::vector<std::string>& lines) {
  std::int32_t result = -1;
  try {
    FSequenceDiagram = std::make_unique<TSequenceDiagram>(FToolServices, name);
    FSequenceDiagram->SetCallList(lines);
    FRoleCount = FSequenceDiagram->CreateRoles();
    const MessageCounts counts = FSequenceDiagram->CreateMessages();
    FMessageCount = counts.messages;
    FSelfMessageCount = counts.selfMessages;
    FSizeClass = GetSizeClass();
    FFormatFlag = true;
    FSequenceDiagram->SetFormat(FSizeClass, FFormatFlag);
    GetRoleDistance();
    FSequenceDiagram->SetLayout(FRoleDistance, FMessageDistance);
    FSequenceDiagram->DrawDiagram();
    result = FSequenceDiagram->Diagram().Id();
  } catch (const std::exception& error) {
    FExMsg = host::ExceptionText("TDiagramGenerator", "GenSqDg", error);
    if (FReporter) FReporter(FExMsg);
    else host::ShowReport(FExMsg);
  }
  FSequenceDiagram.reset();
  return result;
}

std::uint8_t TDiagramGenerator::GetSizeClass() const {
  const std::int64_t h = std::int64_t(FMessageDistance) * FMessageCount +
                         std::int64_t(FMessageDistance) * FSelfMessageCount;
  return h > 1800 ? 4 : h > 1400 ? 3 : h > 1040 ? 2 : h > 630 ? 1 : 0;
}

void TDiagramGenerator::GetRoleDistance() {
  const std::int32_t width = FSizeClass < std::size(kPageWidths) ? kPageWidths[FSizeClass] : 1200;
  FRoleDistance = FRoleCount > 0 ? width / FRoleCount : width;
}

std::int32_t DrawReceivedCallStack(const host::Services& services,
                                   settings::TTypeMemoryStream& stream,
                                   const CallStackFilter& filter,
                                   std::function<void(const std::string&)> reporter) {
  stream.SetPosition(0);
  std::string text(std::size_t(stream.Size()), '\0');
  stream.Read(text.data(), stream.Size());
  const std::vector<std::string> received = platform::SplitLines(text);
  std::vector<std::string> lines = filter.Apply(received);
  if (lines.empty() && !received.empty()) {
    platform::LogLine("a call stack of " + std::to_string(received.size()) +
                      " calls was not drawn: the call-stack filter leaves none of them");
    return -1;
  }
  TDiagramGenerator::InvertCallList(lines);
  TDiagramGenerator generator(services);
  generator.SetReporter(std::move(reporter));
  return generator.GenSqDg("sqDelphiCallStack", lines);
}

void TDiagramGenerator::InvertCallList(std::vector<std::string>& lines) {
  std::reverse(lines.begin(), lines.end());
}

}  // namespace drvx::sequence
