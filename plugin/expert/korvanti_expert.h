// TKorvantiExpertInterface: the expert the plug-in registers with the host —
// eleven commands, one row of the verb table each, working with the objects
// of the plug-in's context.
//
// Made by the context on the host's user-interface thread. The host holds it
// by counted reference; when the context goes it detaches the expert, whose
// operations then fail with a clear error. Every operation the host calls
// answers 0x8000FFFF instead of letting an error out.
#pragma once

#include <cstdint>
#include <string>

#include "base_expert.h"
#include "drvx/platform/controls.h"

namespace drvx::expert {

class PluginContext;

// A shortcut text ("Alt+h", "Ctrl+Shift+D") as the host's 16-bit value: the
// letter's upper-case code in the low byte, plus 0x8000 for Alt, 0x4000 for
// Ctrl and 0x2000 for Shift.
std::uint16_t ShortcutValue(const std::string& text);

class TKorvantiExpertInterface final : public host::TMMBaseExpert {
 public:
  explicit TKorvantiExpertInterface(PluginContext& context) : context_(&context) {}

  // The context is going: every later operation fails.
  void Detach() { context_ = nullptr; }

  // The verbs, in the order the host numbers them.
  void GenerateHeader();
  void AddTryExcept();
  void Show();
  void DiagramReferences();
  void MemberReferences();
  void LocateClass();
  void AddDefaultFolders();
  void AddCurrentMethodToSequenceList();
  void LookUpReferencingMethods();
  void PrintDiagramWithDocumentation();
  void CreateCopyConstructorAndClone();

 protected:
  host::TMenuPlacement GetMenuPlacement(int index) override;
  std::uint16_t GetShortCut(int index) override;
  int GetVerbCount() override;
  std::u16string GetVerbCaption(int index) override;
  void ExecuteVerb(int index) override;
  std::u16string GetExpertId() override;

 private:
  PluginContext& Context() const;
  void ShowMainWindowOn(platform::TabSheet& page);

  PluginContext* context_;
};

}  // namespace drvx::expert
