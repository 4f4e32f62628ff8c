#include "diagram_canvas.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
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

QBrush BrushOf(Fill fill, const CanvasColours& c) {
  switch (fill) {
    case Fill::None: return QBrush(Qt::NoBrush);
    case Fill::Paper: return QBrush(c.paper);
    case Fill::Shade: return QBrush(c.shade);
    case Fill::Ink: return QBrush(c.ink);
  }
  return QBrush(Qt::NoBrush);
}

QPen PenOf(Stroke stroke, const CanvasColours& c) {
  if (stroke == Stroke::None) return QPen(Qt::NoPen);
  QPen pen(c.line, kLineWidth);
  // Qt counts a dash pattern in line widths.
  if (stroke == Stroke::Dashed) pen.setDashPattern({kDash / kLineWidth, kDashGap / kLineWidth});
  return pen;
}

void DrawHead(QPainter& painter, const Line& line, const CanvasColours& c) {
  if (line.head == Head::None || line.points.size() < 2) return;
  const Point& tip = line.points.back();
  const Point& from = line.points[line.points.size() - 2];
  const double angle = std::atan2(tip.y - from.y, tip.x - from.x);
  const double length = 9, spread = 0.45;
  const QPointF a(tip.x - length * std::cos(angle - spread), tip.y - length * std::sin(angle - spread));
  const QPointF b(tip.x - length * std::cos(angle + spread), tip.y - length * std::sin(angle + spread));
  const QPointF t(tip.x, tip.y);
  painter.setPen(PenOf(Stroke::Solid, c));
  if (line.head == Head::Filled) {
    painter.setBrush(c.line);
    painter.drawPolygon(QPolygonF({t, a, b}));
  } else {
    painter.drawLine(a, t);
    painter.drawLine(b, t);
  }
}

void DrawText(QPainter& painter, const Text& text, const CanvasColours& c) {
  QFont font(QString::fromLatin1(kFontFamily));
  font.setPixelSize(std::max(1, int(std::lround(text.size))));
  font.setBold(text.bold);
  font.setItalic(text.italic);
  painter.setFont(font);
  painter.setPen(c.text);
  const QString content = QString::fromStdString(text.text);
  const double width = QFontMetricsF(font).horizontalAdvance(content);
  double x = text.x;
  if (text.anchor == Anchor::Middle) x -= width / 2;
  if (text.anchor == Anchor::End) x -= width;
  painter.drawText(QPointF(x, text.y), content);
}

}  // namespace

CanvasColours CanvasColours::Pictures() {
  return {QColourOf(kPaperColour), QColourOf(kLineColour), QColourOf(kTextColour),
          QColourOf(kShadeColour), QColourOf(kInkColour), QColourOf(kSelectionColour)};
}

CanvasColours CanvasColours::Following(const QPalette& palette) {
  const QColor base = palette.color(QPalette::Base);
  if (base.lightness() >= 128) return Pictures();
  const QColor text = palette.color(QPalette::Text);
  return {base, text, text, base.lighter(160), text, palette.color(QPalette::Highlight)};
}

void PaintDisplayList(const DisplayList& list, QPainter& painter, const CanvasColours& c) {
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Item& item : list.items) {
    std::visit(
        [&painter, &c](const auto& shape) {
          using T = std::decay_t<decltype(shape)>;
          if constexpr (std::is_same_v<T, Box>) {
            painter.setPen(PenOf(shape.stroke, c));
            painter.setBrush(BrushOf(shape.fill, c));
            painter.drawRoundedRect(QRectF(shape.x, shape.y, shape.width, shape.height),
                                    shape.radius, shape.radius);
          } else if constexpr (std::is_same_v<T, Ellipse>) {
            painter.setPen(PenOf(Stroke::Solid, c));
            painter.setBrush(BrushOf(shape.fill, c));
            painter.drawEllipse(QPointF(shape.cx, shape.cy), shape.rx, shape.ry);
          } else if constexpr (std::is_same_v<T, Line>) {
            QPolygonF points;
            for (const Point& p : shape.points) points << QPointF(p.x, p.y);
            painter.setPen(PenOf(shape.stroke, c));
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(points);
            DrawHead(painter, shape, c);
          } else {
            DrawText(painter, shape, c);
          }
        },
        item);
  }
}

DiagramCanvas::DiagramCanvas(QWidget* parent) : QWidget(parent) { setMouseTracking(false); }

void DiagramCanvas::SetDiagram(DisplayList list) {
  list_ = std::move(list);
  heads_.items.clear();
  if (list_.headBottom > list_.y)
    for (const Item& item : list_.items)
      if (ExtentOf(item).bottom <= list_.headBottom) heads_.items.push_back(item);
  found_.clear();
  resize(sizeHint());
  update();
}

void DiagramCanvas::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, 0.01, 8.0);
  resize(sizeHint());
  update();
  if (OnZoomed) OnZoomed(zoom_);
}

