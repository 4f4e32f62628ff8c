#include "display_list.h"

#include <algorithm>

#include "text_metrics.h"

namespace drvx::modelhost::render {
namespace {

Extent Of(const Box& b) { return {b.x, b.y, b.x + b.width, b.y + b.height}; }
Extent Of(const Ellipse& e) { return {e.cx - e.rx, e.cy - e.ry, e.cx + e.rx, e.cy + e.ry}; }
Extent Of(const Line& l) {
  Extent e{l.points.front().x, l.points.front().y, l.points.front().x, l.points.front().y};
  for (const Point& p : l.points)
    e = {std::min(e.left, p.x), std::min(e.top, p.y), std::max(e.right, p.x), std::max(e.bottom, p.y)};
  return e;
}
Extent Of(const Text& t) {
  const double w = TextWidth(t.text, t.size, {t.bold, t.italic});
  const double left = t.anchor == Anchor::Start ? t.x : t.anchor == Anchor::Middle ? t.x - w / 2 : t.x - w;
  return {left, t.y - TextAscent(t.size), left + w, t.y + TextDescent(t.size)};
}

}  // namespace

Extent ExtentOf(const Item& item) {
  return std::visit([](const auto& i) { return Of(i); }, item);
}

}  // namespace drvx::modelhost::render
