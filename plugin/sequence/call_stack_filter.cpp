#include "call_stack_filter.h"

#include <algorithm>

#include "drvx/platform/text.h"
#include "sequence_model.h"

namespace drvx::sequence {
namespace {

std::vector<std::string> PatternLines(const std::string& text) {
  std::vector<std::string> patterns = platform::SplitLines(text);
  std::erase_if(patterns, [](const std::string& p) { return p.empty(); });
  return patterns;
}

bool MatchesAny(const std::vector<std::string>& patterns, std::string_view text) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::string& p) { return MatchesPattern(p, text); });
}

}  // namespace

// Greedy with one point to return to: on a mismatch after a '*', the '*'
// takes one character more. Linear in practice, never exponential.
bool MatchesPattern(std::string_view pattern, std::string_view text) {
  std::size_t p = 0, t = 0;
  std::size_t starAt = std::string_view::npos, starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      starText = t;
    } else if (starAt != std::string_view::npos) {
      p = starAt + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

CallStackFilter CallStackFilter::FromHost(const host::Services& services) {
  CallStackFilter filter;
  const host::CallStackOptions options = services.CallStacks();
  if (!options) return filter;
  filter.depthLimit = std::size_t(std::max(options.DepthLimit(), 0));
  filter.include = PatternLines(options.IncludePatterns());
  filter.exclude = PatternLines(options.ExcludePatterns());
  return filter;
}

bool CallStackFilter::KeepsClass(std::string_view className) const {
  return (include.empty() || MatchesAny(include, className)) && !MatchesAny(exclude, className);
}

std::vector<std::string> CallStackFilter::Apply(std::vector<std::string> lines) const {
  if (!include.empty() || !exclude.empty())
    std::erase_if(lines, [&](const std::string& line) { return !KeepsClass(SplitCallLine(line).first); });
  if (depthLimit > 0 && lines.size() > depthLimit) lines.resize(depthLimit);
  return lines;
}

}  // namespace drvx::sequence
