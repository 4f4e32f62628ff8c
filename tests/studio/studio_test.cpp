// The desktop host through its widgets (Qt Test, offscreen): verbs from the
// menu, the project tree, the canvas.
#include <QAction>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <set>
#include <QApplication>
#include <QMessageBox>
#include <QComboBox>
#include <QGroupBox>
#include <QProcess>
#include <QRadioButton>
#include <QLineEdit>
#include <QTreeWidgetItem>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QStatusBar>
#include <QTreeWidgetItem>
#include <thread>

#include "drvx/platform/ansi_text.h"
#include "drvx/platform/message_slot.h"
#include "model_lookup.h"
#include "plugin_calls.h"
#include "support/test_support.h"
#include "studio_window.h"

namespace {

using namespace drvx;

QAction* ActionNamed(QMenu& menu, const QString& caption) {
  for (QAction* action : menu.actions()) {
    if (action->text() == caption) return action;
    if (action->menu())
      if (QAction* inner = ActionNamed(*action->menu(), caption)) return inner;
  }
  return nullptr;
}

QAction* ActionNamedByShortcut(QMenu& menu, const QKeySequence& keys) {
  for (QAction* action : menu.actions()) {
    if (action->shortcut() == keys) return action;
    if (action->menu())
      if (QAction* inner = ActionNamedByShortcut(*action->menu(), keys)) return inner;
  }
  return nullptr;
}

}  // namespace

class StudioTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<studio::StudioWindow>(DRVX_EXPERTS_DIR);
    QVERIFY(window_->OpenProject(test::ExampleProject()));
  }
  void cleanup() { window_.reset(); }

  void aVerbPickedFromTheMenuChangesTheModelAsItsCommandDoes() {
    auto& project = window_->Session().Project();
    modelhost::ModelMember& submit = modelhost::FindMember(project, "TOrder.Submit");
    const auto before = submit.sections;
    window_->Tree().setCurrentItem(window_->Tree().ItemOf(submit.ElementId()));
    QCOMPARE(project.navigator.currentMethod.Get(), &submit);
    QAction* action = ActionNamed(window_->PluginMenu(), "DRVX -> Add Try/Except to current method");
    QVERIFY(action);
    action->trigger();
    QVERIFY(submit.sections != before);
    bool guarded = false;
    for (const auto& section : submit.sections)
      guarded = guarded || platform::AnsiFromUtf16(section).find("EXCEPT") != std::string::npos;
    QVERIFY(guarded);
  }

  // Each verb the plug-in reports is an entry of the menu with its caption,
  // and its shortcut value is the entry's key sequence.
  void everyVerbIsInTheMenuWithItsShortcut() {
    const auto experts = modelhost::ListExperts(window_->Session());
    QCOMPARE(experts.size(), std::size_t(1));
    QCOMPARE(experts[0].verbs.size(), std::size_t(11));
    int withKeys = 0;
    for (const auto& verb : experts[0].verbs) {
      QAction* action = ActionNamed(window_->PluginMenu(), QString::fromStdString(*verb.caption));
      QVERIFY2(action, verb.caption->c_str());
      const std::string keys = modelhost::ShortcutText(*verb.shortcut);
      QCOMPARE(action->shortcut(),
               keys == "none" ? QKeySequence() : QKeySequence(QString::fromStdString(keys)));
      withKeys += keys != "none";
    }
    QVERIFY(withKeys > 0);
  }

  void pickingAClassOrADiagramInTheTreeMakesItCurrent() {
    auto& project = window_->Session().Project();
    modelhost::ModelClass& customer = modelhost::FindClass(project, "TCustomer");
    window_->Tree().setCurrentItem(window_->Tree().ItemOf(customer.ElementId()));
    QCOMPARE(project.navigator.currentClass.Get(), &customer);
    modelhost::ModelDiagram& orders = modelhost::FindDiagram(project, "csOrders");
    window_->Tree().setCurrentItem(window_->Tree().ItemOf(orders.ElementId()));
    QCOMPARE(project.navigator.currentDiagram.Get(), &orders);
    QCOMPARE(QString::fromStdString(window_->Canvas().Diagram().title), QString("csOrders"));
  }

  // The canvas draws the boxes of the display list where the layout puts
  // them: the left edge of each box is ink, the margin above it paper.
  // A class symbol clicked on the canvas makes its class current.
  void clickingAClassOnTheCanvasMakesItCurrent() {
    auto& project = window_->Session().Project();
    window_->ShowDiagram(&modelhost::FindDiagram(project, "csOrders"));
    window_->Canvas().SetZoom(1.5);
    modelhost::ModelClass& order = modelhost::FindClass(project, "TOrder");
    const auto& areas = window_->Canvas().Diagram().areas;
    const auto area = std::find_if(areas.begin(), areas.end(),
                                   [&](const auto& a) { return a.element == order.ElementId(); });
    QVERIFY(area != areas.end());
    const auto& list = window_->Canvas().Diagram();
    const QPoint centre(int((area->x - list.x + area->width / 2) * 1.5),
                        int((area->y - list.y + area->height / 2) * 1.5));
    QTest::mouseClick(&window_->Canvas(), Qt::LeftButton, {}, centre);
    QCOMPARE(project.navigator.currentClass.Get(), &order);
  }

  void theCanvasDrawsTheShapesWhereTheModelHasThem() {
    auto& project = window_->Session().Project();
    modelhost::ModelDiagram& orders = modelhost::FindDiagram(project, "csOrders");
    window_->ShowDiagram(&orders);
    window_->Canvas().SetZoom(1.0);
    const QImage image = window_->Canvas().grab().toImage();
    int boxes = 0;
    for (const auto& item : window_->Canvas().Diagram().items) {
      const auto* box = std::get_if<modelhost::render::Box>(&item);
      if (!box || box->stroke != modelhost::render::Stroke::Solid) continue;
      // The outline, antialiased, covers about half of the pixel on its
      // edge: clearly darker than the paper and the shade fill.
      const auto& list = window_->Canvas().Diagram();
      const QPoint edge(int(box->x - list.x), int(box->y - list.y + box->height / 2));
      QVERIFY2(qGray(image.pixel(edge)) < 200, qPrintable(QString("box %1 at %2,%3")
                                                             .arg(boxes)
                                                             .arg(edge.x())
                                                             .arg(edge.y())));
      ++boxes;
    }
    QVERIFY(boxes >= 3);
    QCOMPARE(qGray(image.pixel(2, 2)), 255);
    window_->Canvas().SetZoom(2.0);
    QCOMPARE(window_->Canvas().size(), QSize(int(std::ceil(window_->Canvas().Diagram().width * 2)),
                                             int(std::ceil(window_->Canvas().Diagram().height * 2))));
  }

  // A call stack sent while the studio is open shows in the tree and on the
  // canvas without any input, and a status bar line says what came.
  void aCallStackThatArrivesIsShownWithoutInput() {
    window_->SetOpenArrivals(true);
    const std::size_t before = window_->Session().Project().diagrams.size();
    std::thread sender([] {
      platform::SendToSlot(platform::SlotPath("MbDRVX"), "TStock.Reserve\r\nTOrderProcessor.Process\r\n");
    });
    QTRY_VERIFY_WITH_TIMEOUT(window_->Session().Project().diagrams.size() == before + 1, 1000);
    sender.join();
    const auto& arrived = *window_->Session().Project().diagrams.back();
    QTRY_VERIFY_WITH_TIMEOUT(window_->Tree().ItemOf(arrived.ElementId()) != nullptr, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(window_->Canvas().Diagram().title),
                              QString::fromStdU16String(arrived.name), 1000);
    QVERIFY(window_->statusBar()->currentMessage().contains(QString::fromStdU16String(arrived.name)));
    // Offered instead of opened: one click on the status bar shows it.
    window_->SetOpenArrivals(false);
    window_->ShowDiagram(&modelhost::FindDiagram(window_->Session().Project(), "csOrders"));
    std::thread again([] {
      platform::SendToSlot(platform::SlotPath("MbDRVX"), "TStock.Release\r\nTOrder.Cancel\r\n");
    });
    QTRY_VERIFY_WITH_TIMEOUT(window_->Session().Project().diagrams.size() == before + 2, 1000);
    again.join();
    auto* offer = window_->findChild<QPushButton*>("showArrival");
    QTRY_VERIFY_WITH_TIMEOUT(!offer->isHidden(), 1000);  // the window itself is not shown
    QCOMPARE(QString::fromStdString(window_->Canvas().Diagram().title), QString("csOrders"));
    QTest::mouseClick(offer, Qt::LeftButton);
    QCOMPARE(QString::fromStdString(window_->Canvas().Diagram().title),
             QString::fromStdU16String(window_->Session().Project().diagrams.back()->name));
  }

  // A recording is shown while it grows: each batch that comes adds its
  // messages to the tree's diagram and to the canvas, without any input,
  // and a view scrolled to the end of it stays at the end.
  void aRecordingIsFollowedWhileItGrows() {
    window_->resize(900, 400);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->SetOpenArrivals(true);
    const std::size_t before = window_->Session().Project().diagrams.size();
    std::string first = ".drvx-recording 1\r\nB 7 8 1 1 shop\r\nN 1 TShop.Run\r\nC 1\r\n";
    for (int i = 0; i < 20; ++i)
      first += "N " + std::to_string(i + 2) + " TStock.Check" + std::to_string(i) + "\r\nC " +
               std::to_string(i + 2) + "\r\nR\r\n";
    std::thread sender([&first] { platform::SendToSlot(platform::SlotPath("MbDRVX"), first); });
    QTRY_VERIFY_WITH_TIMEOUT(window_->Session().Project().diagrams.size() == before + 1, 2000);
    sender.join();
    const auto& recording = *window_->Session().Project().diagrams.back();
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(window_->Canvas().Diagram().title),
                              QString::fromStdU16String(recording.name), 1000);
    QVERIFY(window_->Tree().ItemOf(recording.ElementId()) != nullptr);
    const std::size_t drawn = window_->Canvas().Diagram().items.size();
    const double height = window_->Canvas().Diagram().height;
    auto* area = qobject_cast<QScrollArea*>(window_->Canvas().parentWidget()->parentWidget());
    QVERIFY(area);
    window_->Canvas().SetZoom(1.0);
    QApplication::processEvents();
    QScrollBar* bar = area->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    std::thread more([] {
      platform::SendToSlot(platform::SlotPath("MbDRVX"),
                           ".drvx-recording 1\r\nB 7 8 1 2 shop\r\nN 30 TLog.Write\r\nC 30\r\nR\r\n"
                           "N 31 TLog.Flush\r\nC 31\r\nR\r\nR\r\nE\r\n");
    });
    QTRY_VERIFY_WITH_TIMEOUT(window_->Canvas().Diagram().height > height, 2000);
    more.join();
    QVERIFY(window_->Canvas().Diagram().items.size() > drawn);
    QCOMPARE(window_->Session().Project().diagrams.size(), before + 1);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), bar->maximum(), 1000);
  }

  // A verb changes the model without taking the tree apart: what was
  // expanded and picked stays so.
  void theTreeKeepsItsExpansionAndSelectionAcrossAVerb() {
    auto& project = window_->Session().Project();
    modelhost::ModelMember& submit = modelhost::FindMember(project, "TOrder.Submit");
    QTreeWidgetItem* order = window_->Tree().ItemOf(modelhost::FindClass(project, "TOrder").ElementId());
    order->setExpanded(true);
    window_->Tree().setCurrentItem(window_->Tree().ItemOf(submit.ElementId()));
    QAction* action = ActionNamed(window_->PluginMenu(), "DRVX -> Add Try/Except to current method");
    QVERIFY(action);
    action->trigger();
    QTreeWidgetItem* after = window_->Tree().ItemOf(modelhost::FindClass(project, "TOrder").ElementId());
    QCOMPARE(after, order);  // the same item, not one made anew
    QVERIFY(after->isExpanded());
    QCOMPARE(window_->Tree().currentItem(), window_->Tree().ItemOf(submit.ElementId()));
  }

  // What the plug-in's own window does shows in the studio at once: a
  // sequence diagram made on the Sequences page is in the tree and drawn.
  void thePlugInsWindowUpdatesTheStudio() {
    QVERIFY(window_->RunCommand("show FrmMain"));
    platform::Form* form = platform::FindForm("FrmMain");
    platform::qt::FormView* view = window_->Forms().ViewOf(*form);
    QVERIFY(view);
    view->findChild<QTabWidget*>("PgctrlMain")->setCurrentIndex(2);  // Sequences
    form->FindAs<platform::Memo>("SequencesMemo")->SetText("TClerk\nTOrderProcessor.Process\n");
    QTest::mouseClick(view->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    const auto& made = *window_->Session().Project().diagrams.back();
    QCOMPARE(made.name, std::u16string(u"sqAutoGen"));
    QTRY_VERIFY_WITH_TIMEOUT(window_->Tree().ItemOf(made.ElementId()) != nullptr, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(window_->Canvas().Diagram().title),
                              QString("sqAutoGen"), 1000);
  }

  // What a generator wrote shows in the details of the element picked, and
  // the log says which command ran; no menu's mnemonic is a verb's key.
  void theDetailsShowWhatAVerbWrote() {
    auto& project = window_->Session().Project();
    modelhost::ModelMember& submit = modelhost::FindMember(project, "TOrder.Submit");
    window_->Tree().setCurrentItem(window_->Tree().ItemOf(submit.ElementId()));
    QVERIFY(window_->Details().toPlainText().contains("procedure Submit()"));
    QVERIFY(!window_->Details().toPlainText().contains("EXCEPT"));
    ActionNamed(window_->PluginMenu(), "DRVX -> Add Try/Except to current method")->trigger();
    QVERIFY(window_->Details().toPlainText().contains("EXCEPT"));
    QVERIFY(window_->findChild<QPlainTextEdit*>("log")->toPlainText().contains(
        "> exec \"DRVX -> Add Try/Except to current method\""));
    // A command that makes another element current picks it and shows it.
    QVERIFY(window_->RunCommand("select method TOrder.Cancel"));
    QVERIFY2(window_->Details().toPlainText().contains("Cancel()"), qPrintable(window_->Details().toPlainText()));
    QCOMPARE(window_->Tree().currentItem(),
             window_->Tree().ItemOf(modelhost::FindMember(project, "TOrder.Cancel").ElementId()));
    std::set<QString> mnemonics;
    for (QAction* menu : window_->menuBar()->actions()) {
      const QString title = menu->text();
      const auto amp = title.indexOf('&');
      if (amp < 0) continue;  // every letter of it is a verb's
      const QString key = "Alt+" + title.mid(amp + 1, 1).toUpper();
      QVERIFY2(mnemonics.insert(key).second, qPrintable(key));
      QVERIFY2(!ActionNamedByShortcut(window_->PluginMenu(), QKeySequence(key)), qPrintable(key));
    }
  }

  // A diagram opens fitted into the view (never enlarged) and keeps the
  // zoom it was given; Back and Forward walk the diagrams shown; Ctrl+wheel
  // zooms; a click on a message picks the member it calls.
  void theCanvasFitsKeepsZoomsAndPicksMessages() {
    window_->resize(1100, 750);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto& project = window_->Session().Project();
    auto& canvas = window_->Canvas();
    const QSize viewport = canvas.parentWidget()->size();
    window_->ShowDiagram(&modelhost::FindDiagram(project, "sqProcessOrder"));
    QVERIFY(canvas.width() <= viewport.width() && canvas.height() <= viewport.height());
    QVERIFY(canvas.Zoom() <= 1.0);
    canvas.SetZoom(2.0);
    window_->ShowDiagram(&modelhost::FindDiagram(project, "csOrders"));
    window_->Back();
    QCOMPARE(QString::fromStdString(canvas.Diagram().title), QString("sqProcessOrder"));
    QCOMPARE(canvas.Zoom(), 2.0);
    window_->Forward();
    QCOMPARE(QString::fromStdString(canvas.Diagram().title), QString("csOrders"));
    window_->Back();
    QWheelEvent wheel(QPointF(50, 50), canvas.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &wheel);
    QCOMPARE(canvas.Zoom(), 2.5);
    canvas.SetZoom(1.0);
    const modelhost::ModelMember& process = modelhost::FindMember(project, "TOrderProcessor.Process");
    const auto& list = canvas.Diagram();
    const auto area = std::find_if(list.areas.begin(), list.areas.end(),
                                   [&](const auto& a) { return a.element == process.ElementId(); });
    QVERIFY(area != list.areas.end());
    QTest::mouseClick(&canvas, Qt::LeftButton, {},
                      QPoint(int(area->x - list.x + area->width / 2), int(area->y - list.y + area->height / 2)));
    QCOMPARE(project.navigator.currentMember.Get(), &process);
  }

  // Scrolled down a tall sequence diagram, the role heads (shaded boxes)
  // are still at the top of what is seen.
  void theHeadsOfATallSequenceDiagramStayInView() {
    window_->resize(900, 600);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->SetOpenArrivals(true);
    std::string stack;
    for (int i = 0; i < 60; ++i) stack += "TLevel" + std::to_string(i % 3) + ".Call" + std::to_string(i) + "\r\n";
    const std::size_t before = window_->Session().Project().diagrams.size();
    std::thread sender([&stack] { platform::SendToSlot(platform::SlotPath("MbDRVX"), stack); });
    QTRY_VERIFY_WITH_TIMEOUT(window_->Session().Project().diagrams.size() == before + 1, 2000);
    sender.join();
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(window_->Canvas().Diagram().title),
                              QString::fromStdU16String(window_->Session().Project().diagrams.back()->name), 1000);
    auto& canvas = window_->Canvas();
    canvas.SetZoom(1.0);
    auto* area = qobject_cast<QScrollArea*>(canvas.parentWidget()->parentWidget());
    QVERIFY(area);
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    QApplication::processEvents();
    const QImage seen = area->viewport()->grab().toImage();
    int longest = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0, run = 0; x < seen.width(); ++x) {
        run = seen.pixelColor(x, y) == QColor(0xee, 0xf1, 0xf6) ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    QVERIFY2(longest >= 50, qPrintable(QString("longest shaded run %1").arg(longest)));
  }

  // The diagram shown as SVG, PNG and PDF files that their readers take.
  void theDiagramShownIsExportedAsSvgPngAndPdf() {
    test::TempDir dir;
    window_->ShowDiagram(&modelhost::FindDiagram(window_->Session().Project(), "csOrders"));
    for (const char* name : {"c.svg", "c.png", "c.pdf"}) QVERIFY(window_->ExportPicture(dir / name));
    QVERIFY(!window_->ExportPicture(dir / "c.bmp"));
    QVERIFY(QString::fromStdString(test::ReadText(dir / "c.svg")).contains("TOrder"));
    const QImage png(QString::fromStdString((dir / "c.png").string()));
    QCOMPARE(png.width(), int(std::ceil(window_->Canvas().Diagram().width * 2)));
    QProcess pdftotext;
    pdftotext.start("pdftotext", {QString::fromStdString((dir / "c.pdf").string()), "-"});
    QVERIFY(pdftotext.waitForFinished(30000));
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    QVERIFY2(text.contains("TOrderLine"), qPrintable(text + QString::number(std::filesystem::file_size(dir / "c.pdf"))));
  }

  // The tree filtered as one types; a text found in the diagram; the
  // versions in About.
  void theTreeFiltersFindsInTheDiagramAndAboutNamesTheVersions() {
    auto& project = window_->Session().Project();
    QTest::keyClicks(window_->findChild<QLineEdit*>("filter"), "subm");
    QTreeWidgetItem* order = window_->Tree().ItemOf(modelhost::FindClass(project, "TOrder").ElementId());
    QVERIFY(!order->isHidden());
    QVERIFY(order->isExpanded());
    QVERIFY(!window_->Tree().ItemOf(modelhost::FindMember(project, "TOrder.Submit").ElementId())->isHidden());
    QVERIFY(window_->Tree().ItemOf(modelhost::FindMember(project, "TOrder.Cancel").ElementId())->isHidden());
    QVERIFY(window_->Tree().ItemOf(modelhost::FindClass(project, "TStock").ElementId())->isHidden());
    window_->findChild<QLineEdit*>("filter")->clear();
    QVERIFY(!window_->Tree().ItemOf(modelhost::FindClass(project, "TStock").ElementId())->isHidden());
    window_->ShowDiagram(&modelhost::FindDiagram(project, "csOrders"));
    QCOMPARE(window_->FindInDiagram("torderline"), 2);  // the class and a member's type
    QCOMPARE(window_->FindInDiagram(""), 0);
    const QString about = window_->AboutText();
    QVERIFY(about.contains(qVersion()));
    QVERIFY(about.contains(QString::fromStdString(test::Plugin().filename().string())));
    QVERIFY(!about.contains("(no version)"));
  }

  // With a dark palette the canvas paints on the palette's base in its
  // text colour; pictures keep their own colours.
  void theCanvasFollowsADarkPalette() {
    auto& canvas = window_->Canvas();
    window_->ShowDiagram(&modelhost::FindDiagram(window_->Session().Project(), "csOrders"));
    canvas.SetZoom(1.0);
    QPalette dark = canvas.palette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x24));
    dark.setColor(QPalette::Text, QColor(0xe0, 0xe0, 0xe0));
    canvas.setPalette(dark);
    const QImage image = canvas.grab().toImage();
    QCOMPARE(image.pixelColor(2, 2), QColor(0x20, 0x20, 0x24));
    int light = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) light += qGray(image.pixel(x, y)) > 180;
    QVERIFY(light > 100);  // the lines and texts
    test::TempDir dir;
    QVERIFY(window_->ExportPicture(dir / "c.png"));
    QCOMPARE(QImage(QString::fromStdString((dir / "c.png").string())).pixelColor(2, 2), QColor(Qt::white));
  }

  // A changed project is not set aside without a question: Cancel keeps
  // the studio open, Discard lets it close; the title says it changed.
  void closingAChangedProjectAsksWhetherToSave() {
    QVERIFY(!window_->Modified());
    QVERIFY(window_->RunCommand("select method TOrder.Submit"));
    QAction* action = ActionNamed(window_->PluginMenu(), "DRVX -> Add Try/Except to current method");
    QVERIFY(action);
    action->trigger();
    QVERIFY(window_->Modified());
    QVERIFY(window_->windowTitle().startsWith('*'));
    QString asked;
    auto answer = [&asked](QMessageBox::StandardButton button) {
      QTimer::singleShot(0, [&asked, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        asked = box->text();
        box->button(button)->click();
      });
    };
    window_->show();
    answer(QMessageBox::Cancel);
    QVERIFY(!window_->close());
    QVERIFY(asked.contains("Shop.mmproj"));
    QVERIFY(window_->isVisible());
    answer(QMessageBox::Discard);
    QVERIFY(window_->close());
    // Save: a copy of the example, changed, is saved on the way out.
    test::TempDir dir;
    std::filesystem::copy_file(test::ExampleProject(), dir / "Shop.mmproj");
    QVERIFY(window_->OpenProject(dir / "Shop.mmproj"));
    QVERIFY(!window_->Modified());
    QVERIFY(window_->RunCommand("select method TOrder.Cancel"));
    ActionNamed(window_->PluginMenu(), "DRVX -> Add Try/Except to current method")->trigger();
    QVERIFY(window_->Modified());
    window_->show();
    answer(QMessageBox::Save);
    QVERIFY(window_->close());
    QVERIFY(!window_->Modified());
    QVERIFY(test::ReadText(dir / "Shop.mmproj").find("EXCEPT") != std::string::npos);
  }

  // Quit with the plug-in's window open ends the process, and the message
  // slot is free for the next host.
  void quitWithThePlugInsWindowOpenEndsTheProcessAndFreesTheSlot() {
    window_.reset();  // lets go of the slot for the studio started here
    QProcess studio;
    studio.start(DRVX_STUDIO_PROGRAM, {QString::fromStdString(test::ExampleProject().string()),
                                       "-c", "show FrmMain", "-c", "quit"});
    QVERIFY(studio.waitForFinished(30000));
    QCOMPARE(studio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(studio.exitCode(), 0);
    QVERIFY(platform::MessageSlot::Create(platform::SlotPath("MbDRVX"), 100) != nullptr);
  }

  // The plug-in's main window as a real window: every page the user can
  // pick is picked through its tab, and buttons pressed through the widgets
  // do what they do headless.
  void eachPageOfThePlugInsMainWindowWorksThroughItsWidgets() {
    QVERIFY(window_->RunCommand("show FrmMain"));
    platform::Form* form = platform::FindForm("FrmMain");
    QVERIFY(form);
    platform::qt::FormView* view = window_->Forms().ViewOf(*form);
    QVERIFY(view);
    QVERIFY(view->isVisible());
    // A window of its own, owned by the host's application window, wholly
    // on the screen; a tool bar's layout name is no caption.
    QVERIFY(view->isWindow());
    QCOMPARE(view->parentWidget(), window_.get());
    QVERIFY(view->screen()->availableGeometry().contains(view->frameGeometry()));
    for (const QGroupBox* box : view->findChildren<QGroupBox*>()) QVERIFY(box->title() != "MainToolBar");
    auto* pages = view->findChild<QTabWidget*>("PgctrlMain");
    QVERIFY(pages);
    auto* model = form->FindAs<platform::PageControl>("PgctrlMain");
    for (int i = 0; i < pages->count(); ++i) {
      if (!pages->isTabVisible(i)) continue;
      pages->setCurrentIndex(i);
      QCOMPARE(model->ActivePageIndex(), i);
    }
    // References of the current class, found with its button.
    QVERIFY(window_->RunCommand("select class TOrder"));
    QTest::mouseClick(view->findChild<QPushButton*>("SpBtSearchHyperLinksCurrentClass"),
                      Qt::LeftButton);
    QVERIFY(view->findChild<QListView*>("LbxReferences")->model()->rowCount() > 0);
    // Every diagram moved to the documentation list.
    QTest::mouseClick(view->findChild<QPushButton*>("btAddAll"), Qt::LeftButton);
    QCOMPARE(view->findChild<QListView*>("lbxDiagramsSelected")->model()->rowCount(),
             int(window_->Session().Project().diagrams.size()));
    // A prefix typed into its field reaches the settings page's control.
    auto* prefix = view->findChild<QLineEdit*>("edClassDiagramPrefix");
    prefix->clear();
    QTest::keyClicks(prefix, "klass");
    QCOMPARE(form->FindAs<platform::Edit>("edClassDiagramPrefix")->Text(), std::string("klass"));
    // The menu entries are the window's menu bar; hints are tool tips that
    // stay up for the window's hint time.
    QVERIFY(view->findChild<QAction*>("About1"));
    platform::Control* classButton = form->Find("SpBtSearchHyperLinksCurrentClass");
    classButton->UserMouseMove(2, 2);  // names the current class in its hint
    auto* button = view->findChild<QPushButton*>("SpBtSearchHyperLinksCurrentClass");
    QVERIFY(!button->toolTip().isEmpty());
    QCOMPARE(button->toolTip().toStdString(), classButton->Hint());
    QCOMPARE(button->toolTipDuration(), platform::HintHidePause());
  }

  // The class locator runs modally in its own event loop; the user types a
  // member's name and presses OK through the widgets.
  void theModalClassLocatorIsAnsweredThroughItsWidgets() {
    bool answered = false;
    QTimer::singleShot(100, [this, &answered] {
      platform::Form* form = platform::FindForm("ClassLocatorDlg");
      platform::qt::FormView* view = form ? window_->Forms().ViewOf(*form) : nullptr;
      if (!view) return;
      auto* combo = view->findChild<QComboBox*>("cbxClassLocator");
      QTest::keyClicks(combo->lineEdit(), "FStock");
      QTest::mouseClick(view->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
      answered = true;
    });
    QAction* locate = ActionNamed(window_->PluginMenu(), "DRVX -> Locate Class");
    QVERIFY(locate);
    locate->trigger();
    QVERIFY(answered);
    QCOMPARE(window_->Session().Project().navigator.currentClass->name, std::u16string(u"TStock"));
  }

  // The documentation report printed through the widgets to PDF files (a
  // job per diagram), read back with pdftotext: every diagram's name is on
  // the pages.
  void aDocumentationReportIsPrintedToAPdfFile() {
    test::TempDir dir;
    window_->Printer().SetFolder(dir.Path());
    QVERIFY(window_->RunCommand("show FrmMain"));
    platform::qt::FormView* view = window_->Forms().ViewOf(*platform::FindForm("FrmMain"));
    QVERIFY(view);
    auto* pages = view->findChild<QTabWidget*>("PgctrlMain");
    pages->setCurrentWidget(view->findChild<QWidget*>("tbsDiagramDoc"));  // lists the diagrams
    QTest::mouseClick(view->findChild<QPushButton*>("btAddAll"), Qt::LeftButton);
    auto* destination = view->findChild<QGroupBox*>("rgDestination");
    const auto options = destination->findChildren<QRadioButton*>();
    QCOMPARE(options.size(), 3);
    options[2]->click();  // Printer
    QTest::mouseClick(view->findChild<QPushButton*>("btExtractDoc"), Qt::LeftButton);
    QVERIFY(!window_->Printer().Files().empty());
    QString text;
    for (const auto& file : window_->Printer().Files()) {
      QProcess pdftotext;
      pdftotext.start("pdftotext", {QString::fromStdString(file.string()), "-"});
      QVERIFY2(pdftotext.waitForFinished(30000), "pdftotext (poppler-utils) did not run");
      text += QString::fromUtf8(pdftotext.readAllStandardOutput());
    }
    for (const auto& diagram : window_->Session().Project().diagrams)
      QVERIFY2(text.contains(QString::fromStdU16String(diagram->name)),
               qPrintable(QString::fromStdU16String(diagram->name) + " missing from:\n" + text));
  }

 private:
  std::unique_ptr<studio::StudioWindow> window_;
};

QTEST_MAIN(StudioTest)
#include "studio_test.moc"
