// Finding elements of the open project by the names a user types: a plain
// name (the first element of that name in model order), or #id.
#pragma once

#include <string_view>

#include "project.h"

namespace drvx::modelhost {

// Each throws std::runtime_error naming what was not found.
ModelModule& FindModule(const ModelProject& project, std::string_view name);
ModelClass& FindClass(const ModelProject& project, std::string_view name);
ModelDiagram& FindDiagram(const ModelProject& project, std::string_view name);
// "Class.Member" (the first member of that name) or #id.
ModelMember& FindMember(const ModelProject& project, std::string_view qualifiedName);

}  // namespace drvx::modelhost
