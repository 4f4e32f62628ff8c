// The platform's printer on a real printer or into PDF files, through
// QPrinter. Device units are the printer's pixels with the origin at the
// corner of the printable area, as the printer service expects; fonts are
// the families asked for in points. With a folder set every job becomes
// "<folder>/print-<n>.pdf"; without one a job asks for a printer
// (QPrintDialog) and prints nothing when that is cancelled.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <memory>

#include "drvx/platform/printer.h"

class QWidget;

namespace drvx::platform::qt {

class QtPrinter final : public Printer {
 public:
  explicit QtPrinter(QWidget* dialogParent = nullptr);
  ~QtPrinter() override;

  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  // The PDF files written so far.
  const std::vector<std::filesystem::path>& Files() const { return files_; }

  PrinterMetrics Metrics() const override;
  void BeginJob(std::string_view title) override;
  bool InJob() const override { return painter_ != nullptr; }
  void NewPage() override;
  void EndJob() override;
  void SetFont(std::string_view name, int points) override;
  PrintRect MeasureText(std::string_view text, const PrintRect& bounds) override;
  void DrawText(std::string_view text, const PrintRect& bounds) override;
  void DrawPicture(std::string_view title, std::string_view svg) override;

 private:
  QWidget* dialogParent_;
  std::filesystem::path folder_;
  std::vector<std::filesystem::path> files_;
  QPrinter printer_{QPrinter::HighResolution};
  std::unique_ptr<QPainter> painter_;
  QFont font_{QStringLiteral("Courier New"), 10};
  bool pageUsed_ = false;
};

}  // namespace drvx::platform::qt
