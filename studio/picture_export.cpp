#include "picture_export.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <utility>
#include <stdexcept>

#include "diagram_canvas.h"
#include "drvx/platform/files.h"
#include "pages.h"
#include "svg_writer.h"

namespace drvx::studio {
namespace {

using namespace modelhost::render;

void WritePng(const DisplayList& list, const std::filesystem::path& file) {
  constexpr double kScale = 2;
  QImage image(int(std::ceil(list.width * kScale)), int(std::ceil(list.height * kScale)),
               QImage::Format_RGB32);
  image.fill(CanvasColours::Pictures().paper);
  QPainter painter(&image);
  painter.scale(kScale, kScale);
  painter.translate(-list.x, -list.y);
  PaintDisplayList(list, painter);
  painter.end();
  if (!image.save(QString::fromStdString(file.string()), "PNG"))
    throw std::runtime_error("cannot write " + file.string());
}

// The pages the host prints, each scaled onto an A4 page of the PDF and
// painted as the canvas paints (the texts stay texts).
void WritePdf(const DisplayList& list, const std::filesystem::path& file) {
  QPdfWriter pdf(QString::fromStdString(file.string()));
  pdf.setTitle(QString::fromStdString(list.title));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  QPainter painter;
  if (!painter.begin(&pdf)) throw std::runtime_error("cannot write " + file.string());
  bool first = true;
  for (const Page& page : PrintedPagesOf(list)) {
    if (!std::exchange(first, false)) pdf.newPage();
    const PageLayout layout = LayoutOf(list, page);
    const double scale = std::min(pdf.width() / layout.width, pdf.height() / layout.height);
    for (const PagePart& part : layout.parts) {
      DisplayList shown;
      for (const Item& item : list.items)
        if (Meets(ExtentOf(item), part.area)) shown.items.push_back(item);
      painter.save();
      painter.scale(scale, scale);
      painter.translate(part.dx, part.dy);
      painter.setClipRect(QRectF(part.area.left, part.area.top, part.area.right - part.area.left,
                                 part.area.bottom - part.area.top));
      PaintDisplayList(shown, painter);
      painter.restore();
    }
  }
}

}  // namespace

void ExportPicture(const DisplayList& list, const std::filesystem::path& file) {
  const std::string suffix = file.extension().string();
  if (suffix == ".svg")
    return platform::WriteFileAtomically(file, [&](std::ostream& out) { WriteSvg(list, out); });
  if (suffix == ".png") return WritePng(list, file);
  if (suffix == ".pdf") return WritePdf(list, file);
  throw std::runtime_error("cannot write " + file.string() + ": pictures are .svg, .png or .pdf files");
}

}  // namespace drvx::studio
