#include "studio_window.h"

#include <QApplication>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QLabel>
#include <QFontDatabase>
#include <QRegularExpression>
#include <set>
#include <QCloseEvent>
#include <QMessageBox>
#include <QSettings>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>

#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/file_version.h"
#include "drvx/platform/forms.h"
#include "layout.h"
#include "model_printer.h"
#include "picture_export.h"
#include "plugin_calls.h"
#include "words.h"

namespace drvx::studio {
namespace {

constexpr double kLegible = 0.4;  // the least zoom a diagram opens at

}  // namespace

StudioWindow::StudioWindow(const std::filesystem::path& experts)
    : qtDialogs_(this),
      loader_(session_, [this](const std::string& line) { AppendLog(line + "\n"); }),
      runner_({session_, loader_, dialogs_, out_, err_}) {
  setWindowTitle(QStringLiteral("Dravolex Studio"));
  // Dialogs the command language has no answer for are asked in windows.
  dialogs_.SetFallback(&qtDialogs_);
  dialogs_.SetLog([this](const std::string& line) { AppendLog("note: " + line + "\n"); });
  platform::SetLogSink([this](const std::string& line) { AppendLog("note: " + line + "\n"); });
  platform::SetDialogs(&dialogs_);
  platform::SetClipboard(&clipboard_);
  platform::SetPrinter(&printer_);
  // A modal window runs what the command language queued for it ("modal"),
  // then waits for the user while it is still open.
  platform::SetModalDriver([scripted = platform::CurrentModalDriver(), this](platform::Form& form) {
    if (scripted) scripted(form);
    forms_.RunModal(form);
  });

  tree_ = new ProjectTree;
  canvas_ = new DiagramCanvas;
  scroll_ = new QScrollArea;
  scroll_->setWidget(canvas_);
  scroll_->setAlignment(Qt::AlignCenter);
  scroll_->setBackgroundRole(QPalette::Dark);
  log_ = new QPlainTextEdit;
  log_->setReadOnly(true);
  log_->setObjectName(QStringLiteral("log"));
  auto* right = new QSplitter(Qt::Vertical);
  right->addWidget(scroll_);
  right->addWidget(log_);
  right->setStretchFactor(0, 4);
  right->setStretchFactor(1, 1);
  right->setSizes({580, 150});
  details_ = new QPlainTextEdit;
  details_->setReadOnly(true);
  details_->setObjectName(QStringLiteral("details"));
  details_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  details_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* filter = new QLineEdit;
  filter->setObjectName(QStringLiteral("filter"));
  filter->setPlaceholderText(tr("Filter the tree"));
  filter->setClearButtonEnabled(true);
  connect(filter, &QLineEdit::textChanged, [this](const QString& text) { tree_->Filter(text); });
  auto* treeArea = new QWidget;
  auto* treeRows = new QVBoxLayout(treeArea);
  treeRows->setContentsMargins(0, 0, 0, 0);
  treeRows->addWidget(filter);
  treeRows->addWidget(tree_);
  auto* left = new QSplitter(Qt::Vertical);
  left->addWidget(treeArea);
  left->addWidget(details_);
  left->setSizes({450, 280});
  auto* main = new QSplitter(Qt::Horizontal);
  main->addWidget(left);
  main->addWidget(right);
  main->setStretchFactor(1, 3);
  main->setSizes({250, 850});
  setCentralWidget(main);
  resize(1100, 750);

  tree_->OnPicked = [this](modelhost::ModelElement& element) {
    ShowDetails(&element);
    canvas_->SetSelected(element.ElementId());
    if (element.Kind() == modelhost::ElementKind::Diagram)
      ShowDiagram(&static_cast<modelhost::ModelDiagram&>(element));
  };
  // A shape picked on the canvas is picked in the tree: it becomes current
  // (a message's member too). A double click follows a diagram link, or
  // shows a member's code.
  canvas_->OnPicked = [this](std::int32_t element) {
    if (QTreeWidgetItem* item = tree_->ItemOf(element)) tree_->setCurrentItem(item);
    canvas_->SetSelected(element);
  };
  canvas_->OnActivated = [this](std::int32_t element) {
    if (QTreeWidgetItem* item = tree_->ItemOf(element)) tree_->setCurrentItem(item);
    if (auto* found = session_.Project().Find(element); found && found->Kind() != modelhost::ElementKind::Diagram)
      details_->setFocus();
  };
  zoomLabel_ = new QLabel;
  zoomLabel_->setObjectName(QStringLiteral("zoom"));
  canvas_->OnZoomed = [this](double zoom) {
    zoomLabel_->setText(QStringLiteral("%1 %").arg(std::lround(zoom * 100)));
    if (shownDiagram_) zooms_[shownDiagram_] = zoom;
  };
  BuildMenus();
  showArrival_ = new QPushButton;
  showArrival_->setObjectName(QStringLiteral("showArrival"));
  showArrival_->setFlat(true);
  showArrival_->hide();
  connect(showArrival_, &QPushButton::clicked, [this] {
    if (session_.Project().IndexOfDiagram(arrival_) < 0) return;
    showArrival_->hide();
    Perform([id = arrival_](auto& host) {
      host.Select(modelhost::Selectable::Diagram, "#" + std::to_string(id));
    });
  });
  statusBar()->addPermanentWidget(showArrival_);
  statusBar()->addPermanentWidget(zoomLabel_);
  // What the plug-ins change, whenever they change it, is followed once
  // the event loop comes round again: many changes, one redraw.
  session_.SetChangeListener([this] {
    if (std::exchange(following_, true)) return;
    QTimer::singleShot(0, this, [this] { FollowChanges(); });
  });
  // This window is the application window the plug-ins' windows belong to.
  session_.SetWindowHandle(std::uint64_t(winId()));
  if (!experts.empty()) loader_.LoadFolder(experts);
  FillPluginMenu();
  FollowChanges();
}

StudioWindow::~StudioWindow() {
  session_.SetChangeListener(nullptr);
  loader_.UnloadAll();
  platform::SetPrinter(nullptr);
  platform::SetClipboard(nullptr);
  platform::SetDialogs(nullptr);
  platform::SetLogSink(nullptr);
}

bool StudioWindow::RunCommand(const std::string& line) {
  AppendLog("> " + line + "\n");
  return Done(runner_.RunLine(line, "studio"));
}

bool StudioWindow::Perform(const std::function<void(modelhost::HostOperations&)>& operation,
                           const std::string& echo) {
  if (!echo.empty()) AppendLog("> " + echo + "\n");
  return Done(runner_.Perform([&] { operation(runner_.Operations()); }, "studio"));
}

bool StudioWindow::Done(bool ok) {
  AppendLog(out_.str() + err_.str());
  // A failure the user should not miss, in the host's words without the
  // status numbers; not modal, so nothing waits for it.
  if (!ok && isVisible() && !err_.str().empty()) {
    static const QRegularExpression status(QStringLiteral("status 0x[0-9A-Fa-f]+ \\([^)]*\\): |studio: error: "));
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Dravolex Studio"),
                                QString::fromStdString(err_.str()).remove(status).trimmed(),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
  }
  out_.str("");
  err_.str("");
  FillPluginMenu();
  FollowChanges();
  // "quit" in the command language quits the studio, as File > Quit does.
  if (runner_.QuitRequested()) QTimer::singleShot(0, this, [this] { close(); });
  return ok;
}

bool StudioWindow::OpenProject(const std::filesystem::path& file) {
  if (!Perform([&](modelhost::HostOperations& host) { host.Open(file); })) return false;
  RememberRecent(session_.Project().fileName);
  return true;
}

bool StudioWindow::SaveProject() {
  if (session_.Project().fileName.empty()) return SaveProjectAs();
  if (!Perform([](modelhost::HostOperations& host) { host.Save(); }, "save")) return false;
  modified_ = false;
  ShowTitle();
  return true;
}

bool StudioWindow::SaveProjectAs() {
  const QString name = QFileDialog::getSaveFileName(this, tr("Save the project as"), {},
                                                    tr("Projects (*.mmproj)"));
  if (name.isEmpty()) return false;
  if (!Perform([file = std::filesystem::path(name.toStdString())](auto& host) { host.Save(file); }))
    return false;
  modified_ = false;
  ShowTitle();
  RememberRecent(session_.Project().fileName);
  return true;
}

bool StudioWindow::MaySetProjectAside() {
  if (!modified_) return true;
  const QString name = QString::fromStdString(session_.Project().fileName.filename().string());
  const auto answer = QMessageBox::question(
      this, tr("Dravolex Studio"),
      tr("Save the changes to %1?").arg(name.isEmpty() ? tr("the new project") : name),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Discard) return true;
  return answer == QMessageBox::Save && SaveProject();
}

void StudioWindow::closeEvent(QCloseEvent* event) {
  if (!MaySetProjectAside()) return event->ignore();
  // The plug-ins' windows close with the studio, and the event loop ends
  // even while one of them is still open.
  for (platform::Form* form : std::vector<platform::Form*>(platform::AllForms()))
    if (form->Visible()) form->Close();
  event->accept();
  QCoreApplication::quit();
}

// The five projects opened last, newest first, kept in the user's settings.
void StudioWindow::RememberRecent(const std::filesystem::path& file) {
  if (file.empty()) return;
  QSettings settings;
  QStringList recent = settings.value(QStringLiteral("recent")).toStringList();
  const QString name = QString::fromStdString(std::filesystem::absolute(file).string());
  recent.removeAll(name);
  recent.prepend(name);
  while (recent.size() > 5) recent.removeLast();
  settings.setValue(QStringLiteral("recent"), recent);
  FillRecentMenu();
}

void StudioWindow::FillRecentMenu() {
  recentMenu_->clear();
  for (const QString& name : QSettings().value(QStringLiteral("recent")).toStringList())
    recentMenu_->addAction(name, [this, name] {
      if (MaySetProjectAside()) OpenProject(name.toStdString());
    });
  recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void StudioWindow::ShowDiagram(const modelhost::ModelDiagram* diagram) {
  const std::int32_t id = diagram ? diagram->ElementId() : 0;
  if (id != 0 && id != shownDiagram_) {
    history_.resize(std::min(history_.size(), historyAt_ + 1));
    history_.push_back(id);
    historyAt_ = history_.size() - 1;
  }
  DrawDiagram(diagram);
}

void StudioWindow::DrawDiagram(const modelhost::ModelDiagram* diagram) {
  const bool another = (diagram ? diagram->ElementId() : 0) != shownDiagram_;
  shownDiagram_ = diagram ? diagram->ElementId() : 0;
  // A diagram that grows (a recording as its batches come) is followed: a
  // view scrolled to its end stays at the end.
  QScrollBar* bar = scroll_->verticalScrollBar();
  const bool atEnd = !another && bar->maximum() > 0 && bar->value() >= bar->maximum();
  canvas_->SetDiagram(diagram ? modelhost::render::LayoutDiagram(*diagram)
                              : modelhost::render::DisplayList{});
  if (atEnd) QTimer::singleShot(0, bar, [bar] { bar->setValue(bar->maximum()); });
  if (!another || !diagram) return;
  // First shown: the whole diagram when it fits at a legible size, else as
  // wide as the view (a tall sequence diagram then scrolls down), never
  // below 40 % nor above 100 %.
  const auto zoom = zooms_.find(shownDiagram_);
  if (zoom != zooms_.end()) return canvas_->SetZoom(zoom->second);
  const QSize view = scroll_->viewport()->size();
  double fit = canvas_->FitZoom(view);
  if (fit < kLegible) fit = std::max(kLegible, view.width() / canvas_->Diagram().width);
  canvas_->SetZoom(std::min(1.0, fit));
}

void StudioWindow::ScrollDiagram(int pixels) {
  QApplication::processEvents();  // laid out first, so that the scroll bar has its range
  scroll_->verticalScrollBar()->setValue(pixels);
}

QString StudioWindow::AboutText() const {
  QString text = tr("Dravolex Studio %1\nQt %2").arg(QStringLiteral(DRVX_FILE_VERSION), qVersion());
  for (const auto& plugin : loader_.Plugins())
    text += QStringLiteral("\n%1 %2").arg(QString::fromStdString(plugin.path.filename().string()),
                                          QString::fromStdString(platform::FileVersionText(plugin.path)
                                                                     .value_or(tr("(no version)").toStdString())));
  return text;
}

int StudioWindow::FindInDiagram(const QString& text) {
  const std::vector<QRectF> found = canvas_->Find(text.toStdString());
  if (!found.empty()) scroll_->ensureVisible(int(found.front().center().x()), int(found.front().center().y()));
  return int(found.size());
}

bool StudioWindow::ExportPicture(const std::filesystem::path& file) {
  try {
    studio::ExportPicture(canvas_->Diagram(), file);
    AppendLog("exported " + canvas_->Diagram().title + " to " + file.string() + "\n");
    return true;
  } catch (const std::exception& e) {
    AppendLog(std::string("error: ") + e.what() + "\n");
    return false;
  }
}

void StudioWindow::Back() { WalkHistory(-1); }
void StudioWindow::Forward() { WalkHistory(+1); }

// To the nearest diagram that way in the history that is still there.
void StudioWindow::WalkHistory(int step) {
  const auto& project = session_.Project();
  for (std::size_t at = historyAt_; step < 0 ? at > 0 : at + 1 < history_.size();) {
    at = step < 0 ? at - 1 : at + 1;
    if (const auto index = project.IndexOfDiagram(history_[at]); index >= 0) {
      historyAt_ = at;
      return DrawDiagram(project.diagrams[std::size_t(index)].Get());
    }
  }
}

void StudioWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("File"));
  menuTitles_.emplace_back(file, tr("File"));
  const auto newProject = [this] {
    if (MaySetProjectAside()) Perform([](modelhost::HostOperations& host) { host.New(); }, "new");
  };
  file->addAction(tr("&New"), QKeySequence::New, newProject);
  file->addAction(tr("&Open..."), QKeySequence::Open, [this] {
    if (!MaySetProjectAside()) return;
    const QString name = QFileDialog::getOpenFileName(this, tr("Open a project"), {},
                                                      tr("Projects (*.mmproj)"));
    if (!name.isEmpty()) OpenProject(name.toStdString());
  });
  recentMenu_ = file->addMenu(tr("Open &recent"));
  file->addAction(tr("&Save"), QKeySequence::Save, [this] { SaveProject(); });
  file->addAction(tr("Save &as..."), QKeySequence::SaveAs, [this] { SaveProjectAs(); });
  file->addAction(tr("&Close"), QKeySequence::Close, newProject);  // leaves a new, empty one
  file->addSeparator();
  file->addAction(tr("&Export picture..."), QKeySequence(tr("Ctrl+E")), [this] {
    if (!shownDiagram_) return;
    QString filter;
    QString name = QFileDialog::getSaveFileName(
        this, tr("Export the diagram as a picture"),
        QString::fromStdString(canvas_->Diagram().title),
        tr("SVG pictures (*.svg);;PNG pictures (*.png);;PDF documents (*.pdf)"), &filter);
    if (name.isEmpty()) return;
    if (QFileInfo(name).suffix().isEmpty()) name += filter.mid(filter.indexOf("*.") + 1, 4);
    ExportPicture(name.toStdString());
  });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, [this] { close(); });
  FillRecentMenu();
  QMenu* view = menuBar()->addMenu(tr("View"));
  menuTitles_.emplace_back(view, tr("View"));
  view->addAction(tr("Zoom &in"), QKeySequence::ZoomIn, [this] { canvas_->ZoomIn(); });
  view->addAction(tr("Zoom &out"), QKeySequence::ZoomOut, [this] { canvas_->ZoomOut(); });
  view->addAction(tr("&Fit"), QKeySequence(tr("Ctrl+0")),
                  [this] { canvas_->FitInto(scroll_->viewport()->size()); });
  view->addAction(tr("Actual &size"), QKeySequence(tr("Ctrl+1")), [this] { canvas_->SetZoom(1.0); });
  view->addSeparator();
  view->addAction(tr("&Back"), QKeySequence(QKeySequence::Back), [this] { Back(); });
  view->addAction(tr("F&orward"), QKeySequence(QKeySequence::Forward), [this] { Forward(); });
  view->addSeparator();
  openArrivals_ = view->addAction(tr("Open &arriving diagrams"));
  openArrivals_->setCheckable(true);
  view->addSeparator();
  view->addAction(tr("&Find in diagram..."), QKeySequence::Find, [this] {
    bool ok = false;
    const QString text = QInputDialog::getText(this, tr("Find in diagram"), tr("Text:"),
                                               QLineEdit::Normal, {}, &ok);
    if (ok) statusBar()->showMessage(tr("%n found", nullptr, FindInDiagram(text)));
  });
  pluginMenu_ = menuBar()->addMenu(tr("Plug-ins"));
  menuTitles_.emplace_back(pluginMenu_, tr("Plug-ins"));
  QMenu* help = menuBar()->addMenu(tr("Help"));
  menuTitles_.emplace_back(help, tr("Help"));
  help->addAction(tr("&About Dravolex Studio"),
                  [this] { QMessageBox::about(this, tr("About Dravolex Studio"), AboutText()); });
}

