// Writes a display list as an SVG document, streamed item by item.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "display_list.h"

namespace drvx::modelhost::render {

void WriteSvg(const DisplayList& list, std::ostream& out);

// The pieces of a document, for a writer of parts of a picture: the head
// (size and view of `view`, markers, paper), one item, a number as written.
// A document ends with "</svg>\n".
void WriteSvgHead(std::string_view title, const Extent& view, std::ostream& out);
void WriteSvgItem(const Item& item, std::ostream& out);
std::string SvgNumber(double value);

// Text for an SVG (XML) text node or attribute value.
std::string EscapeXml(std::string_view text);

}  // namespace drvx::modelhost::render
