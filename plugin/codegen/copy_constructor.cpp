#include <stdexcept>

#include "drvx/platform/text.h"
#include "expert_functions.h"
#include "generators.h"

namespace drvx::codegen {

void AddCopyConstructorAndClone(TExpertFunctions& functions) {
  functions.RefreshContext();
  const host::Class& cls = functions.CurrentClass();
  if (!cls) throw std::runtime_error("no class is current to give a copy constructor");
  const std::string className = cls.Name();
  const std::string parameters = "aInstance : " + className;

  // Decide before adding anything, so that a second run adds nothing.
  bool needConstructor = true;
  bool needClone = true;
  const auto members = cls.AllMembers();
  for (const host::Member& member : members) {
    const host::Method method = member.As<host::Method>();
    if (!method) continue;
    if (method.MethodKind() == host::MethodKind::Constructor) {
      if (method.ParameterText() == parameters) needConstructor = false;
    } else if (method.Name() == "Clone") {
      needClone = false;
    }
  }

  if (needConstructor) {
    std::vector<std::string> lines = {
        "// ToDo 5: [Dravolex] Check if a baseclase copy constructor exists!",
        "inherited Create(aInstance);", "", "// assigne all fields.....",
        "// ToDo 5: [Dravolex] Check if assignments are OK!"};
    for (const host::Member& member : members) {
      if (!member.As<host::Field>()) continue;
      const std::string field = member.Name();
      lines.push_back(field + " := aInstance." + field + ";");
    }
    functions.AddMethod("Create", parameters, host::MethodKind::Constructor,
                        host::Visibility::Public, "");
    functions.CurrentMethod().AppendToBody(platform::JoinLines(lines));
  }
  if (needClone) {
    functions.AddMethod("Clone", "", host::MethodKind::Function, host::Visibility::Public,
                        className);
    functions.CurrentMethod().AppendToBody(
        platform::JoinLines({"Result:=" + className + ".Create(self);"}));
  }
}

}  // namespace drvx::codegen
