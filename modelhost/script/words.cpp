#include "words.h"

#include <charconv>

namespace drvx::modelhost {

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) break;
    if (words.empty() && line[i] == '#') break;
    std::string word;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      const char c = line[i++];
      if (c == '"') {
        quoted = !quoted;
      } else if (quoted && c == '\\' && i < line.size()) {
        const char e = line[i++];
        word += e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
      } else {
        word += c;
      }
    }
    if (quoted) throw std::invalid_argument("a quote is not closed");
    words.push_back(std::move(word));
  }
  return words;
}

std::optional<int> ParseNumber(std::string_view word) {
  int value = 0;
  const auto* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (word.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace drvx::modelhost
