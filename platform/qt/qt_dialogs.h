// The platform's dialogs, clipboard and user-interface loop in a Qt desktop
// application: message boxes, questions, input boxes and file dialogs as Qt
// windows, the system clipboard, and the platform loop's timers and
// handed-over calls run from Qt's event loop.
#pragma once

#include <QObject>
#include <QTimer>

#include "drvx/platform/clipboard.h"
#include "drvx/platform/dialogs.h"

class QWidget;

namespace drvx::platform::qt {

class QtDialogs final : public Dialogs {
 public:
  // Dialogs are centred on `parent` (may be null).
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}

  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool Confirm(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view value) override;
  std::optional<std::filesystem::path> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> SaveFile(const FileDialogOptions& options) override;

 private:
  QWidget* parent_;
};

// The system clipboard (plain text).
class QtClipboard final : public Clipboard {
 public:
  void SetText(std::string_view text) override;
  std::string Text() const override;
};

// Runs the platform loop's due timers and handed-over calls from Qt's event
// loop, every few milliseconds, for as long as it lives. Make it on the
// user-interface thread; it attaches the platform loop to that thread.
class UiLoopPump final : public QObject {
 public:
  UiLoopPump();

 private:
  QTimer timer_;
};

}  // namespace drvx::platform::qt
