// How the display list's fills and strokes look, for every painter of it:
// the SVG writer (whose pictures are also what is printed) and the desktop
// host's canvas draw with these colours, this dash and this margin.
#pragma once

#include <cstdint>
#include <string>

#include "display_list.h"

namespace drvx::modelhost::render {

struct Colour {
  std::uint8_t red, green, blue;
};

inline constexpr Colour kLineColour{0x33, 0x33, 0x33};  // outlines, lines, arrow heads
inline constexpr Colour kTextColour{0x00, 0x00, 0x00};
inline constexpr Colour kPaperColour{0xff, 0xff, 0xff};  // also the page behind everything
inline constexpr Colour kShadeColour{0xee, 0xf1, 0xf6};
inline constexpr Colour kInkColour{0x22, 0x22, 0x22};
inline constexpr Colour kSelectionColour{0x2a, 0x6f, 0xdb};  // a window's mark of the selected

// The colour of a fill; none for Fill::None.
constexpr const Colour* ColourOf(Fill fill) {
  switch (fill) {
    case Fill::None: return nullptr;
    case Fill::Paper: return &kPaperColour;
    case Fill::Shade: return &kShadeColour;
    case Fill::Ink: return &kInkColour;
  }
  return nullptr;
}

// A dashed stroke: this long a dash, then this long a gap (at a line width
// of 1).
inline constexpr double kDash = 6;
inline constexpr double kDashGap = 4;
inline constexpr double kLineWidth = 1;

// The font of every text: the one the text metrics measure, then what a
// viewer without it should take instead.
inline constexpr const char* kFontFamily = "DejaVu Sans";
inline constexpr const char* kFontFallbacks = "DejaVu Sans, Verdana, sans-serif";

// The room left around everything drawn.
inline constexpr double kMargin = 20;

// "#rrggbb".
inline std::string HexOf(const Colour& colour) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "#";
  for (const std::uint8_t part : {colour.red, colour.green, colour.blue}) {
    text += kDigits[part >> 4];
    text += kDigits[part & 0xF];
  }
  return text;
}

}  // namespace drvx::modelhost::render
