#include "report_throttle.h"

#include <algorithm>
#include <cctype>

namespace drvx::host {
namespace {

std::string KindOf(const std::string& text) {
  std::string kind;
  for (const char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) kind += c;
  return kind;
}

}  // namespace

ReportThrottle::ReportThrottle(std::chrono::seconds period, Tell tell)
    : period_(period), tell_(std::move(tell)) {}

void ReportThrottle::Report(const std::string& text, Clock::time_point now) {
  Flush(now);
  const auto [at, first] = kinds_.try_emplace(KindOf(text));
  if (first) {
    at->second.periodStart = now;
    tell_(text);
    return;
  }
  ++at->second.more;
  at->second.latest = text;
}

void ReportThrottle::Summarize(Kind& kind) {
  if (kind.more == 0) return;
  tell_(std::to_string(kind.more) + (kind.more == 1 ? " more report" : " more reports") +
        " like it in " + std::to_string(period_.count()) + " s; the latest: " + kind.latest);
  kind.more = 0;
}

void ReportThrottle::Flush(Clock::time_point now, bool final) {
  for (auto it = kinds_.begin(); it != kinds_.end();) {
    if (final || now - it->second.periodStart >= period_) {
      Summarize(it->second);
      it = kinds_.erase(it);  // the next report of this kind is told at once again
    } else {
      ++it;
    }
  }
}

bool ReportThrottle::Pending() const {
  return std::any_of(kinds_.begin(), kinds_.end(), [](const auto& k) { return k.second.more > 0; });
}

}  // namespace drvx::host
