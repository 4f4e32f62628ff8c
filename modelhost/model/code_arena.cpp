#include "code_arena.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace drvx::modelhost {
namespace {

// Characters per chunk; a longer section gets a chunk of its own.
constexpr std::size_t kChunk = 256 * 1024;

static_assert(std::endian::native == std::endian::little,
              "the search reads a character's low byte first");

}  // namespace

CodeArena::Span CodeArena::Add(std::u16string_view text) {
  if (text.empty()) return {};
  if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < text.size()) {
    chunks_.emplace_back();
    chunks_.back().reserve(std::max(kChunk, text.size()));
  }
  std::u16string& chunk = chunks_.back();
  const Span span{std::uint32_t(chunks_.size() - 1), std::uint32_t(chunk.size()),
                  std::uint32_t(text.size())};
  chunk.append(text);
  return span;
}

std::u16string_view CodeArena::Text(const Span& span) const {
  if (span.length == 0) return {};
  return std::u16string_view(chunks_[span.chunk]).substr(span.offset, span.length);
}

// Looks for the first character's low byte with memchr, which goes through
// memory many bytes at a time; a candidate at an odd byte is a high byte.
std::vector<CodeArena::Place> CodeArena::FindAll(std::u16string_view text) const {
  std::vector<Place> places;
  if (text.empty()) return places;
  const unsigned char low = static_cast<unsigned char>(text[0] & 0xFF);
  for (std::size_t c = 0; c < chunks_.size(); ++c) {
    const std::u16string_view chunk = chunks_[c];
    if (chunk.size() < text.size()) continue;
    const char* bytes = reinterpret_cast<const char*>(chunk.data());
    const char* end = bytes + 2 * (chunk.size() - text.size() + 1);
    for (const char* p = bytes; p < end;) {
      p = static_cast<const char*>(std::memchr(p, low, std::size_t(end - p)));
      if (!p) break;
      const std::size_t at = std::size_t(p - bytes);
      if (at % 2 == 0 && chunk.compare(at / 2, text.size(), text) == 0)
        places.push_back({std::uint32_t(c), std::uint32_t(at / 2)});
      ++p;
    }
  }
  return places;
}

CodeSections& CodeSections::operator=(std::initializer_list<std::u16string_view> texts) {
  spans_.clear();
  for (std::u16string_view text : texts) push_back(text);
  return *this;
}

bool CodeSections::operator==(const CodeSections& other) const {
  return std::equal(begin(), end(), other.begin(), other.end());
}

bool CodeSections::operator==(const std::vector<std::u16string>& texts) const {
  return std::equal(begin(), end(), texts.begin(), texts.end());
}

}  // namespace drvx::modelhost
