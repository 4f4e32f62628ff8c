#include "layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

#include "code_model.h"
#include "mmapi/cxx/utf.h"
#include "palette.h"
#include "project.h"
#include "text_metrics.h"

namespace drvx::modelhost::render {
namespace {

using mmapi::cxx::ToUtf8;

constexpr double kCaption = 12;
constexpr double kSmall = 10;
constexpr double kLine = 15;        // the height of a line of caption text
constexpr double kMemberLine = kSmall + 3;
constexpr double kPad = 6;          // between a text and what holds it
constexpr double kGap = 16;         // between boxes pushed apart
constexpr double kLoopWidth = 30;   // of a self-message
constexpr double kBarWidth = 10;    // of an activation bar
constexpr double kAbove = 4;        // from a caption's baseline to its line

struct Rect {
  double x, y, w, h;
  Point Centre() const { return {x + w / 2, y + h / 2}; }
  double Right() const { return x + w; }
  double Bottom() const { return y + h; }
};

// Where the line from the rectangle's centre towards `to` leaves it.
Point Edge(const Rect& r, Point to) {
  const Point c = r.Centre();
  const double dx = to.x - c.x, dy = to.y - c.y;
  if (dx == 0 && dy == 0) return c;
  const double sx = dx != 0 ? (r.w / 2) / std::abs(dx) : 1e300;
  const double sy = dy != 0 ? (r.h / 2) / std::abs(dy) : 1e300;
  const double s = std::min(sx, sy);
  return {c.x + dx * s, c.y + dy * s};
}

// The model class a class symbol stands for: its first class hyperlink.
const ModelClass* ClassOf(const ModelShape& s) {
  if (!s.Attached()) return nullptr;
  for (const auto& link : s.hyperlinks)
    if (link.kind == mmapi::hkClass)
      if (auto* e = s.Project().FindTarget(link.kind, link.targetId);
          e && e->Kind() == ElementKind::Class)
        return static_cast<const ModelClass*>(e);
  return nullptr;
}

// A class symbol's member lines: the data first, then the operations.
std::vector<std::string> MemberLines(const ModelClass& cls) {
  std::vector<std::string> lines;
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& m : cls.members) {
      const bool operation = m->category == mmapi::mcMethod || m->category == mmapi::mcEvent;
      if (operation != (pass == 1)) continue;
      std::string line = ToUtf8(m->name) + (operation ? "()" : "");
      if (!m->typeName.empty()) line += ": " + ToUtf8(m->typeName);
      lines.push_back(std::move(line));
    }
  return lines;
}

FontStyle RoleFont(const ModelShape& role) {
  const bool actor = IsActor(role);
  return {!actor, actor};
}

// How large a shape must be to hold its texts: a class box its name and
// every member, a role's head its name. The model's size is the least.
std::pair<double, double> SizeOf(const ModelShape& s) {
  double w = s.width, h = s.height;
  const std::u16string& kind = s.ClassName();
  if (kind == u"ClassSymbol") {
    w = std::max(w, TextWidth(ToUtf8(s.name), kCaption, {true}) + 2 * kPad);
    double content = kLine + 6 + kPad;
    if (const ModelClass* cls = ClassOf(s))
      for (const std::string& line : MemberLines(*cls)) {
        w = std::max(w, TextWidth(line, kSmall) + 2 * kPad);
        content += kMemberLine;
      }
    h = std::max(h, content);
  } else if (s.IsRole()) {
    w = std::max(w, TextWidth(ToUtf8(s.name), kCaption, RoleFont(s)) + 2 * kPad);
    h = std::max(h, LineSpacing(kCaption) + 2 * kPad);
  } else if (kind == u"UseCaseSymbol") {  // an ellipse holds its text in its middle 70 %
    w = std::max(w, TextWidth(ToUtf8(s.name), kCaption) / 0.7 + 2 * kPad);
  } else if (kind == u"ActionSymbol" || kind == u"StateSymbol" || kind == u"DiagramLink") {
    w = std::max(w, TextWidth(ToUtf8(s.name), kCaption) + 2 * kPad + 12);
  } else if (kind == u"PackageSymbol") {
    w = std::max(w, TextWidth(ToUtf8(s.name), kCaption, {true}) + 2 * kPad);
  }
  return {w, h};
}

// Collects the items and the extent of what they cover, and knows where
// each shape stands on the diagram. Captions are drawn last, each on a
// background of its own, so that no line crosses them.
class Canvas {
 public:
  // `spread` stretches the positions of the shapes at the top (not inside
  // another) so that shapes grown to hold their texts stay apart.
  Canvas(DisplayList& list, Point spread) : list_(list), spread_(spread) {}