// One entry per verb of every registered expert, with the caption and the
// shortcut the plug-in reports; picking it executes the verb as "exec" does.
// Made anew only when the experts changed (never under the entry picked).
void StudioWindow::FillPluginMenu() {
  std::vector<int> experts;
  for (const auto& registration : session_.Experts()) experts.push_back(registration.sequence);
  if (experts == menuExperts_ && !pluginMenu_->isEmpty()) return;
  menuExperts_ = std::move(experts);
  pluginMenu_->clear();
  const auto listed = modelhost::ListExperts(session_);
  TitleMenus(listed);
  for (const auto& expert : listed) {
    QMenu* menu = pluginMenu_;
    if (session_.Experts().size() > 1) menu = pluginMenu_->addMenu(QString::fromStdString(expert.id));
    for (const auto& verb : expert.verbs) {
      if (!verb.caption) continue;
      QAction* action = menu->addAction(QString::fromStdString(*verb.caption));
      const std::string keys = verb.shortcut ? modelhost::ShortcutText(*verb.shortcut) : "none";
      if (keys != "none") action->setShortcut(QKeySequence(QString::fromStdString(keys)));
      connect(action, &QAction::triggered,
              [this, registration = expert.registration, index = verb.index, caption = modelhost::QuoteWord(*verb.caption)] {
                Perform([&](modelhost::HostOperations& host) { host.Execute(registration, index); },
                        "exec " + caption);
              });
    }
  }
}

