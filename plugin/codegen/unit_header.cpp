#include <filesystem>

#include "drvx/platform/clock.h"
#include "drvx/platform/files.h"
#include "drvx/platform/text.h"
#include "expert_functions.h"
#include "generators.h"

namespace drvx::codegen {

void GenerateUnitHeader(TExpertFunctions& functions) {
  functions.ToolServices().Project().BeginModelChange();
  std::vector<std::string>& lines = functions.HeaderLines();
  lines.clear();
  const std::filesystem::path templateFile =
      std::filesystem::path(functions.Settings().ConfigFileName).parent_path() / "header.txt";
  if (std::filesystem::exists(templateFile))
    lines = platform::SplitLines(platform::ReadWholeFile(templateFile, platform::kMaxSettingsFile));
  else
    lines.push_back("// no Headerfile found  : " + templateFile.string());
  const platform::DateTime now = platform::Now();
  lines.push_back("// Unit Created at    : Date: " + platform::ShortDate(now) +
                  "  Time :" + platform::LongTime(now));
  lines.push_back("// Unit last modified : Date: <!Date!>  Time :<!Time!>");
  lines.push_back("//" + std::string(78, '-'));
  const std::string header = platform::JoinLines(lines);

  functions.SetCurrentModule(functions.ToolServices().Nav().CurrentModule());
  const host::Module& module = functions.CurrentModule();
  if (!module) throw std::runtime_error("no module is current to put the header in front of");
  module.SetHeaderText(header + module.HeaderText());
}

}  // namespace drvx::codegen