  // The shape's rectangle in the diagram's coordinates. A symbol's position
  // is relative to its parent's: each is summed once, then kept, so that
  // drawing stays linear in the number of shapes however deep they nest.
  Rect RectOf(const ModelShape& s) {
    std::vector<const ModelShape*> chain;  // up to the first one placed
    const ModelShape* p = &s;
    for (; p && !rects_.count(p); p = p->parent.Get()) chain.push_back(p);
    Point at = p ? Point{rects_[p].x, rects_[p].y} : Point{};
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      const ModelShape& shape = **it;
      if (shape.parent) at = {at.x + shape.x, at.y + shape.y};
      else at = {shape.x * spread_.x, shape.y * spread_.y};
      const auto [w, h] = SizeOf(shape);
      rects_[&shape] = {at.x, at.y, w, h};
    }
    return rects_[&s];
  }
  void HeadsEndAt(double y) { headBottom_ = y; }
  // Places a shape elsewhere (a role's head pushed aside).
  void Place(const ModelShape& s, const Rect& r) { rects_[&s] = r; }
  // Notes a symbol drawn, and whether a rectangle lies on any noted.
  void Drawn(const Rect& r) { drawn_.push_back(r); }
  bool OnDrawn(const Rect& r) const {
    return std::any_of(drawn_.begin(), drawn_.end(), [&r](const Rect& d) {
      return r.x < d.Right() && d.x < r.Right() && r.y < d.Bottom() && d.y < r.Bottom();
    });
  }

  void Add(Item item) {
    const Extent e = ExtentOf(item);
    minX_ = std::min(minX_, e.left), maxX_ = std::max(maxX_, e.right);
    minY_ = std::min(minY_, e.top), maxY_ = std::max(maxY_, e.bottom);
    list_.items.push_back(std::move(item));
  }
  // A text inside a shape.
  void Label(double x, double y, const std::string& text, Anchor anchor = Anchor::Middle,
             double size = kCaption, FontStyle font = {}) {
    if (!text.empty()) Add(Text{x, y, text, size, anchor, font.bold, font.italic});
  }
  // A text beside a line, drawn over everything else.
  void Caption(double x, double y, const std::string& text, Anchor anchor = Anchor::Middle) {
    if (!text.empty()) captions_.push_back(Text{x, y, text, kSmall, anchor});
  }
  // A caption that keeps off every symbol and caption noted, as far as it
  // can: at the first of the places given where it is clear, else the first.
  void CaptionClear(const std::vector<Rect>& places, const std::string& text) {
    const auto clear = std::find_if(places.begin(), places.end(), [this](const Rect& r) { return !OnDrawn(r); });
    const Rect& r = clear != places.end() ? *clear : places.front();
    Drawn(r);
    Caption(r.x, r.y + TextAscent(kSmall), text, Anchor::Start);
  }
  void Mark(const Rect& r, std::int32_t element) {
    list_.areas.push_back({r.x, r.y, r.w, r.h, element});
  }
  void Finish() {
    for (Text& t : captions_) {
      const Extent e = ExtentOf(t);
      Add(Box{e.left - 2, e.top, e.right - e.left + 4, e.bottom - e.top, 0, Fill::Paper, Stroke::None});
      Add(std::move(t));
    }
    if (minX_ > maxX_) minX_ = maxX_ = minY_ = maxY_ = 0;
    list_.x = std::floor(minX_ - kMargin);
    list_.y = std::floor(minY_ - kMargin);
    list_.width = std::ceil(maxX_ + kMargin) - list_.x;
    list_.height = std::ceil(maxY_ + kMargin) - list_.y;
    list_.headBottom = std::max(list_.y, headBottom_);
  }

 private:
  DisplayList& list_;
  Point spread_;
  static constexpr double kNone = std::numeric_limits<double>::infinity();
  double minX_ = kNone, maxX_ = -kNone, minY_ = kNone, maxY_ = -kNone;
  std::unordered_map<const ModelShape*, Rect> rects_;
  std::vector<Rect> drawn_;
  double headBottom_ = -std::numeric_limits<double>::infinity();
  std::vector<Text> captions_;
};

