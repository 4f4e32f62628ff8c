// A diagram's picture written to a file, by the file's suffix: SVG (the
// host's own), PNG (painted at twice the size, for sharp text), PDF (pages of
// the paper's shape, as printed, the role heads on every page).
#pragma once

#include <filesystem>

#include "display_list.h"

namespace drvx::studio {

// Throws std::runtime_error naming the file when it cannot be written or
// the suffix is none of .svg, .png and .pdf.
void ExportPicture(const modelhost::render::DisplayList& list, const std::filesystem::path& file);

}  // namespace drvx::studio
