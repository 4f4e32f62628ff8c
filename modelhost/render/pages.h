// A picture too large to open or print whole, cut into pages: rows and
// columns no larger than a limit, cut between texts where it can, each page
// of a sequence diagram repeating the role heads above its part.
#pragma once

#include <ostream>
#include <vector>

#include "display_list.h"

namespace drvx::modelhost::render {

// What viewers open without trouble, each way.
inline constexpr double kPageLimit = 16000;
// A printed page (A4 at 96 dots an inch), each way.
inline constexpr double kPrintWidth = 794;
inline constexpr double kPrintHeight = 1123;

// The part of the picture a page shows (below the heads it repeats).
struct Page {
  double x, y, width, height;
};

// One page for a picture within the limits, else the pages that cover it.
std::vector<Page> PagesOf(const DisplayList& list, double maxWidth, double maxHeight);
// The pages a picture is printed on: as wide as the picture, up to two
// paper widths (so that text stays legible once scaled to the paper), and
// as tall as the paper's shape allows.
std::vector<Page> PrintedPagesOf(const DisplayList& list);

// What a page shows, in its order: the heads (for a page below the first
// row), then its part of the picture. Each is the picture's `area`, moved
// by (dx, dy) onto the page; the page is `width` by `height`.
struct PagePart {
  Extent area;
  double dx, dy;
};
struct PageLayout {
  double width, height;
  std::vector<PagePart> parts;
};
PageLayout LayoutOf(const DisplayList& list, const Page& page);

// Whether an item reaches into an area.
bool Meets(const Extent& item, const Extent& area);

// A page as an SVG document.
void WriteSvgPage(const DisplayList& list, const Page& page, std::ostream& out);

}  // namespace drvx::modelhost::render