// How far the positions of the top shapes must be stretched (each way, at
// least 1) so that no two of them that stood apart in the model overlap
// once grown to hold their texts. Only a shape that grew can reach one it
// did not reach before, and only one whose left (top) edge lies within
// what it grew by: each grown shape looks at those alone, found in the
// shapes sorted by their left (top) edges.
Point Spread(const ModelDiagram& d) {
  struct Top {
    double x, y, w0, h0, w, h;
  };
  std::vector<Top> tops;
  for (const ModelShape* s : d.symbols) {
    if (s->parent || s->IsRole()) continue;
    const auto [w, h] = SizeOf(*s);
    tops.push_back({double(s->x), double(s->y), double(s->width), double(s->height), w, h});
  }
  std::vector<const Top*> byX, byY;
  for (const Top& t : tops) byX.push_back(&t), byY.push_back(&t);
  std::sort(byX.begin(), byX.end(), [](const Top* a, const Top* b) { return a->x < b->x; });
  std::sort(byY.begin(), byY.end(), [](const Top* a, const Top* b) { return a->y < b->y; });
  Point spread{1, 1};
  for (const Top& a : tops) {
    if (a.w > a.w0) {
      const auto from = std::lower_bound(byX.begin(), byX.end(), a.x + a.w0,
                                         [](const Top* t, double x) { return t->x < x; });
      for (auto b = from; b != byX.end() && (*b)->x < a.x + a.w; ++b)
        if (a.y < (*b)->y + (*b)->h && (*b)->y < a.y + a.h && (*b)->x > a.x)
          spread.x = std::max(spread.x, (a.w + kGap) / ((*b)->x - a.x));
    }
    if (a.h > a.h0) {
      const auto from = std::lower_bound(byY.begin(), byY.end(), a.y + a.h0,
                                         [](const Top* t, double y) { return t->y < y; });
      for (auto b = from; b != byY.end() && (*b)->y < a.y + a.h; ++b)
        if (a.x < (*b)->x + (*b)->w && (*b)->x < a.x + a.w && a.x + a.w0 > (*b)->x && (*b)->y > a.y)
          spread.y = std::max(spread.y, (a.h + kGap) / ((*b)->y - a.y));
    }
  }
  return spread;
}

// The class or diagram a symbol stands for: its first hyperlink to one.
const ModelElement* ElementOf(const ModelShape& s) {
  if (!s.Attached()) return nullptr;
  for (const auto& link : s.hyperlinks)
    if (auto* e = s.Project().FindTarget(link.kind, link.targetId);
        e && (e->Kind() == ElementKind::Class || e->Kind() == ElementKind::Diagram))
      return e;
  return nullptr;
}

// The member a message calls: its first member hyperlink, or 0.
std::int32_t MemberOf(const ModelShape& m) {
  if (!m.Attached()) return 0;
  for (const auto& link : m.hyperlinks)
    if (link.kind == mmapi::hkMember)
      if (auto* e = m.Project().FindTarget(link.kind, link.targetId); e && e->Kind() == ElementKind::Member)
        return e->ElementId();
  return 0;
}

void MarkElement(Canvas& c, const ModelShape& s, const Rect& r) {
  if (const ModelElement* element = ElementOf(s)) c.Mark(r, element->ElementId());
}

void ClassSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  c.Add(Box{r.x, r.y, r.w, r.h});
  c.Label(r.x + r.w / 2, r.y + kLine, ToUtf8(s.name), Anchor::Middle, kCaption, {true});
  const ModelClass* cls = ClassOf(s);
  if (!cls) return;
  const double top = r.y + kLine + 6;
  c.Add(Line{{{r.x, top}, {r.x + r.w, top}}});
  const std::vector<std::string> lines = MemberLines(*cls);
  for (std::size_t i = 0; i < lines.size(); ++i)
    c.Label(r.x + kPad, top + double(i + 1) * kMemberLine, lines[i], Anchor::Start, kSmall);
}

// The text broken at blanks into lines no wider than `width`; a word wider
// than that stands on a line of its own.
std::vector<std::string> Wrap(const std::string& text, double width, double size) {
  std::vector<std::string> lines(1);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of(" \n", start);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(start, end - start);
    std::string& line = lines.back();
    const std::string joined = line.empty() ? word : line + " " + word;
    if (line.empty() || TextWidth(joined, size) <= width) line = joined;
    else lines.push_back(word);
    if (end < text.size() && text[end] == '\n') lines.emplace_back();
    start = end + 1;
  }
  return lines;
}

void NoteSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  const double fold = std::min(12.0, std::min(r.w, r.h) / 3);
  c.Add(Line{{{r.x, r.y}, {r.x + r.w - fold, r.y}, {r.x + r.w, r.y + fold}, {r.x + r.w, r.y + r.h},
              {r.x, r.y + r.h}, {r.x, r.y}}});
  c.Add(Line{{{r.x + r.w - fold, r.y}, {r.x + r.w - fold, r.y + fold}, {r.x + r.w, r.y + fold}}});
  const auto lines = Wrap(ToUtf8(s.name), r.w - 12 - fold, kSmall);
  for (std::size_t i = 0; i < lines.size(); ++i)
    c.Label(r.x + 6, r.y + kLine + double(i) * kMemberLine, lines[i], Anchor::Start, kSmall);
}

void ActorSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  const double cx = r.x + r.w / 2;
  const double h = std::max(30.0, r.h - kLine);
  const double head = h / 8;
  c.Add(Ellipse{cx, r.y + head, head, head});
  c.Add(Line{{{cx, r.y + 2 * head}, {cx, r.y + h * 0.65}}});
  c.Add(Line{{{cx - h / 4, r.y + h * 0.35}, {cx + h / 4, r.y + h * 0.35}}});
  c.Add(Line{{{cx - h / 4, r.y + h}, {cx, r.y + h * 0.65}, {cx + h / 4, r.y + h}}});
  c.Label(cx, r.y + h + kLine - 2, ToUtf8(s.name));
}

void PackageSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  const double tab = std::min(r.w * 0.4, 80.0);
  c.Add(Box{r.x, r.y - 12, tab, 12, 0, Fill::Shade});
  c.Add(Box{r.x, r.y, r.w, r.h, 0, Fill::Shade});
  c.Label(r.x + 6, r.y + kLine, ToUtf8(s.name), Anchor::Start, kCaption, {true});
}

// A symbol that links to another diagram: a box with its caption (or, without
// one, the name of what it links to) and a link marker.
void LinkSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  c.Add(Box{r.x, r.y, r.w, r.h, 4});
  std::u16string_view caption = s.name;
  if (caption.empty() && !s.hyperlinks.empty()) caption = s.hyperlinks.front().name;
  c.Label(r.x + r.w / 2, r.y + r.h / 2 + 4, ToUtf8(std::u16string(caption)));
  c.Label(r.x + r.w - 4, r.y + kSmall + 2, "\xE2\x86\x97", Anchor::End, kSmall);  // ↗
}

void Symbol(Canvas& c, const ModelShape& s) {
  const Rect r = c.RectOf(s);
  MarkElement(c, s, r);
  const std::u16string& kind = s.ClassName();
  const std::string caption = ToUtf8(s.name);
  if (kind == u"ClassSymbol") return ClassSymbol(c, s, r);
  if (kind == u"NoteSymbol") return NoteSymbol(c, s, r);
  if (kind == u"ActorSymbol") return ActorSymbol(c, s, r);
  if (kind == u"PackageSymbol") return PackageSymbol(c, s, r);
  if (kind == u"DiagramLink") return LinkSymbol(c, s, r);
  if (kind == u"UseCaseSymbol") {
    c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, r.w / 2, r.h / 2});
    return c.Label(r.x + r.w / 2, r.y + r.h / 2 + 4, caption);
  }
  if (kind == u"ActionSymbol" || kind == u"StateSymbol") {
    c.Add(Box{r.x, r.y, r.w, r.h, 12});
    return c.Label(r.x + r.w / 2, r.y + r.h / 2 + 4, caption);
  }
  if (kind == u"InitialState") return c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 8, 8, Fill::Ink});
  if (kind == u"FinalState") {
    c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 11, 11});
    return c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 7, 7, Fill::Ink});
  }
  // Unknown: a box with the caption and the class in guillemets.
  c.Add(Box{r.x, r.y, r.w, r.h});
  c.Label(r.x + r.w / 2, r.y + kLine, "\xC2\xAB" + ToUtf8(kind) + "\xC2\xBB", Anchor::Middle,
          kSmall, {false, true});
  c.Label(r.x + r.w / 2, r.y + 2 * kLine + 2, caption);
}

