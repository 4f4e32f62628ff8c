#include "svg_writer.h"

#include <cstdio>

#include "palette.h"

namespace drvx::modelhost::render {
namespace {

// Numbers without needless decimals, so files stay small and stable.
std::string N(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  std::string text = buffer;
  if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0) text.resize(text.size() - 2);
  return text;
}

std::string FillColour(Fill fill) {
  const Colour* colour = ColourOf(fill);
  return colour ? HexOf(*colour) : "none";
}

// The stroke attributes: the line colour, dashed or not, or none.
std::string StrokeOf(Stroke stroke, const std::string& line) {
  if (stroke == Stroke::None) return " stroke=\"none\"";
  std::string attributes = " stroke=\"" + line + '"';
  if (stroke == Stroke::Dashed)
    attributes += " stroke-dasharray=\"" + N(kDash) + ' ' + N(kDashGap) + '"';
  return attributes;
}

struct Writer {
  std::ostream& out;
  const std::string line = HexOf(kLineColour);

  void operator()(const Box& b) const {
    out << "<rect x=\"" << N(b.x) << "\" y=\"" << N(b.y) << "\" width=\"" << N(b.width)
        << "\" height=\"" << N(b.height) << '"';
    if (b.radius > 0) out << " rx=\"" << N(b.radius) << '"';
    out << " fill=\"" << FillColour(b.fill) << '"' << StrokeOf(b.stroke, line) << "/>\n";
  }
  void operator()(const Ellipse& e) const {
    out << "<ellipse cx=\"" << N(e.cx) << "\" cy=\"" << N(e.cy) << "\" rx=\"" << N(e.rx)
        << "\" ry=\"" << N(e.ry) << "\" fill=\"" << FillColour(e.fill) << "\" stroke=\"" << line
        << "\"/>\n";
  }
  void operator()(const Line& l) const {
    out << "<polyline points=\"";
    for (std::size_t i = 0; i < l.points.size(); ++i)
      out << (i ? " " : "") << N(l.points[i].x) << ',' << N(l.points[i].y);
    out << "\" fill=\"none\"" << StrokeOf(l.stroke, line);
    if (l.head == Head::Open) out << " marker-end=\"url(#open)\"";
    if (l.head == Head::Filled) out << " marker-end=\"url(#filled)\"";
    out << "/>\n";
  }
  void operator()(const Text& t) const {
    out << "<text x=\"" << N(t.x) << "\" y=\"" << N(t.y) << "\" font-size=\"" << N(t.size) << '"';
    if (t.anchor == Anchor::Middle) out << " text-anchor=\"middle\"";
    if (t.anchor == Anchor::End) out << " text-anchor=\"end\"";
    if (t.bold) out << " font-weight=\"bold\"";
    if (t.italic) out << " font-style=\"italic\"";
    out << '>' << EscapeXml(t.text) << "</text>\n";
  }
};

}  // namespace

std::string EscapeXml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    // U+FFFE and U+FFFF (EF BF BE, EF BF BF) are not XML characters either.
    if (c == '\xEF' && text.substr(i + 1, 1) == "\xBF" && i + 2 < text.size() &&
        (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
      escaped += "\xEF\xBF\xBD";
      i += 2;
      continue;
    }
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&apos;"; break;
      default:
        // Control characters other than tab, line feed and carriage return
        // are not allowed in XML 1.0: they are shown as U+FFFD.
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          escaped += "\xEF\xBF\xBD";
        else
          escaped += c;
    }
  }
  return escaped;
}

void WriteSvgHead(std::string_view title, const Extent& view, std::ostream& out) {
  const std::string line = HexOf(kLineColour);
  const double width = view.right - view.left, height = view.bottom - view.top;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << N(width) << "\" height=\""
      << N(height) << "\" viewBox=\"" << N(view.left) << ' ' << N(view.top) << ' ' << N(width)
      << ' ' << N(height) << "\" font-family=\"" << kFontFallbacks << "\">\n"
      << "<title>" << EscapeXml(title) << "</title>\n"
      << "<defs>\n"
      << "<marker id=\"open\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"10\" "
         "markerHeight=\"10\" orient=\"auto-start-reverse\" markerUnits=\"userSpaceOnUse\">"
         "<path d=\"M0,0 L10,5 L0,10\" fill=\"none\" stroke=\"" << line << "\"/></marker>\n"
      << "<marker id=\"filled\" viewBox=\"0 0 10 10\" refX=\"10\" refY=\"5\" markerWidth=\"10\" "
         "markerHeight=\"10\" orient=\"auto-start-reverse\" markerUnits=\"userSpaceOnUse\">"
         "<path d=\"M0,0 L10,5 L0,10 z\" fill=\"" << line << "\"/></marker>\n"
      << "</defs>\n"
      << "<rect x=\"" << N(view.left) << "\" y=\"" << N(view.top) << "\" width=\"" << N(width)
      << "\" height=\"" << N(height) << "\" fill=\"" << HexOf(kPaperColour) << "\"/>\n";
}

void WriteSvgItem(const Item& item, std::ostream& out) { std::visit(Writer{out}, item); }

std::string SvgNumber(double value) { return N(value); }

void WriteSvg(const DisplayList& list, std::ostream& out) {
  WriteSvgHead(list.title, {list.x, list.y, list.x + list.width, list.y + list.height}, out);
  for (const Item& item : list.items) WriteSvgItem(item, out);
  out << "</svg>\n";
}

}  // namespace drvx::modelhost::render
