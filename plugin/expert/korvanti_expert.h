// TKorvantiExpertInterface: the expert the plug-in registers with the host —
// eleven commands, the objects they work with, and the mailbox that turns
// received call stacks into sequence diagrams.
//
// Made at entry, on the host's user-interface thread; destroyed when the host
// releases it. Every operation the host calls answers 0x8000FFFF instead of
// letting an error out.
#pragma once

#include <memory>
#include <string>

#include "base_expert.h"
#include "class_locator.h"
#include "drvx/platform/paths.h"
#include "expert_functions.h"
#include "expert_settings.h"
#include "mailbox.h"
#include "main_window.h"

namespace drvx::expert {

// The one class locator dialog, made and destroyed by the expert.
extern ui::TClassLocatorDlg* ClassLocatorDlg;

// A shortcut text ("Alt+h", "Ctrl+Shift+D") as the host's 16-bit value: the
// letter's upper-case code in the low byte, plus 0x8000 for Alt, 0x4000 for
// Ctrl and 0x2000 for Shift.
std::uint16_t ShortcutValue(const std::string& text);

class TKorvantiExpertInterface final : public host::TMMBaseExpert {
 public:
  // `hostExecutable` places the settings (default: the running program).
  TKorvantiExpertInterface();
  explicit TKorvantiExpertInterface(const std::filesystem::path& hostExecutable);
  ~TKorvantiExpertInterface() override;

  ui::TFrmMain& MainWindow() const { return *FFrmMain; }
  sequence::TZkMailBox& MailBox() const { return *FMailBox; }

 protected:
  mmapi::TMenuPlacement GetMenuPlacement(int index) override;
  std::uint16_t GetShortCut(int index) override;
  int GetVerbCount() override;
  std::u16string GetVerbCaption(int index) override;
  void ExecuteVerb(int index) override;
  std::u16string GetExpertId() override;

 private:
  void MailBoxError(sequence::TZkMailBox& sender, std::uint8_t code);
  void MailBoxMessage(sequence::TZkMailBox& sender, settings::TTypeMemoryStream& stream);
  void ShowMainWindowOn(platform::TabSheet& page);
  void LocateClass();
  void AddCurrentMethodToSequenceList();

  std::unique_ptr<codegen::TExpertFunctions> FFunctions;
  std::unique_ptr<settings::TExpertSettings> FSettings;
  std::unique_ptr<ui::TFrmMain> FFrmMain;
  std::unique_ptr<sequence::TZkMailBox> FMailBox;
};

}  // namespace drvx::expert
