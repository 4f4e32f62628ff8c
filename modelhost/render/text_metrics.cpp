#include "text_metrics.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace drvx::modelhost::render {
namespace {

// Consecutive code points of one advance, in font units.
struct Run {
  std::uint32_t first;
  std::uint32_t count;
  std::uint32_t advance;
};

// Made by the build from fonts/*.tsv.
#include "font_metrics_tables.inc"

// DejaVu Sans: 2048 units an em, ascent 1901, descent 483.
constexpr double kUnitsPerEm = 2048;
constexpr double kAscent = 1901 / kUnitsPerEm;
constexpr double kDescent = 483 / kUnitsPerEm;

template <std::size_t N>
double Advance(const Run (&runs)[N], std::uint32_t code) {
  const Run* end = runs + N;
  const Run* run = std::upper_bound(runs, end, code,
                                    [](std::uint32_t c, const Run& r) { return c < r.first; });
  if (run != runs && code < (run - 1)->first + (run - 1)->count)
    return double((run - 1)->advance) / kUnitsPerEm;
  const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                    (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                    (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                    code >= 0x1F000;
  return wide ? 1.0 : 0.6;
}

// The code point that starts at `i`, and `i` moved past it; a byte that
// starts no well-formed sequence is one U+FFFD.
std::uint32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || i + std::size_t(length) > s.size()) return ++i, 0xFFFD;
  if (length == 1) return ++i, lead;
  std::uint32_t code = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((byte(i + std::size_t(k)) & 0xC0) != 0x80) return ++i, 0xFFFD;
    code = (code << 6) | (byte(i + std::size_t(k)) & 0x3F);
  }
  i += std::size_t(length);
  return code;
}

}  // namespace

double TextWidth(std::string_view utf8, double size, FontStyle style) {
  double ems = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::uint32_t code = NextCodePoint(utf8, i);
    ems += style.bold ? Advance(kDejaVuSansBold, code)
           : style.italic ? Advance(kDejaVuSansOblique, code)
                          : Advance(kDejaVuSans, code);
  }
  return ems * size;
}

double TextAscent(double size) { return kAscent * size; }
double TextDescent(double size) { return kDescent * size; }
double LineSpacing(double size) { return (kAscent + kDescent) * size; }

}  // namespace drvx::modelhost::render
