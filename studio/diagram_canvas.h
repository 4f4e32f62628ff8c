// A diagram drawn in a window: the renderer's display list painted with
// QPainter, zoomed (the canvas sizes itself to the zoomed diagram, so a
// scroll area around it scrolls), fitted to a viewport, zoomed at the pointer
// with Ctrl+wheel, panned by dragging, its shapes picked with the pointer and
// the selected one drawn as selected. A sequence diagram's role heads stay
// at the top of the view while it scrolls down.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "display_list.h"

class QScrollArea;

namespace drvx::studio {

class DiagramCanvas final : public QWidget {
 public:
  explicit DiagramCanvas(QWidget* parent = nullptr);

  void SetDiagram(modelhost::render::DisplayList list);
  const modelhost::render::DisplayList& Diagram() const { return list_; }

  double Zoom() const { return zoom_; }
  void SetZoom(double zoom);  // 0.01 to 8
  void ZoomIn() { SetZoom(zoom_ * 1.25); }
  void ZoomOut() { SetZoom(zoom_ / 1.25); }
  // The zoom at which the whole diagram fits into a viewport of this size.
  double FitZoom(QSize viewport) const;
  void FitInto(QSize viewport) { SetZoom(FitZoom(viewport)); }
  // Zooms by `factor` keeping the diagram's point under `at` (a point of
  // the canvas) where it is in the view.
  void ZoomAt(double factor, QPointF at);

  // The element drawn as selected (0: none).
  void SetSelected(std::int32_t element);
  // Marks every text that holds `text`, ignoring case (empty: none), and
  // gives where they are on the canvas, in drawing order.
  std::vector<QRectF> Find(const std::string& text);

  QSize sizeHint() const override;

  // A click on a shape that stands for an element (a class, a diagram, a
  // message's member) names it; a double click activates it.
  std::function<void(std::int32_t element)> OnPicked;
  std::function<void(std::int32_t element)> OnActivated;
  std::function<void(double zoom)> OnZoomed;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  QScrollArea* ScrollArea() const;
  // The element whose area holds a point of the canvas, or 0.
  std::int32_t ElementAt(QPointF at) const;

  modelhost::render::DisplayList list_;
  modelhost::render::DisplayList heads_;  // a sequence diagram's heads, painted over its top
  double zoom_ = 1.0;
  std::int32_t selected_ = 0;
  std::vector<modelhost::render::Extent> found_;
  std::optional<QPoint> dragFrom_;  // where a press began, in global coordinates
  QPoint scrollFrom_;
  bool dragged_ = false;
};

// The colours a display list is painted with: the pictures' own, or, for
// a window whose palette is dark, the palette's base and text colours.
struct CanvasColours {
  QColor paper, line, text, shade, ink, selection;
  static CanvasColours Pictures();
  static CanvasColours Following(const QPalette& palette);
};

// Paints the list in its own coordinates (a painter scaled by the caller).
void PaintDisplayList(const modelhost::render::DisplayList& list, class QPainter& painter,
                      const CanvasColours& colours = CanvasColours::Pictures());

}  // namespace drvx::studio