// Where the line from a shape's centre towards `to` leaves its outline: an
// ellipse's for a use case, its rectangle's for the others.
Point EdgeOf(const ModelShape& s, const Rect& r, Point to) {
  if (s.ClassName() != u"UseCaseSymbol" || r.w <= 0 || r.h <= 0) return Edge(r, to);
  const Point c = r.Centre();
  const double dx = to.x - c.x, dy = to.y - c.y;
  const double scale = std::hypot(dx / (r.w / 2), dy / (r.h / 2));
  return scale > 0 ? Point{c.x + dx / scale, c.y + dy / scale} : c;
}

void Association(Canvas& c, const ModelShape& a) {
  const Rect from = c.RectOf(*a.source), to = c.RectOf(*a.target);
  Line line;
  if (a.source == a.target) {  // a loop on the symbol's right edge
    const double x = from.x + from.w, y = from.y + from.h / 2;
    line.points = {{x, y - 10}, {x + 25, y - 10}, {x + 25, y + 10}, {x, y + 10}};
  } else {
    line.points = {EdgeOf(*a.source, from, to.Centre()), EdgeOf(*a.target, to, from.Centre())};
  }
  const std::u16string& kind = a.ClassName();
  if (kind == u"transition") line.head = Head::Filled;
  if (kind == u"dependency") line.head = Head::Open, line.stroke = Stroke::Dashed;
  const Point p = line.points.front(), q = line.points.back();
  c.Add(std::move(line));
  // Beside the line, above (or below) one that runs across, to the right
  // (or left) of one that runs up or down: at its middle, or nearer an end
  // where the middle lies on a symbol or caption.
  const std::string caption = ToUtf8(a.name);
  if (caption.empty()) return;
  const bool across = std::abs(q.x - p.x) >= std::abs(q.y - p.y);
  const double w = TextWidth(caption, kSmall), h = LineSpacing(kSmall);
  std::vector<Rect> places;
  for (const double t : {0.5, 0.3, 0.7, 0.15, 0.85}) {
    const Point at{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
    places.push_back(across ? Rect{at.x - w / 2, at.y - kAbove - h, w, h}
                            : Rect{at.x + kPad, at.y - h / 2, w, h});
    places.push_back(across ? Rect{at.x - w / 2, at.y + kAbove, w, h}
                            : Rect{at.x - kPad - w, at.y - h / 2, w, h});
  }
  c.CaptionClear(places, caption);
}

// ---- sequence diagrams

// A message between two lifelines, by their indexes left to right.
struct Message {
  const ModelShape* shape;
  std::size_t from, to;
  int start, end;  // model times
  std::string caption;
};

// A frame of a sequence diagram: a loop around messages, or a marker of
// what was lost across every lifeline.
struct Frame {
  const ModelShape* shape;
  bool lost;
  int start, end;  // model times
  std::string caption;
  int inside = 0;   // how deep frames nest inside it
  int starting = 0; // frames inside it that start with it
  int ending = 0;   // frames inside it that end with it
};

constexpr double kTab = kSmall + 7;  // the height of a frame's label tab
constexpr double kFrameBelow = 8;    // from a frame's last message to its edge, per frame ending there

// Extra room a time needs from the line before it (a frame's tabs) and
// gives the time after it (a frame's lower edge).
struct Room {
  int time;
  double before = 0, after = 0;
};

// The heights of model times: at least as far apart as in the model, and
// each message with a caption far enough below the message line before it
// that its caption fits between them, with room for the frames' tabs above
// where they start and their edges below where they end.
class TimeScale {
 public:
  TimeScale(double top, const std::vector<Message>& messages, std::vector<int> times,
            const std::vector<Room>& rooms) {
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    std::vector<bool> captioned(times.size()), line(times.size());
    std::vector<double> before(times.size()), after(times.size());
    for (const Message& m : messages) {
      const std::size_t s = Index(times, m.start);
      line[s] = line[Index(times, m.end)] = true;
      if (!m.caption.empty()) captioned[s] = true;
    }
    for (const Room& r : rooms) {
      const std::size_t k = Index(times, r.time);
      before[k] = std::max(before[k], r.before);
      after[k] = std::max(after[k], r.after);
    }
    // Below a frame's lower edge (`floor`) the next message line keeps clear
    // of it; an activation that ends just after the frame's last message
    // stays inside.
    double y = top, lastLine = top, floor = top;
    int previous = 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
      y += times[k] - previous;
      const double need = (captioned[k] ? LineSpacing(kSmall) + kAbove + 2 : 0) + before[k];
      if (need > 0) y = std::max(y, lastLine + need);
      if (line[k] || need > 0) y = std::max(y, floor + need + 4);
      if (line[k]) lastLine = y;
      if (after[k] > 0) floor = std::max(floor, y + after[k]);
      previous = times[k];
      heights_.push_back(y);
    }
    times_ = std::move(times);
  }
  double At(int time) const { return heights_[Index(times_, time)]; }
  double Bottom() const { return heights_.empty() ? 0 : heights_.back(); }

 private:
  static std::size_t Index(const std::vector<int>& times, int time) {
    return std::size_t(std::lower_bound(times.begin(), times.end(), time) - times.begin());
  }
  std::vector<int> times_;
  std::vector<double> heights_;
};

