// Comparing and splitting 8-bit text the way the plug-in's lists do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drvx/platform/export.h"

namespace drvx::platform {

// Orders text as a sorted list does: ignoring letter case, then by bytes.
DRVX_PLATFORM_API bool SortsBefore(std::string_view a, std::string_view b);
// Equal ignoring the case of the letters a-z.
DRVX_PLATFORM_API bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// The lines of a text broken at CR LF, CR or LF; a line break at the very end
// adds no empty line.
DRVX_PLATFORM_API std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
DRVX_PLATFORM_API std::string JoinLines(const std::vector<std::string>& lines);

}  // namespace drvx::platform
