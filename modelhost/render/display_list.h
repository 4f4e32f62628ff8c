// What a diagram looks like, as plain data: boxes, ellipses, lines and texts
// in the diagram's coordinates. The layout makes it from the model; the SVG
// writer (whose pictures are also what is printed) and the desktop host's
// canvas draw it. Texts are UTF-8, in the font the palette names.
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

enum class Stroke { Solid, Dashed, None };  // None: a fill alone
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
// drawn, or a message that calls a member, for picking that element with the
// pointer.
struct Area {
  double x, y, width, height;
  std::int32_t element;  // the class's, diagram's or member's identifier
};

struct DisplayList {
  std::string title;
  // The picture: everything drawn and a margin on every side, from its top
  // left corner (x, y).
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  // Where a sequence diagram's role heads end (each page of it repeats
  // what lies above); the picture's top for other diagrams.
  double headBottom = 0;
  std::vector<Item> items;  // drawn in order: later items lie on top
  std::vector<Area> areas;  // in drawing order: later areas lie on top
};

// The rectangle an item covers (a text's from its font's metrics).
struct Extent {
  double left, top, right, bottom;
};
Extent ExtentOf(const Item& item);

}  // namespace drvx::modelhost::render
