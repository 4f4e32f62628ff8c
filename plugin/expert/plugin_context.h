// PluginContext: everything the plug-in keeps between its entry and its exit,
// owned in one place. The entry function makes it on the host's
// user-interface thread and the exit procedure destroys it there; nothing of
// the plug-in's state lives outside it.
//
// Teardown, in this order (the reverse of construction):
//   1. the expert is detached: a host call that still reaches it fails with
//      a clear error instead of touching what follows;
//   2. the timer that retries a slot another receiver held stops; the
//      mailbox closes: its reader thread is woken and joined, and a call
//      stack still waiting for the user-interface thread is taken back from
//      the platform's loop, so no code of this library is left queued there;
//   3. the recordings being drawn (what they drew stays in the host);
//   4. the timer that sums up call stacks which could not be drawn stops
//      (its timer leaves the platform's loop), then its counts go;
//   5. the class locator dialog;
//   6. the main window with its workers (the group manager leaves the
//      notifier's observers);
//   7. the code-model worker;
//   8. the project notifier (the context's reference; the host has released
//      its own before it calls the exit procedure);
//   9. the settings;
//   10. the host's services, whose binding for error texts ends last.
#pragma once

#include <filesystem>

#include "class_locator.h"
#include "expert_functions.h"
#include "expert_settings.h"
#include "host_api.h"
#include "mailbox.h"
#include "main_window.h"
#include "project_notifier.h"
#include "recording_receiver.h"
#include "report_throttle.h"

namespace drvx::expert {

class TKorvantiExpertInterface;

class PluginContext {
 public:
  // Binds the host's services, makes the workers and windows, shows the info
  // window for a second and opens the mailbox "MbDRVX". `hostExecutable`
  // places the settings file.
  PluginContext(host::Services services, const std::filesystem::path& hostExecutable);
  ~PluginContext();
  PluginContext(const PluginContext&) = delete;
  PluginContext& operator=(const PluginContext&) = delete;

  // Registers the expert, then the project notifier, with the host.
  void Register();

  const host::Services& Services() const { return services_; }
  settings::TExpertSettings& Settings() { return settings_; }
  codegen::TExpertFunctions& Functions() { return functions_; }
  ui::TFrmMain& MainWindow() { return mainWindow_; }
  ui::TClassLocatorDlg& ClassLocator() { return classLocator_; }
  sequence::TZkMailBox& MailBox() { return mailBox_; }

 private:
  void MailBoxMessage(settings::TTypeMemoryStream& stream);
  void DrawFailure(const std::string& text);

  // Declared in construction order; destroyed in the reverse.
  host::HostBinding binding_;
  host::Services services_;
  settings::TExpertSettings settings_;
  host::ComPtr<host::TProjectNotifier> notifier_;
  codegen::TExpertFunctions functions_;
  ui::TFrmMain mainWindow_;
  ui::TClassLocatorDlg classLocator_;
  // Call stacks that cannot be drawn: the first of a period is shown, the
  // rest summed up by the timer once the period is over.
  host::ReportThrottle drawFailures_;
  platform::Timer drawFailureSummary_;
  // The recordings being drawn as their batches come.
  sequence::RecordingReceiver recordings_;
  sequence::TZkMailBox mailBox_;
  // Tries to open the mailbox again while another receiver holds the slot.
  platform::Timer slotRetry_;
  host::ComPtr<TKorvantiExpertInterface> expert_;
};

}  // namespace drvx::expert
