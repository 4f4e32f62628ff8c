#include <stdexcept>

#include "drvx/platform/text.h"
#include "expert_functions.h"
#include "generators.h"

namespace drvx::codegen {

FieldSpec ParseFieldSpec(const std::string& line) {
  FieldSpec spec;
  const auto first = line.find(',');
  if (first == std::string::npos) {
    spec.visibility = line;
    return spec;
  }
  spec.name = line.substr(0, first);
  const auto second = line.find(',', first + 1);
  if (second == std::string::npos) {
    spec.visibility = line.substr(first + 1);
    return spec;
  }
  spec.type = line.substr(first + 1, second - first - 1);
  spec.visibility = line.substr(second + 1);
  return spec;
}

void WrapCurrentMethodInTryExcept(TExpertFunctions& functions) {
  functions.RefreshContext();
  const host::Method& method = functions.CurrentMethod();
  if (!method) throw std::runtime_error("no method is current to wrap in try/except");
  method.InsertIntoBody("//=== TRY\r\nTRY\r\n");
  const settings::TExpertSettings& settings = functions.Settings();
  method.AppendToBody(settings.ExceptionCode);
  if (!settings.CreateLocalMembers) return;
  for (const std::string& line : platform::SplitLines(settings.LocalFields)) {
    const FieldSpec spec = ParseFieldSpec(line);
    const host::Visibility visibility = TExpertFunctions::StrToVisability(spec.visibility);
    const host::Class& cls = functions.CurrentClass();
    if (!cls) throw std::runtime_error("no class is current to add the field " + spec.name);
    if (cls.FindMember(spec.name) < 0) functions.AddField(spec.name, spec.type, visibility);
  }
}

}  // namespace drvx::codegen
