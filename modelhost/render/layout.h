// Turns a diagram of the host's model into a display list, using the
// geometry the model holds (positions relative to parents, sizes,
// association ends). One look per kind of shape; a shape class the layout
// does not know is drawn as a box labelled with its class, never left out.
//
// Sequence diagrams: a head box per role at its position, a dashed lifeline
// below it, and a message at the height of its start time below the heads.
// A message whose end time is later than its start runs sloped down to that
// height; a self-message is a loop from its start to its end time. Each role's
// activation text "(a,b)(c,d)" gives its activation bars. A loop's frame
// encloses the lifelines of the messages it spans, with its label in a tab;
// a lost marker is a band across every lifeline.
#pragma once

#include "diagrams.h"
#include "display_list.h"

namespace drvx::modelhost::render {

DisplayList LayoutDiagram(const ModelDiagram& diagram);

// A whole-number property of a shape ("StartTime"), or the fallback when it
// is absent or not a number.
int NumberProperty(const ModelShape& shape, std::u16string_view key, int fallback);

// Whether a role is an actor ("RoleKind" rkActor), and a message a reply
// ("MessageKind" mkReturn).
bool IsActor(const ModelShape& role);
bool IsReply(const ModelShape& message);
// Whether a symbol is a sequence diagram's frame ("sequenceframe"): a loop
// around messages ("FrameKind" loop) or a marker of what was lost (lost),
// from its "StartTime" to its "EndTime".
bool IsFrame(const ModelShape& symbol);

// A role's activation text as (from, to) pairs; what does not parse is left
// out.
std::vector<std::pair<int, int>> ActivationPairs(std::u16string_view text);

}  // namespace drvx::modelhost::render
