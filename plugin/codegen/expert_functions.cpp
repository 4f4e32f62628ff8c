#include "expert_functions.h"

#include <stdexcept>

#include "drvx/platform/ansi_text.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/text.h"
#include "generators.h"

namespace drvx::codegen {

const char* const kVisibilityNames[8] = {"scDefault",         "scStrictPrivate", "scPrivate",
                                         "scStrictProtected", "scProtected",     "scPublic",
                                         "scPublished",       "scAutomated"};

TExpertFunctions::TExpertFunctions(host::Services services, settings::TExpertSettings& settings)
    : FToolServices(std::move(services)), FSettings(settings) {
  RefreshContext();
}

void TExpertFunctions::RefreshContext() {
  const host::Navigator nav = FToolServices.Nav();
  FCurrentMethod = nav.CurrentMethod();
  FCurrentClass = nav.CurrentClass();
  FCurrentModule = nav.CurrentModule();
}

void TExpertFunctions::AddField(const std::string& name, const std::string& type,
                                host::Visibility visibility) {
  if (!FCurrentClass) throw std::runtime_error("no class is current to add the field " + name);
  const host::Member field = FCurrentClass.AddField().AsMember();
  field.SetName(name);
  field.SetTypeName(type);
  field.SetVisibility(visibility);
}

void TExpertFunctions::AddMethod(const std::string& name, const std::string& parameters,
                                 host::MethodKind kind, host::Visibility visibility,
                                 const std::string& resultType) {
  if (!FCurrentClass) throw std::runtime_error("no class is current to add the method " + name);
  FCurrentMethod = FCurrentClass.AddMethod();
  const host::Member member = FCurrentMethod.AsMember();
  member.SetName(name);
  FCurrentMethod.SetMethodKind(kind);
  FCurrentMethod.SetParameterText(parameters);
  if (!resultType.empty()) member.SetTypeName(resultType);
  member.SetVisibility(visibility);
}

host::Visibility TExpertFunctions::StrToVisability(const std::string& text) {
  for (int i = 0; i < 8; ++i)
    if (text == kVisibilityNames[i]) return host::Visibility(i);
  platform::CurrentDialogs().ShowMessage(
      platform::MessageKind::Plain,
      "TExpertFunctions.StrToVisability : Unknown Visability \"" + text + "\"");
  return host::Visibility::Default;
}

bool TExpertFunctions::LocateClass(const std::string& name) {
  std::set<std::string> resolving;
  return LocateClass(name, resolving);
}

bool TExpertFunctions::LocateClass(const std::string& name, std::set<std::string>& resolving) {
  // A member whose type leads back to a name being resolved would recurse
  // without end; such a name is not followed again.
  std::string key = name;
  for (char& c : key) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
  if (!resolving.insert(key).second) return false;
  const std::string wanted = platform::HostForm(name);
  const host::CodeModel model = FToolServices.Model();
  const auto classes = model.AllClasses();
  std::string className;
  for (const host::Class& cls : classes) {
    cls.ReadName(className);
    if (platform::SameTextIgnoringCase(className, wanted)) {
      FToolServices.Nav().NavigateToClass(cls);
      return true;
    }
  }
  bool result = false;
  std::string memberName;
  for (const host::Class& cls : classes) {
    for (const host::Member& member : cls.AllMembers()) {
      member.ReadName(memberName);
      if (platform::SameTextIgnoringCase(memberName, wanted) &&
          LocateClass(member.TypeName(), resolving))
        result = true;
    }
  }
  return result;
}

void TExpertFunctions::GenerateHeader() { GenerateUnitHeader(*this); }

void TExpertFunctions::AddTryExcept() { WrapCurrentMethodInTryExcept(*this); }

void TExpertFunctions::CreateCopyConstructorAndClone() { AddCopyConstructorAndClone(*this); }

}  // namespace drvx::codegen
