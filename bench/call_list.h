// Long call lists for the sequence diagram benchmarks.
#pragma once

#include <string>
#include <vector>

#include "project.h"

namespace drvx::bench {

// A chain of `lines` calls over 50 roles: the project's first classes
// (instances, calling their methods) and actors for the rest.
std::vector<std::string> CallList(const modelhost::ModelProject& project, int lines);

}  // namespace drvx::bench
