#include "drvx/platform/clock.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "local_time.h"

namespace drvx::platform {
namespace {

std::mutex fixedMutex;
std::optional<DateTime> fixedMoment;

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && LeapYear(year) ? 29 : days[month - 1];
}

bool Number(std::string_view text, std::size_t at, std::size_t digits, int& value) {
  if (at + digits > text.size()) return false;
  const char* begin = text.data() + at;
  auto [ptr, ec] = std::from_chars(begin, begin + digits, value);
  return ec == std::errc() && ptr == begin + digits;
}

}  // namespace

DateTime Now() {
  {
    std::lock_guard lock(fixedMutex);
    if (fixedMoment) return *fixedMoment;
  }
  const std::tm local = LocalTime(std::time(nullptr));
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

void FixClock(std::optional<DateTime> moment) {
  std::lock_guard lock(fixedMutex);
  fixedMoment = moment;
}

std::string ShortDate(const DateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.day, t.month, t.year);
  return text;
}

std::string LongTime(const DateTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
  return text;
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
  DateTime t;
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != ' ' && text[10] != 'T') ||
      text[13] != ':' || text[16] != ':')
    return std::nullopt;
  if (!Number(text, 0, 4, t.year) || !Number(text, 5, 2, t.month) || !Number(text, 8, 2, t.day) ||
      !Number(text, 11, 2, t.hour) || !Number(text, 14, 2, t.minute) ||
      !Number(text, 17, 2, t.second))
    return std::nullopt;
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysIn(t.year, t.month) || t.hour > 23 ||
      t.minute > 59 || t.second > 59)
    return std::nullopt;
  return t;
}

}  // namespace drvx::platform