// The diagram's frames, each knowing the frames that nest inside it.
std::vector<Frame> FramesOf(const ModelDiagram& d) {
  std::vector<Frame> frames;
  for (const ModelShape* s : d.symbols)
    if (IsFrame(*s)) {
      const std::u16string* kind = s->FindProperty(u"FrameKind");
      const int start = NumberProperty(*s, u"StartTime", 0);
      frames.push_back({s, kind && *kind == u"lost", start,
                        std::max(start, NumberProperty(*s, u"EndTime", 0)), ToUtf8(s->name)});
    }
  // Inner frames first: a frame inside another spans less time.
  std::stable_sort(frames.begin(), frames.end(),
                   [](const Frame& a, const Frame& b) { return a.end - a.start < b.end - b.start; });
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = 0; j < i; ++j) {
      Frame& outer = frames[i];
      const Frame& inner = frames[j];
      if (outer.lost || inner.lost || inner.start < outer.start || inner.end > outer.end) continue;
      outer.inside = std::max(outer.inside, inner.inside + 1);
      if (inner.start == outer.start) outer.starting = std::max(outer.starting, inner.starting + 1);
      if (inner.end == outer.end) outer.ending = std::max(outer.ending, inner.ending + 1);
    }
  return frames;
}

// A loop's frame around the lifelines of the messages it holds, its label in
// a tab at its top left; a lost marker a band across every lifeline.
void DrawFrames(Canvas& c, const std::vector<Frame>& frames, const std::vector<Message>& messages,
                const std::vector<double>& centre, const TimeScale& scale) {
  if (centre.empty()) return;
  const double caption = LineSpacing(kSmall) + kAbove + 2;
  for (const Frame& f : frames) {
    const double w = TextWidth(f.caption, kSmall, {true}) + 2 * kPad;
    if (f.lost) {
      const double y = scale.At(f.start);
      const double left = centre.front() - 2 * kGap, right = centre.back() + 2 * kGap;
      c.Add(Box{left, y - caption + 2, right - left, caption, 0, Fill::Shade, Stroke::Dashed});
      c.Label((left + right) / 2, y - kAbove, f.caption, Anchor::Middle, kSmall, {true});
      continue;
    }
    double left = std::numeric_limits<double>::infinity(), right = -left;
    for (const Message& m : messages) {
      if (m.start < f.start || m.start > f.end) continue;
      left = std::min({left, centre[m.from], centre[m.to]});
      right = std::max({right, centre[m.from], centre[m.to]} ) + (m.from == m.to ? kLoopWidth : 0);
    }
    if (left > right) left = centre.front(), right = centre.back();
    const double pad = kBarWidth + 4 * double(f.inside + 1);
    left -= pad;
    right = std::max(right + pad, left + w + kGap);
    const double top = scale.At(f.start) - caption - double(f.starting + 1) * kTab;
    const double bottom = scale.At(f.end) + double(f.ending + 1) * kFrameBelow;
    c.Add(Box{left, top, right - left, bottom - top, 0, Fill::None});
    c.Add(Line{{{left, top + kTab}, {left + w - 4, top + kTab}, {left + w, top + kTab - 4}, {left + w, top}}});
    c.Label(left + kPad, top + kTab - 5, f.caption, Anchor::Start, kSmall, {true});
  }
}

