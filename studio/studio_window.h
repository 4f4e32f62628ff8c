// The desktop host's main window: the project tree, the diagram canvas, the
// plug-ins' verbs in a menu with their shortcuts, and a log pane with what
// the host and the platform say. It owns a host session with its plug-ins
// and runs the same command language as the headless host, so that a verb
// picked from the menu does what "exec" does.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

#include "diagram_canvas.h"
#include "drvx/platform/scripted_dialogs.h"
#include "form_view.h"
#include "host_session.h"
#include "plugin_calls.h"
#include "plugin_loader.h"
#include "project_tree.h"
#include "qt_dialogs.h"
#include "qt_printer.h"
#include "script_runner.h"

class QMenu;
class QPushButton;
class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace drvx::studio {

class StudioWindow final : public QMainWindow {
 public:
  // Loads the plug-ins of `experts` (none when empty).
  explicit StudioWindow(const std::filesystem::path& experts);
  ~StudioWindow() override;  // unloads the plug-ins first

  // Runs a line of the command language, or one of the host's typed
  // operations; what it says goes to the log pane, and the tree, the canvas
  // and the verb menu follow what it changed. False when it failed.
  bool RunCommand(const std::string& line);
  // `echo` is what the log shows as the command (none: nothing).
  bool Perform(const std::function<void(modelhost::HostOperations&)>& operation,
               const std::string& echo = {});
  bool OpenProject(const std::filesystem::path& file);

  ProjectTree& Tree() { return *tree_; }
  // The details of the element picked in the tree: what the host's print of
  // it says (a method's code sections, a module's header, ...).
  const QPlainTextEdit& Details() const { return *details_; }
  DiagramCanvas& Canvas() { return *canvas_; }
  QMenu& PluginMenu() { return *pluginMenu_; }
  modelhost::HostSession& Session() { return session_; }
  platform::qt::QtPrinter& Printer() { return printer_; }
  platform::qt::FormWindows& Forms() { return forms_; }

  // Draws a diagram of the open project on the canvas, none when null: at
  // the zoom it had when last shown, or first fitted to the view (never
  // enlarged), centred. Another diagram than the one shown goes into the
  // history that Back and Forward walk.
  void ShowDiagram(const modelhost::ModelDiagram* diagram);
  void Back();
  void Forward();
  // Writes the diagram shown as a picture (.svg, .png or .pdf); false, and
  // said in the log, when it cannot.
  bool ExportPicture(const std::filesystem::path& file);
  // Scrolls the diagram shown this many pixels down.
  void ScrollDiagram(int pixels);
  // Help > About: the versions of the studio, of Qt and of each plug-in.
  QString AboutText() const;
  // Marks the texts of the diagram shown that hold `text` (none: empty) and
  // scrolls to the first; the number found.
  int FindInDiagram(const QString& text);
  // Whether a diagram that arrives (a call stack) is opened at once, or
  // offered in the status bar.
  void SetOpenArrivals(bool open);
  // Whether the open project changed since it was opened or saved.
  bool Modified() const { return modified_; }

 protected:
  // Quits the studio, after asking about unsaved changes: every window of
  // the host and of its plug-ins closes, and the process ends.
  void closeEvent(class QCloseEvent* event) override;

 private:
  void BuildMenus();
  void FillPluginMenu();
  // Follows what changed since the window last looked: the project opened
  // anew, or the plug-ins' changes (gathered by the session and taken here
  // once for many), whether a command or a call stack made them.
  void FollowChanges();
  void Arrived(const modelhost::ModelDiagram& diagram);
  // Before the open project is closed, replaced or the studio quits: a
  // changed project is saved, or its changes dropped, as the user answers;
  // false when the user cancels (or saving failed).
  bool MaySetProjectAside();
  // Saves to the project's file (asking for one when it has none).
  bool SaveProject();
  bool SaveProjectAs();
  void ShowTitle();
  void ShowDetails(const modelhost::ModelElement* element);
  // Menu titles whose mnemonics no verb's shortcut takes (Alt+F may be a
  // verb's).
  void TitleMenus(const std::vector<modelhost::ExpertInfo>& experts);
  void RememberRecent(const std::filesystem::path& file);
  void FillRecentMenu();
  void AppendLog(const std::string& text);
  // Shows what the last command or operation said, then follows its changes.
  bool Done(bool ok);

  platform::qt::UiLoopPump pump_;
  platform::qt::FormWindows forms_;  // the plug-ins' forms as windows
  platform::qt::QtDialogs qtDialogs_;
  platform::qt::QtClipboard clipboard_;
  platform::ScriptedDialogs dialogs_;
  platform::qt::QtPrinter printer_{this};
  modelhost::HostSession session_;
  std::ostringstream out_;
  std::ostringstream err_;
  modelhost::PluginLoader loader_;
  modelhost::ScriptRunner runner_;

  ProjectTree* tree_;
  DiagramCanvas* canvas_;
  QScrollArea* scroll_;
  QPlainTextEdit* log_;
  QPlainTextEdit* details_;
  std::int32_t detailsId_ = 0;
  std::vector<std::pair<QMenu*, QString>> menuTitles_;  // untitled: no '&' 
  QMenu* pluginMenu_ = nullptr;
  QAction* openArrivals_ = nullptr;
  QPushButton* showArrival_ = nullptr;
  std::int32_t shownDiagram_ = 0;
  std::int32_t arrival_ = 0;  // the diagram the status bar offers
  struct NavigatorIds {
    std::int32_t member = 0, cls = 0, module = 0, diagram = 0;
  };
  static NavigatorIds NavigatorIdsOf(const modelhost::NavigatorState& navigator);
  NavigatorIds navigator_;  // what was current when last looked
  const modelhost::ModelProject* shownProject_ = nullptr;
  bool following_ = false;  // changes are waiting to be followed
  bool modified_ = false;
  QMenu* recentMenu_ = nullptr;
  std::vector<int> menuExperts_;  // the experts the verb menu was made for
  std::map<std::int32_t, double> zooms_;  // each diagram's zoom when last shown
  std::vector<std::int32_t> history_;     // the diagrams shown, in order
  std::size_t historyAt_ = 0;             // the one shown, in history_
  QLabel* zoomLabel_ = nullptr;
  void DrawDiagram(const modelhost::ModelDiagram* diagram);
  void WalkHistory(int step);  // -1 back, +1 forward
};

}  // namespace drvx::studio
