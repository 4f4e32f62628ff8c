// How wide a text is drawn, from the advance widths of the font the
// pictures name (DejaVu Sans, its bold and its oblique), so that layouts
// make boxes as wide as their names and keep captions apart. Kerning is left
// out: it only ever narrows a text, so the widths are never too small.
#pragma once

#include <string_view>

namespace drvx::modelhost::render {

struct FontStyle {
  bool bold = false;
  bool italic = false;
};

// The width of a UTF-8 text at a font size, in the same units. A character
// the font lacks takes the width a fallback font gives it: a full em for
// the wide characters of East Asian scripts and for emoji, 0.6 em for
// others.
double TextWidth(std::string_view utf8, double size, FontStyle style = {});

// How far a line of text reaches above and below its baseline, and how far
// apart the lines of a text stand, at a font size.
double TextAscent(double size);
double TextDescent(double size);
double LineSpacing(double size);

}  // namespace drvx::modelhost::render
