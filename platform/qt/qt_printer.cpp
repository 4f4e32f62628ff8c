#include "qt_printer.h"

#include <QPrintDialog>
#include <QSvgRenderer>

#include "qt_text.h"

namespace drvx::platform::qt {
namespace {

QRect ToRect(const PrintRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

// Lines break at CR LF, CR or LF, as the printer service says.
QString Lines(std::string_view text) {
  QString lines = ToQ(text);
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QChar('\r'), QChar('\n'));
  return lines;
}

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

}  // namespace

QtPrinter::QtPrinter(QWidget* dialogParent) : dialogParent_(dialogParent) {
  printer_.setPageSize(QPageSize(QPageSize::A4));
}

QtPrinter::~QtPrinter() {
  if (painter_) painter_->end();
}

PrinterMetrics QtPrinter::Metrics() const {
  const QRect paper = printer_.paperRect(QPrinter::DevicePixel).toRect();
  const QRect printable = printer_.pageRect(QPrinter::DevicePixel).toRect();
  return {printer_.resolution(), printer_.resolution(), paper.width(), paper.height(),
          printable.left() - paper.left(), printable.top() - paper.top()};
}

void QtPrinter::BeginJob(std::string_view title) {
  if (painter_) EndJob();
  printer_.setDocName(ToQ(title));
  if (!folder_.empty()) {
    const auto file = folder_ / ("print-" + std::to_string(files_.size() + 1) + ".pdf");
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setOutputFileName(QString::fromStdString(file.string()));
    files_.push_back(file);
  } else {
    QPrintDialog dialog(&printer_, dialogParent_);
    if (dialog.exec() != QDialog::Accepted) {
      // Cancelled: the job draws into nothing.
      printer_.setOutputFormat(QPrinter::PdfFormat);
      printer_.setOutputFileName({});
    }
  }
  painter_ = std::make_unique<QPainter>();
  if (!printer_.outputFileName().isEmpty() || printer_.outputFormat() == QPrinter::NativeFormat)
    painter_->begin(&printer_);
  painter_->setFont(font_);
  pageUsed_ = false;
}

void QtPrinter::NewPage() {
  if (painter_ && painter_->isActive()) printer_.newPage();
  pageUsed_ = false;
}

void QtPrinter::EndJob() {
  if (!painter_) return;
  if (painter_->isActive()) painter_->end();
  painter_.reset();
}

void QtPrinter::SetFont(std::string_view name, int points) {
  font_ = QFont(ToQ(name), points);
  if (painter_) painter_->setFont(font_);
}

PrintRect QtPrinter::MeasureText(std::string_view text, const PrintRect& bounds) {
  const QFontMetrics metrics(font_, &printer_);
  const QRect used = metrics.boundingRect(ToRect(bounds), kTextFlags, Lines(text));
  return {bounds.left, bounds.top, bounds.left + used.width(), bounds.top + used.height()};
}

void QtPrinter::DrawText(std::string_view text, const PrintRect& bounds) {
  if (!painter_ || !painter_->isActive()) return;
  painter_->save();
  painter_->setClipRect(ToRect(bounds));
  painter_->drawText(ToRect(bounds), kTextFlags, Lines(text));
  painter_->restore();
  pageUsed_ = true;
}

// On a page of its own, scaled to fit the printable area.
void QtPrinter::DrawPicture(std::string_view title, std::string_view svg) {
  const bool ownJob = !painter_;
  if (ownJob) BeginJob(title);
  else if (pageUsed_) NewPage();
  if (painter_->isActive()) {
    QSvgRenderer picture(QByteArray(svg.data(), qsizetype(svg.size())));
    const QRectF area = printer_.pageRect(QPrinter::DevicePixel);
    QSizeF size = picture.defaultSize();
    size.scale(area.size(), Qt::KeepAspectRatio);
    picture.render(painter_.get(), QRectF(QPointF(0, 0), size));
    pageUsed_ = true;
  }
  if (ownJob) EndJob();
}

}  // namespace drvx::platform::qt
