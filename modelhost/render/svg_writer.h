// Writes a display list as an SVG document, streamed item by item.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "display_list.h"

namespace drvx::modelhost::render {

void WriteSvg(const DisplayList& list, std::ostream& out);

// Text for an SVG (XML) text node or attribute value.
std::string EscapeXml(std::string_view text);

}  // namespace drvx::modelhost::render
