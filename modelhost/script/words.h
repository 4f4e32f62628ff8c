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
// breaks and tabs; any other backslash is kept as it is. Outside quotes a
// backslash is an ordinary character. A line whose first word starts with #
// is a comment and gives no words. Throws std::invalid_argument for an
// unclosed quote.
std::vector<std::string> SplitWords(std::string_view line);

// The word in quotes, written so that SplitWords gives it back unchanged
// (for putting a file name or a typed text into a command line).
std::string QuoteWord(std::string_view word);

// A whole decimal number (optionally negative), or none.
std::optional<int> ParseNumber(std::string_view word);

}  // namespace drvx::modelhost