void SequenceDiagram(Canvas& c, const ModelDiagram& d) {
  std::vector<const ModelShape*> roles;
  for (const ModelShape* s : d.symbols)
    if (s->IsRole()) roles.push_back(s);
  std::stable_sort(roles.begin(), roles.end(), [&c](const ModelShape* a, const ModelShape* b) {
    return c.RectOf(*a).x < c.RectOf(*b).x;
  });
  std::unordered_map<const ModelShape*, std::size_t> index;
  for (std::size_t i = 0; i < roles.size(); ++i) index[roles[i]] = i;

  std::vector<Message> messages;
  std::vector<const ModelShape*> others;
  std::vector<int> times;
  std::vector<Frame> frames = FramesOf(d);
  std::vector<Room> rooms;
  for (const Frame& f : frames) {
    times.push_back(f.start), times.push_back(f.end);
    if (f.lost) continue;
    rooms.push_back({f.start, (f.starting + 1) * kTab, 0});
    rooms.push_back({f.end, 0, (f.ending + 1) * kFrameBelow});
  }
  for (const ModelShape* m : d.associations) {
    if (m->ClassName() != u"sequencemessage" || !m->source->IsRole() || !m->target->IsRole()) {
      others.push_back(m);
      continue;
    }
    const int start = NumberProperty(*m, u"StartTime", 0);
    const int end = std::max(start, NumberProperty(*m, u"EndTime", 0));
    messages.push_back({m, index[m->source.Get()], index[m->target.Get()], start, end, ToUtf8(m->name)});
    times.push_back(start), times.push_back(end);
  }
  std::vector<std::vector<std::pair<int, int>>> bars(roles.size());
  for (std::size_t i = 0; i < roles.size(); ++i) {
    bars[i] = ActivationPairs(roles[i]->activations);
    for (const auto& [from, to] : bars[i]) times.push_back(from), times.push_back(to);
  }

  // Lifelines left to right, each at least as far right as the model puts
  // it, its head clear of the one before, and as far from every lifeline
  // before it as the captions of the messages between them need.
  std::vector<std::vector<std::pair<std::size_t, double>>> room(roles.size());
  for (const Message& m : messages) {
    if (m.caption.empty()) continue;
    const double width = TextWidth(m.caption, kSmall);
    if (m.from == m.to) {
      if (m.to + 1 < roles.size())
        room[m.to + 1].push_back({m.to, std::max(kLoopWidth, kBarWidth / 2 + 2 + width) + kPad});
    } else {
      room[std::max(m.from, m.to)].push_back({std::min(m.from, m.to), width + 2 * kPad + kBarWidth});
    }
  }
  std::vector<double> centre(roles.size());
  double right = -std::numeric_limits<double>::infinity(), top = 0;
  for (std::size_t i = 0; i < roles.size(); ++i) {
    Rect r = c.RectOf(*roles[i]);
    double mid = std::max(r.x, right + kGap) + r.w / 2;
    for (const auto& [before, need] : room[i]) mid = std::max(mid, centre[before] + need);
    r.x = mid - r.w / 2;
    c.Place(*roles[i], r);
    centre[i] = mid;
    right = r.Right();
    top = std::max(top, r.Bottom());
  }

  c.HeadsEndAt(top + kPad);
  const TimeScale scale(top, messages, times, rooms);
  const double bottom = std::max(top + 40, scale.Bottom() + 30);
  for (std::size_t i = 0; i < roles.size(); ++i) {
    const Rect r = c.RectOf(*roles[i]);
    MarkElement(c, *roles[i], r);
    c.Add(Box{r.x, r.y, r.w, r.h, 0, Fill::Shade});
    c.Label(centre[i], r.y + r.h / 2 + (TextAscent(kCaption) - TextDescent(kCaption)) / 2,
            ToUtf8(roles[i]->name), Anchor::Middle, kCaption, RoleFont(*roles[i]));
    c.Add(Line{{{centre[i], r.Bottom()}, {centre[i], bottom}}, Stroke::Dashed});
  }
  for (std::size_t i = 0; i < roles.size(); ++i)
    for (const auto& [from, to] : bars[i])
      c.Add(Box{centre[i] - kBarWidth / 2, scale.At(from), kBarWidth, scale.At(to) - scale.At(from),
                0, Fill::Shade});
  DrawFrames(c, frames, messages, centre, scale);
  for (const ModelShape* m : others) Association(c, *m);
  for (const Message& m : messages) {
    const bool reply = IsReply(*m.shape);
    Line line;
    line.head = reply ? Head::Open : Head::Filled;
    line.stroke = reply ? Stroke::Dashed : Stroke::Solid;
    const double x1 = centre[m.from], x2 = centre[m.to];
    const double start = scale.At(m.start), end = scale.At(m.end);
    const double half = kBarWidth / 2;
    // A message picks the member it calls: its line and the caption above.
    if (const std::int32_t member = MemberOf(*m.shape)) {
      const double left = std::min(x1, x2);
      const double width = std::max(x1, x2) + (m.from == m.to ? kLoopWidth : 0) - left;
      const double above = start - kAbove - LineSpacing(kSmall);
      c.Mark({left, above, std::max(width, TextWidth(m.caption, kSmall) + kPad), end + kAbove - above}, member);
    }
    if (m.from == m.to) {
      line.points = {{x1 + half, start}, {x1 + kLoopWidth, start}, {x1 + kLoopWidth, end},
                     {x1 + half, end}};
      c.Add(std::move(line));
      c.Caption(x1 + half + 2, start - kAbove, m.caption, Anchor::Start);
      continue;
    }
    // The caption starts at the sender, where a reader's eye starts.
    const double side = x2 > x1 ? half : -half;
    line.points = {{x1 + side, start}, {x2 - side, end}};
    c.Add(std::move(line));
    if (x2 > x1) c.Caption(x1 + half + kPad, start - kAbove, m.caption, Anchor::Start);
    else c.Caption(x1 - half - kPad, start - kAbove, m.caption, Anchor::End);
  }
}

