// TExpertFunctions: the object through which the plug-in changes and searches
// the host's code model. It keeps the host's current class, method and module
// as last fetched, and offers the helpers the generators share.
//
// The generators and helpers catch nothing: a failing host call, or nothing
// current where something must be, ends them with an exception, and what was
// done before stays done. User-interface thread only.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "expert_settings.h"
#include "host_api.h"

namespace drvx::codegen {

class TExpertFunctions {
 public:
  // Keeps the host's services and the settings (shared, not owned), then
  // fetches the current context.
  TExpertFunctions(host::Services services, settings::TExpertSettings& settings);

  // Fetches the current method, class and module from the navigator.
  void RefreshContext();
  // Adds a field to the current class: name, type, visibility index.
  void AddField(const std::string& name, const std::string& type, host::Visibility visibility);
  // Adds a method to the current class and makes it the current method.
  void AddMethod(const std::string& name, const std::string& parameters, host::MethodKind kind,
                 host::Visibility visibility, const std::string& resultType);
  // The visibility named "scDefault" ... "scAutomated" (exact); any other
  // text shows "TExpertFunctions.StrToVisability : Unknown Visability
  // "<text>"" and gives scDefault.
  static host::Visibility StrToVisability(const std::string& text);
  // Makes the host select the class of that name (ignoring the case of a-z),
  // or else the class named by the type of a member of that name. False when
  // nothing matched; shows nothing.
  bool LocateClass(const std::string& name);

  // Method referencing: the section number (from 1) of the first code section
  // of the method that contains the text, 0 for none (an empty text is never
  // found).
  static int FindTextInSections(const host::Method& method, const std::string& text);
  // Lines "<<Class.Method>>" and "Class.Method Section:n" for every method
  // whose code mentions the navigator's current method.
  void LookUpReferencingMethods(std::vector<std::string>& lines);
  // The same for any text.
  void FindStringInModel(std::vector<std::string>& lines, const std::string& text);
  // Selects the class and member a result line names ("Class.Member ...").
  void ShowReferencedMember(const std::string& line);

  // The generators.
  void GenerateHeader();
  void AddTryExcept();
  void CreateCopyConstructorAndClone();

  const host::Class& CurrentClass() const { return FCurrentClass; }
  const host::Method& CurrentMethod() const { return FCurrentMethod; }
  const host::Module& CurrentModule() const { return FCurrentModule; }
  void SetCurrentModule(host::Module module) { FCurrentModule = std::move(module); }
  settings::TExpertSettings& Settings() const { return FSettings; }
  std::vector<std::string>& HeaderLines() { return FHeaderLines; }
  const host::Services& ToolServices() const { return FToolServices; }

 private:
  bool LocateClass(const std::string& name, std::set<std::string>& resolving);

  host::Services FToolServices;
  host::Class FCurrentClass;
  settings::TExpertSettings& FSettings;
  std::vector<std::string> FHeaderLines;
  host::Method FCurrentMethod;
  host::Module FCurrentModule;
};

// The visibility names, by index.
extern const char* const kVisibilityNames[8];

}  // namespace drvx::codegen
