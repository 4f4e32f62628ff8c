// Splitting a script line into words.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace drvx::modelhost {

// Words are separated by blanks or tabs. Double quotes group a word that holds
// blanks; inside them \" and \\ stand for " and \, and \n, \r, \t for line
// breaks and tabs. A line whose first word starts with # is a comment and
// gives no words. Throws std::invalid_argument for an unclosed quote.
std::vector<std::string> SplitWords(std::string_view line);

// A whole decimal number (optionally negative), or none.
std::optional<int> ParseNumber(std::string_view word);

}  // namespace drvx::modelhost