// The identifiers of what the navigator holds current (0: nothing, or an
// element no longer in the project).
StudioWindow::NavigatorIds StudioWindow::NavigatorIdsOf(const modelhost::NavigatorState& n) {
  const auto id = [](const auto& p) { return p && p->Attached() ? p->ElementId() : 0; };
  return {id(n.currentMember), id(n.currentClass), id(n.currentModule), id(n.currentDiagram)};
}

void StudioWindow::FollowChanges() {
  following_ = false;
  auto& project = session_.Project();
  const modelhost::ModelChanges changes = project.changes.Take();
  const bool opened = shownProject_ != &project;
  if (opened) modified_ = false;
  if (changes.elements || !changes.diagrams.empty() || !changes.code.empty()) modified_ = true;
  ShowTitle();
  if (opened) {
    shownProject_ = &project;
    shownDiagram_ = arrival_ = 0;
    zooms_.clear();
    history_.clear();
    historyAt_ = 0;
    showArrival_->hide();
    tree_->ShowProject(project);
  } else if (changes.elements) {
    tree_->Update();
  }
  if (detailsId_ != 0 && (opened || changes.elements || changes.code.count(detailsId_) ||
                          changes.diagrams.count(detailsId_)))
    ShowDetails(opened ? nullptr : project.Find(detailsId_));
  for (const std::int32_t id : changes.added)
    if (const auto index = project.IndexOfDiagram(id); index >= 0) Arrived(*project.diagrams[std::size_t(index)]);
  // The element a command or a plug-in made current is picked in the tree
  // (the most specific of those that changed); the navigator's diagram when
  // another became current is drawn, else the one shown, drawn again when it
  // changed.
  const NavigatorIds now = NavigatorIdsOf(project.navigator);
  const NavigatorIds before = std::exchange(navigator_, now);
  const std::int32_t picked = now.member != before.member ? now.member
                              : now.cls != before.cls     ? now.cls
                              : now.module != before.module ? now.module
                                                          : now.diagram != before.diagram ? now.diagram : 0;
  if (picked != 0 && !opened && tree_->Reveal(picked)) ShowDetails(project.Find(picked));
  if (now.diagram != 0 && (opened || now.diagram != before.diagram)) {
    const auto* current = project.navigator.currentDiagram.Get();
    ShowDiagram(current);
    if (opened && tree_->Reveal(current->ElementId())) ShowDetails(current);
    return;
  }
  const auto index = project.IndexOfDiagram(shownDiagram_);
  if (index < 0) ShowDiagram(nullptr);
  else if (opened || changes.diagrams.count(shownDiagram_)) ShowDiagram(project.diagrams[std::size_t(index)].Get());
}

