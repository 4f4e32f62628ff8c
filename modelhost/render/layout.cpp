#include "layout.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

#include "code_model.h"
#include "mmapi/cxx/utf.h"
#include "palette.h"
#include "project.h"

namespace drvx::modelhost::render {
namespace {

using mmapi::cxx::ToUtf8;

constexpr double kCaption = 12;
constexpr double kSmall = 10;
constexpr double kLine = 15;        // the height of a line of caption text
constexpr double kLoopWidth = 30;   // of a self-message
constexpr double kBarWidth = 10;    // of an activation bar

struct Rect {
  double x, y, w, h;
  Point Centre() const { return {x + w / 2, y + h / 2}; }
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

// Collects the items and the extent of what they cover, and knows where
// each shape stands on the diagram.
class Canvas {
 public:
  explicit Canvas(DisplayList& list) : list_(list) {}
  // The shape's rectangle in the diagram's coordinates. A symbol's position
  // is relative to its parent's: each is summed once, then kept, so that
  // drawing stays linear in the number of shapes however deep they nest.
  Rect RectOf(const ModelShape& s) {
    const Point at = Position(s);
    return {at.x, at.y, double(s.width), double(s.height)};
  }
  void Add(Item item) {
    std::visit([this](const auto& i) { Cover(i); }, item);
    list_.items.push_back(std::move(item));
  }
  void Caption(double x, double y, const std::string& text, Anchor anchor = Anchor::Middle,
               double size = kCaption, bool bold = false, bool italic = false) {
    if (!text.empty()) Add(Text{x, y, text, size, anchor, bold, italic});
  }
  void Mark(const Rect& r, std::int32_t element) {
    list_.areas.push_back({r.x, r.y, r.w, r.h, element});
  }
  void Finish() {
    list_.width = std::ceil(maxX_ + kMargin);
    list_.height = std::ceil(maxY_ + kMargin);
  }

 private:
  void Reach(double x, double y) {
    maxX_ = std::max(maxX_, x);
    maxY_ = std::max(maxY_, y);
  }
  void Cover(const Box& b) { Reach(b.x + b.width, b.y + b.height); }
  void Cover(const Ellipse& e) { Reach(e.cx + e.rx, e.cy + e.ry); }
  void Cover(const Line& l) {
    for (const Point& p : l.points) Reach(p.x, p.y);
  }
  void Cover(const Text& t) {
    const double w = TextWidth(t.text, t.size);
    Reach(t.anchor == Anchor::Start ? t.x + w : t.anchor == Anchor::Middle ? t.x + w / 2 : t.x,
          t.y + t.size / 3);
  }

  Point Position(const ModelShape& shape) {
    // The shape and its parents up to the first one already placed, placed
    // from the outermost down.
    std::vector<const ModelShape*> chain;
    const ModelShape* s = &shape;
    for (; s && !positions_.count(s); s = s->parent.Get()) chain.push_back(s);
    Point at = s ? positions_[s] : Point{};
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      at = {at.x + (*it)->x, at.y + (*it)->y};
      positions_[*it] = at;
    }
    return at;
  }

  DisplayList& list_;
  double maxX_ = 0, maxY_ = 0;
  std::unordered_map<const ModelShape*, Point> positions_;
};

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

// The class or diagram a symbol stands for: its first hyperlink to one.
const ModelElement* ElementOf(const ModelShape& s) {
  if (!s.Attached()) return nullptr;
  for (const auto& link : s.hyperlinks)
    if (auto* e = s.Project().FindTarget(link.kind, link.targetId);
        e && (e->Kind() == ElementKind::Class || e->Kind() == ElementKind::Diagram))
      return e;
  return nullptr;
}

void MarkElement(Canvas& c, const ModelShape& s, const Rect& r) {
  if (const ModelElement* element = ElementOf(s)) c.Mark(r, element->ElementId());
}

void ClassSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  c.Add(Box{r.x, r.y, r.w, r.h});
  c.Caption(r.x + r.w / 2, r.y + kLine, ToUtf8(s.name), Anchor::Middle, kCaption, true);
  const ModelClass* cls = ClassOf(s);
  if (!cls) return;
  const double top = r.y + kLine + 6;
  c.Add(Line{{{r.x, top}, {r.x + r.w, top}}});
  // Data first, then the operations, as far as the box has room.
  std::vector<std::string> lines;
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& m : cls->members) {
      const bool operation = m->category == mmapi::mcMethod || m->category == mmapi::mcEvent;
      if (operation != (pass == 1)) continue;
      std::string line = ToUtf8(m->name) + (operation ? "()" : "");
      if (!m->typeName.empty()) line += ": " + ToUtf8(m->typeName);
      lines.push_back(std::move(line));
    }
  const std::size_t room = std::size_t(std::max(0.0, (r.y + r.h - top - 4) / (kSmall + 3)));
  for (std::size_t i = 0; i < lines.size() && i < room; ++i) {
    const bool cut = i + 1 == room && lines.size() > room;
    c.Caption(r.x + 6, top + (i + 1) * (kSmall + 3), cut ? "…" : lines[i], Anchor::Start, kSmall);
  }
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
    c.Caption(r.x + 6, r.y + kLine + double(i) * (kSmall + 3), lines[i], Anchor::Start, kSmall);
}

void ActorSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  const double cx = r.x + r.w / 2;
  const double h = std::max(30.0, r.h - kLine);
  const double head = h / 8;
  c.Add(Ellipse{cx, r.y + head, head, head});
  c.Add(Line{{{cx, r.y + 2 * head}, {cx, r.y + h * 0.65}}});
  c.Add(Line{{{cx - h / 4, r.y + h * 0.35}, {cx + h / 4, r.y + h * 0.35}}});
  c.Add(Line{{{cx - h / 4, r.y + h}, {cx, r.y + h * 0.65}, {cx + h / 4, r.y + h}}});
  c.Caption(cx, r.y + h + kLine - 2, ToUtf8(s.name));
}

void PackageSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  const double tab = std::min(r.w * 0.4, 80.0);
  c.Add(Box{r.x, r.y - 12, tab, 12, 0, Fill::Shade});
  c.Add(Box{r.x, r.y, r.w, r.h, 0, Fill::Shade});
  c.Caption(r.x + 6, r.y + kLine, ToUtf8(s.name), Anchor::Start, kCaption, true);
}

// A symbol that links to another diagram: a box with its caption (or, without
// one, the name of what it links to) and a link marker.
void LinkSymbol(Canvas& c, const ModelShape& s, const Rect& r) {
  c.Add(Box{r.x, r.y, r.w, r.h, 4});
  std::u16string_view caption = s.name;
  if (caption.empty() && !s.hyperlinks.empty()) caption = s.hyperlinks.front().name;
  c.Caption(r.x + r.w / 2, r.y + r.h / 2 + 4, ToUtf8(std::u16string(caption)));
  c.Caption(r.x + r.w - 4, r.y + kSmall + 2, "\xE2\x86\x97", Anchor::End, kSmall);  // ↗
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
    return c.Caption(r.x + r.w / 2, r.y + r.h / 2 + 4, caption);
  }
  if (kind == u"ActionSymbol" || kind == u"StateSymbol") {
    c.Add(Box{r.x, r.y, r.w, r.h, 12});
    return c.Caption(r.x + r.w / 2, r.y + r.h / 2 + 4, caption);
  }
  if (kind == u"InitialState") return c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 8, 8, Fill::Ink});
  if (kind == u"FinalState") {
    c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 11, 11});
    return c.Add(Ellipse{r.x + r.w / 2, r.y + r.h / 2, 7, 7, Fill::Ink});
  }
  // Unknown: a box with the caption and the class in guillemets.
  c.Add(Box{r.x, r.y, r.w, r.h});
  c.Caption(r.x + r.w / 2, r.y + kLine, "\xC2\xAB" + ToUtf8(kind) + "\xC2\xBB", Anchor::Middle,
            kSmall, false, true);
  c.Caption(r.x + r.w / 2, r.y + 2 * kLine + 2, caption);
}

void Association(Canvas& c, const ModelShape& a) {
  const Rect from = c.RectOf(*a.source), to = c.RectOf(*a.target);
  Line line;
  if (a.source == a.target) {  // a loop on the symbol's right edge
    const double x = from.x + from.w, y = from.y + from.h / 2;
    line.points = {{x, y - 10}, {x + 25, y - 10}, {x + 25, y + 10}, {x, y + 10}};
  } else {
    line.points = {Edge(from, to.Centre()), Edge(to, from.Centre())};
  }
  const std::u16string& kind = a.ClassName();
  if (kind == u"transition") line.head = Head::Filled;
  if (kind == u"dependency") line.head = Head::Open, line.stroke = Stroke::Dashed;
  const Point p = line.points.front(), q = line.points.back();
  c.Add(std::move(line));
  c.Caption((p.x + q.x) / 2, (p.y + q.y) / 2 - 4, ToUtf8(a.name), Anchor::Middle, kSmall);
}

