// The calendar time of a moment in the local time zone.
#pragma once

#include <ctime>

namespace drvx::platform {

std::tm LocalTime(std::time_t moment);

}  // namespace drvx::platform