// A diagram made while the window is open (a call stack that arrived, a
// diagram a plug-in drew): said in the log and the status bar, and opened,
// or offered there with one click.
void StudioWindow::Arrived(const modelhost::ModelDiagram& diagram) {
  const auto messages = std::count_if(diagram.associations.begin(), diagram.associations.end(),
                                      [](const auto* a) { return a->ClassName() == u"sequencemessage"; });
  const QString what = QString::fromStdU16String(diagram.name) + QStringLiteral(", %1 messages").arg(messages);
  AppendLog("new diagram " + what.toStdString() + "\n");
  statusBar()->showMessage(tr("New diagram: %1").arg(what));
  if (openArrivals_->isChecked()) {
    showArrival_->hide();
    ShowDiagram(&diagram);
    tree_->Reveal(diagram.ElementId());
    return;
  }
  arrival_ = diagram.ElementId();
  showArrival_->setText(tr("Show %1").arg(QString::fromStdU16String(diagram.name)));
  showArrival_->show();
}

void StudioWindow::SetOpenArrivals(bool open) { openArrivals_->setChecked(open); }

void StudioWindow::ShowDetails(const modelhost::ModelElement* element) {
  detailsId_ = element ? element->ElementId() : 0;
  std::ostringstream text;
  if (element) modelhost::PrintElement(text, *element);
  details_->setPlainText(QString::fromStdString(text.str()));
}

