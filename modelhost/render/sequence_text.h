// A sequence diagram as the text of the tools people already use for them:
// PlantUML and Mermaid. Participants in lifeline order (left to right), one
// message a line in the order of their start times, and the activations the
// roles hold, opened and closed at their times where the client allows it.
//
// A large diagram comes as several parts, each a diagram of its own that
// the client reads within its default limits (PlantUML's 4096 px picture,
// Mermaid's 50,000 characters of text); every part declares all the
// participants and opens again the activations that were open where the
// part before it ended.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "diagrams.h"

namespace drvx::modelhost::render {

// Throw std::invalid_argument for a diagram without lifelines.
std::vector<std::string> PlantUmlParts(const ModelDiagram& diagram);
std::vector<std::string> MermaidParts(const ModelDiagram& diagram);

// Every PlantUML part, one "@startuml" block after the other (PlantUML
// draws each block as a picture of its own).
void WritePlantUml(const ModelDiagram& diagram, std::ostream& out);

// The most messages a PlantUML part holds, and the most characters a
// Mermaid part's text has.
inline constexpr std::size_t kPlantUmlPartMessages = 80;
inline constexpr std::size_t kMermaidPartCharacters = 50000;

}  // namespace drvx::modelhost::render
