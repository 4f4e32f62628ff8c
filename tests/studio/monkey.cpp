// The studio under a monkey: for a bounded time (DRVX_MONKEY_SECONDS, 60 by
// default) random menu picks, clicks, drags, wheel turns and keys over every
// window shown, while call stacks arrive through the message slot. Every
// dialog that opens is closed again at once. Fails on a crash (the process
// dies) or a hang (the event loop stands still for 20 s).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "drvx/platform/forms.h"
#include "drvx/platform/message_slot.h"
#include "support/test_support.h"
#include "studio_window.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

// What the monkey never picks from the menus: it would end the run, or wait
// on a file (a click on an open menu may still pick one).
bool Spared(const QAction& action) {
  const QString text = action.text().remove('&');
  return action.isSeparator() || action.menu() || text == "Quit" || text.startsWith("Export") ||
         text.startsWith("Open recent") || text.startsWith("Save");
}

void Collect(QMenu& menu, std::vector<QAction*>& into) {
  for (QAction* action : menu.actions()) {
    if (action->menu()) Collect(*action->menu(), into);
    else if (!Spared(*action)) into.push_back(action);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const char* limit = std::getenv("DRVX_MONKEY_SECONDS");
  const auto duration = std::chrono::seconds(limit ? std::atoi(limit) : 60);
  // A copy of the example: the monkey's clicks reach File > Save too.
  test::TempDir work;
  std::filesystem::copy_file(test::ExampleProject(), work / "Shop.mmproj");
  studio::StudioWindow window(DRVX_EXPERTS_DIR);
  window.Printer().SetFolder(work.Path());
  if (!window.OpenProject(work / "Shop.mmproj")) return 2;
  window.resize(1100, 750);
  window.show();
  window.SetOpenArrivals(true);

  // Dialogs and modal windows are closed as soon as they show.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    for (platform::Form* form : std::vector<platform::Form*>(platform::AllForms()))
      if (form->IsModal() && form->Visible()) form->Close();
  });
  closer.start(50);

  std::atomic<long> ticks = 0;
  std::atomic<bool> done = false;
  std::thread watchdog([&] {
    long seen = -1;
    for (auto quiet = Clock::now(); !done; std::this_thread::sleep_for(std::chrono::milliseconds(200))) {
      if (ticks != seen) seen = ticks, quiet = Clock::now();
      if (Clock::now() - quiet > std::chrono::seconds(20)) {
        std::fprintf(stderr, "monkey: the studio hung (no event loop turn for 20 s)\n");
        std::abort();
      }
    }
  });
  std::atomic<int> sent = 0;
  std::thread sender([&] {
    std::mt19937 random(7);
    while (!done) {
      std::string stack;
      for (int i = 0, n = 1 + int(random() % 12); i < n; ++i)
        stack += "TMonkey" + std::to_string(random() % 5) + ".Call" + std::to_string(random() % 40) + "\r\n";
      try {
        platform::SendToSlot(platform::SlotPath("MbDRVX"), stack, 2000);
        ++sent;
      } catch (const std::exception&) {
        // the studio busy with a modal window: the next one goes later
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(150 + random() % 300));
    }
  });

  std::mt19937 random(42);
  long actions = 0;
  const auto end = Clock::now() + duration;
  while (Clock::now() < end) {
    ++ticks;
    QApplication::processEvents();
    const QWidgetList windows = QApplication::topLevelWidgets();
    std::vector<QWidget*> shown;
    for (QWidget* w : windows)
      if (w->isVisible()) shown.push_back(w);
    if (shown.empty()) break;
    QWidget* top = shown[random() % shown.size()];
    const QList<QWidget*> children = top->findChildren<QWidget*>();
    std::vector<QWidget*> targets;
    for (QWidget* child : children)
      if (child->isVisible() && child->isEnabled()) targets.push_back(child);
    QWidget* target = targets.empty() ? top : targets[random() % targets.size()];
    const QPoint at(int(random() % std::max(1, target->width())), int(random() % std::max(1, target->height())));
    switch (random() % 8) {
      case 0: {  // a menu entry of the studio
        std::vector<QAction*> entries;
        for (QAction* menu : window.menuBar()->actions())
          if (menu->menu()) Collect(*menu->menu(), entries);
        if (!entries.empty()) entries[random() % entries.size()]->trigger();
        break;
      }
      case 1:
      case 2: QTest::mouseClick(target, Qt::LeftButton, {}, at); break;
      case 3: QTest::mouseDClick(target, Qt::LeftButton, {}, at); break;
      case 4: {
        QTest::mousePress(target, Qt::LeftButton, {}, at);
        QTest::mouseMove(target, at + QPoint(int(random() % 80) - 40, int(random() % 80) - 40));
        QTest::mouseRelease(target, Qt::LeftButton, {}, at);
        break;
      }
      case 5: {
        QWheelEvent wheel(at, target->mapToGlobal(at), {}, QPoint(0, random() % 2 ? 120 : -120),
                          Qt::NoButton, random() % 2 ? Qt::ControlModifier : Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
        break;
      }
      case 6: {
        static const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left,
                                       Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_A,
                                       Qt::Key_T, Qt::Key_Space, Qt::Key_Backspace};
        QTest::keyClick(target, keys[random() % std::size(keys)]);
        break;
      }
      default:
        if (auto* button = qobject_cast<QAbstractButton*>(target)) button->click();
    }
    ++actions;
  }
  done = true;
  sender.join();
  watchdog.join();
  std::printf("monkey: %ld actions and %d call stacks in %lld s: no crash, no hang\n", actions,
              sent.load(), static_cast<long long>(duration.count()));
  return 0;
}