bool HasRoles(const ModelDiagram& d) {
  return std::any_of(d.symbols.begin(), d.symbols.end(), [](const auto* s) { return s->IsRole(); });
}

}  // namespace

bool IsActor(const ModelShape& role) {
  const std::u16string* kind = role.FindProperty(u"RoleKind");
  return kind && *kind == u"rkActor";
}

bool IsFrame(const ModelShape& s) { return s.ClassName() == u"sequenceframe"; }

bool IsReply(const ModelShape& message) {
  const std::u16string* kind = message.FindProperty(u"MessageKind");
  return kind && *kind == u"mkReturn";
}

int NumberProperty(const ModelShape& s, std::u16string_view key, int fallback) {
  const std::u16string* v = s.FindProperty(key);
  if (!v || v->empty()) return fallback;
  int n = 0;
  bool negative = false;
  std::size_t i = 0;
  if ((*v)[0] == u'-') negative = true, i = 1;
  for (; i < v->size(); ++i) {
    if ((*v)[i] < u'0' || (*v)[i] > u'9') return fallback;
    n = n * 10 + ((*v)[i] - u'0');
    if (n > 1000000000) return fallback;
  }
  return negative ? -n : n;
}

std::vector<std::pair<int, int>> ActivationPairs(std::u16string_view text) {
  std::vector<std::pair<int, int>> pairs;
  std::size_t i = 0;
  auto number = [&](int& out) {
    const std::size_t begin = i;
    bool negative = i < text.size() && text[i] == u'-';
    if (negative) ++i;
    long value = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9' && value < 1000000000)
      value = value * 10 + (text[i++] - u'0');
    out = int(negative ? -value : value);
    return i > begin + (negative ? 1 : 0);
  };
  while ((i = text.find(u'(', i)) != std::u16string_view::npos) {
    ++i;
    int from = 0, to = 0;
    if (!number(from) || i >= text.size() || text[i++] != u',' || !number(to) ||
        i >= text.size() || text[i] != u')')
      continue;
    if (to >= from) pairs.emplace_back(from, to);
  }
  return pairs;
}

DisplayList LayoutDiagram(const ModelDiagram& d) {
  DisplayList list;
  list.title = ToUtf8(d.name);
  Canvas c(list, Spread(d));
  if (HasRoles(d)) {
    for (const ModelShape* s : d.symbols)
      if (!s->IsRole() && !IsFrame(*s)) Symbol(c, *s);
    SequenceDiagram(c, d);
  } else {
    // Symbols in the order made: a parent comes before what it holds. The
    // lines' captions keep clear of them.
    for (const ModelShape* s : d.symbols) Symbol(c, *s), c.Drawn(c.RectOf(*s));
    for (const ModelShape* a : d.associations) Association(c, *a);
  }
  c.Finish();
  return list;
}

}  // namespace drvx::modelhost::render
