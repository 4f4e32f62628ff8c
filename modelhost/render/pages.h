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

// A page as an SVG document: the heads (for a page below the first row),
// then the page's part of the picture.
void WriteSvgPage(const DisplayList& list, const Page& page, std::ostream& out);

}  // namespace drvx::modelhost::render