double DiagramCanvas::FitZoom(QSize viewport) const {
  if (list_.width <= 0 || list_.height <= 0) return zoom_;
  return std::min(viewport.width() / list_.width, viewport.height() / list_.height);
}

void DiagramCanvas::ZoomAt(double factor, QPointF at) {
  QScrollArea* area = ScrollArea();
  const QPointF inView = at + QPointF(pos());  // the point within the viewport
  const QPointF point = at / zoom_;            // the diagram's point there
  SetZoom(zoom_ * factor);
  if (!area) return;
  area->horizontalScrollBar()->setValue(int(point.x() * zoom_ - inView.x()));
  area->verticalScrollBar()->setValue(int(point.y() * zoom_ - inView.y()));
}

void DiagramCanvas::SetSelected(std::int32_t element) {
  if (selected_ == element) return;
  selected_ = element;
  update();
}

std::vector<QRectF> DiagramCanvas::Find(const std::string& text) {
  found_.clear();
  std::vector<QRectF> where;
  const QString wanted = QString::fromStdString(text);
  if (!wanted.isEmpty())
    for (const Item& item : list_.items)
      if (const auto* t = std::get_if<Text>(&item);
          t && QString::fromStdString(t->text).contains(wanted, Qt::CaseInsensitive)) {
        const Extent e = ExtentOf(item);
        found_.push_back(e);
        where.emplace_back(QPointF((e.left - list_.x) * zoom_, (e.top - list_.y) * zoom_),
                           QPointF((e.right - list_.x) * zoom_, (e.bottom - list_.y) * zoom_));
      }
  update();
  return where;
}

QSize DiagramCanvas::sizeHint() const {
  return QSize(int(std::ceil(list_.width * zoom_)), int(std::ceil(list_.height * zoom_)));
}

QScrollArea* DiagramCanvas::ScrollArea() const {
  for (QWidget* w = parentWidget(); w; w = w->parentWidget())
    if (auto* area = qobject_cast<QScrollArea*>(w)) return area;
  return nullptr;
}

std::int32_t DiagramCanvas::ElementAt(QPointF at) const {
  const QPointF point = at / zoom_ + QPointF(list_.x, list_.y);
  for (auto it = list_.areas.rbegin(); it != list_.areas.rend(); ++it)
    if (QRectF(it->x, it->y, it->width, it->height).contains(point)) return it->element;
  return 0;
}

// A press starts a drag that pans the view; one that did not move is a
// click that picks what lies under it.
void DiagramCanvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  dragFrom_ = event->globalPosition().toPoint();
  dragged_ = false;
  if (QScrollArea* area = ScrollArea())
    scrollFrom_ = {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value()};
}

void DiagramCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  const QPoint moved = event->globalPosition().toPoint() - *dragFrom_;
  if (!dragged_ && moved.manhattanLength() < 4) return;
  dragged_ = true;
  setCursor(Qt::ClosedHandCursor);
  if (QScrollArea* area = ScrollArea()) {
    area->horizontalScrollBar()->setValue(scrollFrom_.x() - moved.x());
    area->verticalScrollBar()->setValue(scrollFrom_.y() - moved.y());
  }
}

void DiagramCanvas::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragFrom_) return;
  dragFrom_.reset();
  unsetCursor();
  if (dragged_) return;
  if (const std::int32_t element = ElementAt(event->position()); element && OnPicked) OnPicked(element);
}

void DiagramCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
  if (const std::int32_t element = ElementAt(event->position()); element && OnActivated)
    OnActivated(element);
}

void DiagramCanvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) return event->ignore();
  const double steps = event->angleDelta().y() / 120.0;
  if (steps != 0) ZoomAt(std::pow(1.25, steps), event->position());
  event->accept();
}

void DiagramCanvas::paintEvent(QPaintEvent*) {
  const CanvasColours colours = CanvasColours::Following(palette());
  QPainter painter(this);
  painter.fillRect(rect(), colours.paper);
  painter.scale(zoom_, zoom_);
  painter.translate(-list_.x, -list_.y);
  PaintDisplayList(list_, painter, colours);
  QColor marked = colours.selection;
  marked.setAlpha(60);
  for (const Extent& e : found_)
    painter.fillRect(QRectF(e.left - 1, e.top - 1, e.right - e.left + 2, e.bottom - e.top + 2), marked);
  for (const Area& area : list_.areas)
    if (area.element == selected_) {
      QPen pen(colours.selection, 2 / zoom_);
      painter.setPen(pen);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(QRectF(area.x - 3, area.y - 3, area.width + 6, area.height + 6));
    }
  // The role heads at the top of what is seen, once the view has scrolled
  // past them.
  const double top = visibleRegion().boundingRect().top() / zoom_ + list_.y;
  if (list_.headBottom <= list_.y || top <= list_.y) return;
  painter.translate(0, top - list_.y);
  painter.fillRect(QRectF(list_.x, list_.y, list_.width, list_.headBottom - list_.y), colours.paper);
  PaintDisplayList(heads_, painter, colours);
}

}  // namespace drvx::studio
