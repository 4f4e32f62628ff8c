// A sequence diagram as the text of the tools people already use for them:
// PlantUML and Mermaid. Participants in lifeline order (left to right), one
// message a line in the order of their start times, and the activations the
// roles hold, opened and closed at their times.
#pragma once

#include <ostream>

#include "diagrams.h"

namespace drvx::modelhost::render {

// Throws std::invalid_argument for a diagram without lifelines.
void WritePlantUml(const ModelDiagram& diagram, std::ostream& out);
void WriteMermaid(const ModelDiagram& diagram, std::ostream& out);

}  // namespace drvx::modelhost::render
