// The date and time the system works with: local time, or a fixed moment that
// tests and the command line set so that dates in generated text are stable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

struct DateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// Now in local time, or the fixed moment.
DRVX_PLATFORM_API DateTime Now();
// Fixes the clock at a moment (none: the real clock again).
DRVX_PLATFORM_API void FixClock(std::optional<DateTime> moment);

// The short date and long time formats: "08.04.2006" and "09:21:00".
DRVX_PLATFORM_API std::string ShortDate(const DateTime& t);
DRVX_PLATFORM_API std::string LongTime(const DateTime& t);

// Reads "YYYY-MM-DD HH:MM:SS" (or "YYYY-MM-DDTHH:MM:SS"); none if it is not a
// valid moment.
DRVX_PLATFORM_API std::optional<DateTime> ParseDateTime(std::string_view text);

}  // namespace drvx::platform
