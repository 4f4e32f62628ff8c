// Which calls of a received call stack are drawn, as the host asks
// (IMMCallStackOptions): calls whose class the patterns leave out go first,
// then all but the innermost calls up to the depth limit. A stack that
// passes whole is drawn exactly as received.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host_api.h"

namespace drvx::sequence {

// True when `text` matches `pattern` whole: '*' stands for any run of
// characters, '?' for one; everything else for itself, case included.
bool MatchesPattern(std::string_view pattern, std::string_view text);

struct CallStackFilter {
  std::size_t depthLimit = 0;        // innermost calls kept; 0 keeps them all
  std::vector<std::string> include;  // class-name patterns; none includes every class
  std::vector<std::string> exclude;

  // The host's options; the filter that keeps everything when the host has
  // none. Throws when the host fails to answer.
  static CallStackFilter FromHost(const host::Services& services);

  // Whether a call of this class (the text before the line's first ".")
  // is drawn.
  bool KeepsClass(std::string_view className) const;
  // The calls of a stack, innermost first, that are drawn.
  std::vector<std::string> Apply(std::vector<std::string> lines) const;
};

}  // namespace drvx::sequence
