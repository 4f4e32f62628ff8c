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
        switch (const char e = line[i++]) {
          case 'n': word += '\n'; break;
          case 'r': word += '\r'; break;
          case 't': word += '\t'; break;
          case '"':
          case '\\': word += e; break;
          default:  // not an escape: the backslash stands, the next character is read as usual
            word += c;
            --i;
        }
      } else {
        word += c;
      }
    }
    if (quoted) throw std::invalid_argument("a quote is not closed");
    words.push_back(std::move(word));
  }
  return words;
}

std::string QuoteWord(std::string_view word) {
  std::string quoted = "\"";
  for (const char c : word) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

std::optional<int> ParseNumber(std::string_view word) {
  int value = 0;
  const auto* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, value);
  if (word.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace drvx::modelhost
