// A diagram drawn in a window: the renderer's display list painted with
// QPainter, zoomed (the canvas sizes itself to the zoomed diagram, so a
// scroll area around it scrolls), fitted to a viewport, and its shapes
// picked with the pointer.
#pragma once

#include <QWidget>
#include <functional>

#include "display_list.h"

namespace drvx::studio {

class DiagramCanvas final : public QWidget {
 public:
  explicit DiagramCanvas(QWidget* parent = nullptr);

  void SetDiagram(modelhost::render::DisplayList list);
  const modelhost::render::DisplayList& Diagram() const { return list_; }

  void SetZoom(double zoom);  // 0.1 to 8
  void ZoomIn() { SetZoom(zoom_ * 1.25); }
  void ZoomOut() { SetZoom(zoom_ / 1.25); }
  // The zoom at which the whole diagram fits into a viewport of this size.
  void FitInto(QSize viewport);

  QSize sizeHint() const override;

  // A click on a shape that stands for a class or diagram names it.
  std::function<void(std::int32_t element)> OnPicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  modelhost::render::DisplayList list_;
  double zoom_ = 1.0;
};

// Paints the list in its own coordinates (a painter scaled by the caller).
void PaintDisplayList(const modelhost::render::DisplayList& list, class QPainter& painter);

}  // namespace drvx::studio
