// A recording's diagram as lines in time order, for tests to compare whole:
// "A->B Run" a call, "B-->A" a return, "[loop ×3" and "]" a loop's frame
// around what it holds, "! lost: batch 2" a gap's marker.
#pragma once

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "diagrams.h"
#include "layout.h"
#include "mmapi/cxx/utf.h"

namespace drvx::test {

inline std::vector<std::string> RecordingScript(const modelhost::ModelDiagram& d) {
  using modelhost::render::NumberProperty;
  using mmapi::cxx::ToUtf8;
  struct Line {
    int time, order, span;  // order: 0 a frame opens, 1 a message or marker, 2 a frame closes
    std::size_t made;
    std::string text;
  };
  std::vector<Line> lines;
  for (const auto* m : d.associations) {
    const bool reply = modelhost::render::IsReply(*m);
    const std::string from = ToUtf8(m->source->name), to = ToUtf8(m->target->name);
    lines.push_back({NumberProperty(*m, u"StartTime", 0), 1, 0, lines.size(),
                     reply ? from + "-->" + to : from + "->" + to + " " + ToUtf8(m->name)});
  }
  for (const auto* s : d.symbols) {
    if (s->ClassName() != u"sequenceframe") continue;
    const int start = NumberProperty(*s, u"StartTime", 0), end = NumberProperty(*s, u"EndTime", 0);
    const std::u16string* kind = s->FindProperty(u"FrameKind");
    if (kind && *kind == u"lost") {
      lines.push_back({start, 1, 0, lines.size(), "! " + ToUtf8(s->name)});
      continue;
    }
    lines.push_back({start, 0, -(end - start), lines.size(), "[" + ToUtf8(s->name)});
    lines.push_back({end, 2, end - start, lines.size(), "]"});
  }
  std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
    return std::tie(a.time, a.order, a.span, a.made) < std::tie(b.time, b.order, b.span, b.made);
  });
  std::vector<std::string> texts;
  for (const Line& line : lines) texts.push_back(line.text);
  return texts;
}

}  // namespace drvx::test
