// The house style of diagram names.
#pragma once

#include <optional>
#include <string>

#include "expert_settings.h"
#include "host_api.h"

namespace drvx::diagrams {

// The name prefix of a diagram kind: from the settings when there are any,
// else built in; none for the kinds that have no prefix.
std::optional<std::string> PrefixForKind(host::DiagramKind kind,
                                         const settings::TExpertSettings* settings);

// Removes the first blank; a letter a-z right after it becomes a capital. Any
// other character stays as it is (a multi-byte character is never touched).
std::string JoinFirstWord(std::string name);

// Joins the diagram's words, then puts the prefix in front unless the name
// starts with it already (an empty prefix writes the name back unchanged).
void NormalizeDiagramName(const host::Diagram& diagram, const std::string& prefix);

}  // namespace drvx::diagrams
