// What a diagram looks like, as plain data: boxes, ellipses, lines and texts
// in the diagram's coordinates. The layout makes it from the model; the SVG
// writer (and a painter of a desktop window) draws it. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace drvx::modelhost::render {

struct Point {
  double x = 0;
  double y = 0;
};

enum class Stroke { Solid, Dashed };
enum class Fill { None, Paper, Shade, Ink };  // white, light grey, black

struct Box {
  double x, y, width, height;
  double radius = 0;  // rounded corners
  Fill fill = Fill::Paper;
  Stroke stroke = Stroke::Solid;
};

struct Ellipse {
  double cx, cy, rx, ry;
  Fill fill = Fill::Paper;
};

enum class Head { None, Open, Filled };  // the end of a line

struct Line {
  std::vector<Point> points;  // a polyline of at least two points
  Stroke stroke = Stroke::Solid;
  Head head = Head::None;     // at the last point
};

enum class Anchor { Start, Middle, End };

struct Text {
  double x, y;  // the baseline's anchor point
  std::string text;
  double size = 12;
  Anchor anchor = Anchor::Start;
  bool bold = false;
  bool italic = false;
};

using Item = std::variant<Box, Ellipse, Line, Text>;

// Where a shape that stands for a class or a diagram of the model was
// drawn, for picking that element with the pointer.
struct Area {
  double x, y, width, height;
  std::int32_t element;  // the class's or diagram's identifier
};

struct DisplayList {
  std::string title;
  double width = 0;  // the extent of everything drawn, with a margin
  double height = 0;
  std::vector<Item> items;  // drawn in order: later items lie on top
  std::vector<Area> areas;  // in drawing order: later areas lie on top
};

// The width a text takes at a size (an estimate from the average width of
// the sans-serif letters; layouts use it to size and place captions).
double TextWidth(const std::string& text, double size);

}  // namespace drvx::modelhost::render