// ---- sequence diagrams

void SequenceDiagram(Canvas& c, const ModelDiagram& d) {
  std::vector<const ModelShape*> roles;
  double top = 0;
  for (const ModelShape* s : d.symbols)
    if (s->IsRole()) {
      roles.push_back(s);
      top = std::max(top, c.RectOf(*s).y + c.RectOf(*s).h);
    }
  auto lifelineX = [&c](const ModelShape& role) { return c.RectOf(role).Centre().x; };
  double bottom = top + 40;
  for (const ModelShape* m : d.associations)
    bottom = std::max(bottom, top + std::max(NumberProperty(*m, u"StartTime", 0),
                                             NumberProperty(*m, u"EndTime", 0)) + 30.0);
  for (const ModelShape* role : roles) {
    for (const auto& [from, to] : ActivationPairs(role->activations))
      bottom = std::max(bottom, top + to + 20.0);
  }
  for (const ModelShape* role : roles) {
    const Rect r = c.RectOf(*role);
    MarkElement(c, *role, r);
    c.Add(Box{r.x, r.y, r.w, r.h, 0, Fill::Shade});
    const std::u16string* kind = role->FindProperty(u"RoleKind");
    const bool actor = kind && *kind == u"rkActor";
    c.Caption(r.x + r.w / 2, r.y + r.h / 2 + 4, ToUtf8(role->name), Anchor::Middle, kCaption,
              !actor, actor);
    c.Add(Line{{{lifelineX(*role), r.y + r.h}, {lifelineX(*role), bottom}}, Stroke::Dashed});
  }
  for (const ModelShape* role : roles)
    for (const auto& [from, to] : ActivationPairs(role->activations))
      c.Add(Box{lifelineX(*role) - kBarWidth / 2, top + from, kBarWidth, double(to - from), 0,
                Fill::Shade});
  for (const ModelShape* m : d.associations) {
    if (m->ClassName() != u"sequencemessage" || !m->source->IsRole() || !m->target->IsRole()) {
      Association(c, *m);
      continue;
    }
    const double start = top + NumberProperty(*m, u"StartTime", 0);
    const double end = std::max(start, top + NumberProperty(*m, u"EndTime", 0));
    const std::u16string* kind = m->FindProperty(u"MessageKind");
    const bool reply = kind && *kind == u"mkReturn";
    Line line;
    line.head = reply ? Head::Open : Head::Filled;
    line.stroke = reply ? Stroke::Dashed : Stroke::Solid;
    const double x1 = lifelineX(*m->source), x2 = lifelineX(*m->target);
    const double half = kBarWidth / 2;
    if (m->source == m->target) {
      line.points = {{x1 + half, start}, {x1 + kLoopWidth, start}, {x1 + kLoopWidth, end},
                     {x1 + half, end}};
      c.Add(std::move(line));
      c.Caption(x1 + half + 2, start - 4, ToUtf8(m->name), Anchor::Start, kSmall);
      continue;
    }
    const double side = x2 > x1 ? half : -half;
    line.points = {{x1 + side, start}, {x2 - side, end}};
    c.Add(std::move(line));
    c.Caption((x1 + x2) / 2, start - 4, ToUtf8(m->name), Anchor::Middle, kSmall);
  }
}

bool HasRoles(const ModelDiagram& d) {
  return std::any_of(d.symbols.begin(), d.symbols.end(), [](const auto* s) { return s->IsRole(); });
}

}  // namespace

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

double TextWidth(const std::string& text, double size) {
  std::size_t characters = 0;
  for (const char ch : text) characters += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
  return double(characters) * size * 0.6;
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
  Canvas c(list);
  if (HasRoles(d)) {
    for (const ModelShape* s : d.symbols)
      if (!s->IsRole()) Symbol(c, *s);
    SequenceDiagram(c, d);
  } else {
    // Symbols in the order made: a parent comes before what it holds.
    for (const ModelShape* s : d.symbols) Symbol(c, *s);
    for (const ModelShape* a : d.associations) Association(c, *a);
  }
  c.Finish();
  return list;
}

}  // namespace drvx::modelhost::render
