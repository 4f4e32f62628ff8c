#include "diagram_canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <type_traits>

#include "palette.h"

namespace drvx::studio {
namespace {

using namespace modelhost::render;

QColor QColourOf(const Colour& colour) { return QColor(colour.red, colour.green, colour.blue); }

QBrush BrushOf(Fill fill) {
  const Colour* colour = ColourOf(fill);
  return colour ? QBrush(QColourOf(*colour)) : QBrush(Qt::NoBrush);
}

QPen PenOf(Stroke stroke) {
  if (stroke == Stroke::None) return QPen(Qt::NoPen);
  QPen pen(QColourOf(kLineColour), kLineWidth);
  // Qt counts a dash pattern in line widths.
  if (stroke == Stroke::Dashed) pen.setDashPattern({kDash / kLineWidth, kDashGap / kLineWidth});
  return pen;
}

void DrawHead(QPainter& painter, const Line& line) {
  if (line.head == Head::None || line.points.size() < 2) return;
  const Point& tip = line.points.back();
  const Point& from = line.points[line.points.size() - 2];
  const double angle = std::atan2(tip.y - from.y, tip.x - from.x);
  const double length = 9, spread = 0.45;
  const QPointF a(tip.x - length * std::cos(angle - spread), tip.y - length * std::sin(angle - spread));
  const QPointF b(tip.x - length * std::cos(angle + spread), tip.y - length * std::sin(angle + spread));
  const QPointF t(tip.x, tip.y);
  painter.setPen(PenOf(Stroke::Solid));
  if (line.head == Head::Filled) {
    painter.setBrush(QColourOf(kLineColour));
    painter.drawPolygon(QPolygonF({t, a, b}));
  } else {
    painter.drawLine(a, t);
    painter.drawLine(b, t);
  }
}

void DrawText(QPainter& painter, const Text& text) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setPixelSize(std::max(1, int(std::lround(text.size))));
  font.setBold(text.bold);
  font.setItalic(text.italic);
  painter.setFont(font);
  painter.setPen(QColourOf(kTextColour));
  const QString content = QString::fromStdString(text.text);
  const double width = QFontMetricsF(font).horizontalAdvance(content);
  double x = text.x;
  if (text.anchor == Anchor::Middle) x -= width / 2;
  if (text.anchor == Anchor::End) x -= width;
  painter.drawText(QPointF(x, text.y), content);
}

}  // namespace

void PaintDisplayList(const DisplayList& list, QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Item& item : list.items) {
    std::visit(
        [&painter](const auto& shape) {
          using T = std::decay_t<decltype(shape)>;
          if constexpr (std::is_same_v<T, Box>) {
            painter.setPen(PenOf(shape.stroke));
            painter.setBrush(BrushOf(shape.fill));
            painter.drawRoundedRect(QRectF(shape.x, shape.y, shape.width, shape.height),
                                    shape.radius, shape.radius);
          } else if constexpr (std::is_same_v<T, Ellipse>) {
            painter.setPen(PenOf(Stroke::Solid));
            painter.setBrush(BrushOf(shape.fill));
            painter.drawEllipse(QPointF(shape.cx, shape.cy), shape.rx, shape.ry);
          } else if constexpr (std::is_same_v<T, Line>) {
            QPolygonF points;
            for (const Point& p : shape.points) points << QPointF(p.x, p.y);
            painter.setPen(PenOf(shape.stroke));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(points);
            DrawHead(painter, shape);
          } else {
            DrawText(painter, shape);
          }
        },
        item);
  }
}

DiagramCanvas::DiagramCanvas(QWidget* parent) : QWidget(parent) {}

void DiagramCanvas::SetDiagram(DisplayList list) {
  list_ = std::move(list);
  resize(sizeHint());
  update();
}

void DiagramCanvas::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, 0.1, 8.0);
  resize(sizeHint());
  update();
}

void DiagramCanvas::FitInto(QSize viewport) {
  if (list_.width <= 0 || list_.height <= 0) return;
  SetZoom(std::min(viewport.width() / list_.width, viewport.height() / list_.height));
}

QSize DiagramCanvas::sizeHint() const {
  return QSize(int(std::ceil(list_.width * zoom_)), int(std::ceil(list_.height * zoom_)));
}

void DiagramCanvas::mousePressEvent(QMouseEvent* event) {
  const QPointF at = event->position() / zoom_ + QPointF(list_.x, list_.y);
  for (auto it = list_.areas.rbegin(); it != list_.areas.rend(); ++it)
    if (QRectF(it->x, it->y, it->width, it->height).contains(at)) {
      if (OnPicked) OnPicked(it->element);
      return;
    }
}

void DiagramCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColourOf(kPaperColour));
  painter.scale(zoom_, zoom_);
  painter.translate(-list_.x, -list_.y);
  PaintDisplayList(list_, painter);
}

}  // namespace drvx::studio
