#include "pages.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "svg_writer.h"

namespace drvx::modelhost::render {
namespace {

// Where to cut a length from `from` to `to` into pieces no longer than
// `first` (the first) and `rest` (the others): each cut moved back out of
// the spans given, as long as the piece keeps half its length.
std::vector<double> Cuts(double from, double to, double first, double rest,
                         std::vector<std::pair<double, double>> spans) {
  std::sort(spans.begin(), spans.end());
  std::vector<std::pair<double, double>> merged;
  for (const auto& span : spans)
    if (!merged.empty() && span.first < merged.back().second)
      merged.back().second = std::max(merged.back().second, span.second);
    else merged.push_back(span);
  std::vector<double> cuts{from};
  while (to - cuts.back() > (cuts.size() == 1 ? first : rest)) {
    const double length = cuts.size() == 1 ? first : rest;
    double cut = cuts.back() + length;
    const auto inside = std::upper_bound(merged.begin(), merged.end(), std::pair{cut, 1e300});
    if (inside != merged.begin() && std::prev(inside)->second > cut &&
        std::prev(inside)->first > cuts.back() + length / 2)
      cut = std::prev(inside)->first;
    cuts.push_back(cut);
  }
  cuts.push_back(to);
  return cuts;
}

// The items that reach into the part's area, clipped to it and moved.
void WritePart(const DisplayList& list, const PagePart& part, const std::string& id, std::ostream& out) {
  const Extent& area = part.area;
  out << "<clipPath id=\"" << id << "\"><rect x=\"" << SvgNumber(area.left) << "\" y=\""
      << SvgNumber(area.top) << "\" width=\"" << SvgNumber(area.right - area.left)
      << "\" height=\"" << SvgNumber(area.bottom - area.top) << "\"/></clipPath>\n"
      << "<g transform=\"translate(" << SvgNumber(part.dx) << ' ' << SvgNumber(part.dy) << ")\" clip-path=\"url(#"
      << id << ")\">\n";
  for (const Item& item : list.items)
    if (Meets(ExtentOf(item), area)) WriteSvgItem(item, out);
  out << "</g>\n";
}

}  // namespace

bool Meets(const Extent& e, const Extent& area) {
  return e.left <= area.right && area.left <= e.right && e.top <= area.bottom && area.top <= e.bottom;
}

std::vector<Page> PagesOf(const DisplayList& list, double maxWidth, double maxHeight) {
  const double heads = list.headBottom > list.y ? list.headBottom - list.y : 0;
  // Cuts keep clear of texts and boxes (a long one, such as an activation
  // bar, may be cut).
  std::vector<std::pair<double, double>> rows, columns;
  for (const Item& item : list.items) {
    if (!std::holds_alternative<Text>(item) && !std::holds_alternative<Box>(item)) continue;
    const Extent e = ExtentOf(item);
    if (e.bottom - e.top < maxHeight / 2) rows.push_back({e.top, e.bottom});
    if (e.right - e.left < maxWidth / 2) columns.push_back({e.left, e.right});
  }
  const std::vector<double> xs =
      Cuts(list.x, list.x + list.width, maxWidth, maxWidth, std::move(columns));
  const std::vector<double> ys = Cuts(list.y, list.y + list.height, maxHeight,
                                      std::max(maxHeight - heads, maxHeight / 2), std::move(rows));
  std::vector<Page> pages;
  for (std::size_t r = 0; r + 1 < ys.size(); ++r)
    for (std::size_t c = 0; c + 1 < xs.size(); ++c)
      pages.push_back({xs[c], ys[r], xs[c + 1] - xs[c], ys[r + 1] - ys[r]});
  return pages;
}

std::vector<Page> PrintedPagesOf(const DisplayList& list) {
  const double width = std::clamp(list.width, kPrintWidth, 2 * kPrintWidth);
  return PagesOf(list, width, width * kPrintHeight / kPrintWidth);
}

PageLayout LayoutOf(const DisplayList& list, const Page& page) {
  const double heads = page.y > list.y && list.headBottom > list.y ? list.headBottom - list.y : 0;
  PageLayout layout{page.width, heads + page.height, {}};
  if (heads > 0)
    layout.parts.push_back({{page.x, list.y, page.x + page.width, list.headBottom}, -page.x, -list.y});
  layout.parts.push_back({{page.x, page.y, page.x + page.width, page.y + page.height}, -page.x, heads - page.y});
  return layout;
}

void WriteSvgPage(const DisplayList& list, const Page& page, std::ostream& out) {
  const PageLayout layout = LayoutOf(list, page);
  WriteSvgHead(list.title, {0, 0, layout.width, layout.height}, out);
  for (std::size_t i = 0; i < layout.parts.size(); ++i)
    WritePart(list, layout.parts[i], "part" + std::to_string(i), out);
  out << "</svg>\n";
}

}  // namespace drvx::modelhost::render
