// The substitute host's project files: JSON, versioned, documented in
// docs/project-format.md.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "project.h"

namespace drvx::modelhost {

inline constexpr int kProjectFormatVersion = 1;

// A project file that cannot be read: the message names the file and the
// place of the fault ("Shop.mmproj: classes[2].members[0].visibility: ...").
class ProjectFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads a project; throws ProjectFileError and builds nothing on any fault.
// `source` names the text in messages.
std::unique_ptr<ModelProject> ParseProject(std::string_view json, const std::string& source);
std::unique_ptr<ModelProject> LoadProject(const std::filesystem::path& path);

// The project as JSON text; the same project always gives the same text.
std::string FormatProject(const ModelProject& project);
// Writes the project atomically and makes `path` its file name; on failure
// the old file stays and std::runtime_error says why.
void SaveProject(ModelProject& project, const std::filesystem::path& path);

}  // namespace drvx::modelhost
