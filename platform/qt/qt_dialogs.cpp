#include "qt_dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "drvx/platform/ui_loop.h"
#include "qt_text.h"

namespace drvx::platform::qt {
namespace {

// "*.txt" becomes the filter "*.txt"; an empty filter shows every file.
QString FilterOf(const FileDialogOptions& options) {
  if (!options.filter.empty()) return ToQ(options.filter);
  if (!options.defaultExtension.empty()) return ToQ(options.defaultExtension);
  return {};
}

}  // namespace

void QtDialogs::ShowMessage(MessageKind kind, std::string_view text) {
  const QString caption = QApplication::applicationDisplayName();
  switch (kind) {
    case MessageKind::Warning: QMessageBox::warning(parent_, caption, ToQ(text)); break;
    case MessageKind::Error: QMessageBox::critical(parent_, caption, ToQ(text)); break;
    case MessageKind::Information: QMessageBox::information(parent_, caption, ToQ(text)); break;
    case MessageKind::Plain: {
      QMessageBox box(QMessageBox::NoIcon, caption, ToQ(text), QMessageBox::Ok, parent_);
      box.exec();
      break;
    }
  }
}

bool QtDialogs::Confirm(std::string_view text) {
  return QMessageBox::question(parent_, QApplication::applicationDisplayName(), ToQ(text),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::optional<std::string> QtDialogs::InputBox(std::string_view caption, std::string_view prompt,
                                               std::string_view value) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent_, ToQ(caption), ToQ(prompt), QLineEdit::Normal, ToQ(value), &ok);
  if (!ok) return std::nullopt;
  return text.toStdString();
}

std::optional<std::filesystem::path> QtDialogs::OpenFile(const FileDialogOptions& options) {
  const QString file = QFileDialog::getOpenFileName(
      parent_, {}, QString::fromStdString(options.initialFolder.string()), FilterOf(options));
  if (file.isEmpty()) return std::nullopt;
  return std::filesystem::path(file.toStdString());
}

std::optional<std::filesystem::path> QtDialogs::SaveFile(const FileDialogOptions& options) {
  const QString file = QFileDialog::getSaveFileName(
      parent_, {}, QString::fromStdString(options.initialFolder.string()), FilterOf(options));
  if (file.isEmpty()) return std::nullopt;
  return std::filesystem::path(file.toStdString());
}

void QtClipboard::SetText(std::string_view text) {
  QGuiApplication::clipboard()->setText(ToQ(text));
}

std::string QtClipboard::Text() const {
  return QGuiApplication::clipboard()->text().toStdString();
}

UiLoopPump::UiLoopPump() {
  UiLoop::Instance().AttachToThisThread();
  connect(&timer_, &QTimer::timeout, [] { UiLoop::Instance().ProcessPending(); });
  timer_.start(5);
}

}  // namespace drvx::platform::qt
