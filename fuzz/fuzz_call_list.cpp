// A call list typed on the Sequences page, drawn as a sequence diagram. When
// it is drawn, it has one lifeline per distinct role (names compared as the
// host keeps them), System for a first line with a message, and one message
// per call.
#include <set>

#include "diagram_generator.h"
#include "drvx/platform/ansi_text.h"
#include "drvx/platform/text.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace drvx;
  auto& project = fuzz::Host().FreshProject();
  const std::vector<std::string> lines = platform::SplitLines(fuzz::Text(data, size));
  std::string failure;
  sequence::TDiagramGenerator generator(fuzz::Host().Services());
  generator.SetReporter([&](const std::string& text) { failure = text; });
  const std::int32_t id = generator.GenSqDg("sqFuzz", lines);
  if (id < 0) {
    if (failure.empty()) fuzz::Wrong("a failed generation told nothing");
    return 0;
  }
  std::set<std::string> roles;
  for (const auto& line : lines) roles.insert(platform::HostForm(sequence::SplitCallLine(line).first));
  const bool fromSystem = !sequence::SplitCallLine(lines[0]).second.empty();
  if (fromSystem) roles.insert("System");
  const auto& diagram = *project.diagrams.back();
  if (diagram.symbols.size() != roles.size())
    fuzz::Wrong(std::to_string(diagram.symbols.size()) + " lifelines for " +
                std::to_string(roles.size()) + " roles");
  if (diagram.associations.size() != lines.size() - 1 + (fromSystem ? 1 : 0))
    fuzz::Wrong(std::to_string(diagram.associations.size()) + " messages for " +
                std::to_string(lines.size()) + " lines");
  return 0;
}