void StudioWindow::TitleMenus(const std::vector<modelhost::ExpertInfo>& experts) {
  std::set<QChar> taken;
  for (const auto& expert : experts)
    for (const auto& verb : expert.verbs) {
      const std::string keys = verb.shortcut ? modelhost::ShortcutText(*verb.shortcut) : "none";
      if (keys.size() == 5 && keys.rfind("Alt+", 0) == 0) taken.insert(QChar(keys[4]).toLower());
    }
  for (auto& [menu, title] : menuTitles_) {
    QString titled = title;
    for (int i = 0; i < title.size(); ++i)
      if (title[i].isLetter() && taken.insert(title[i].toLower()).second) {
        titled.insert(i, '&');
        break;
      }
    menu->setTitle(titled);
  }
}

void StudioWindow::ShowTitle() {
  const QString name = QString::fromStdString(session_.Project().fileName.filename().string());
  setWindowTitle((modified_ ? QStringLiteral("*") : QString()) +
                 (name.isEmpty() ? tr("untitled") : name) + QStringLiteral(" - Dravolex Studio"));
}

void StudioWindow::AppendLog(const std::string& text) {
  if (text.empty()) return;
  log_->moveCursor(QTextCursor::End);
  log_->insertPlainText(QString::fromStdString(text));
  log_->moveCursor(QTextCursor::End);
}

}  // namespace drvx::studio
