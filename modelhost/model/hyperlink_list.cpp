#include "hyperlink_list.h"

#include <algorithm>

namespace drvx::modelhost {

bool HyperlinkList::IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

HyperlinkList::Link HyperlinkList::operator[](std::size_t index) const {
  const Entry& entry = entries_[index];
  const std::uint32_t begin = index == 0 ? 0 : entries_[index - 1].nameEnd;
  return {entry.kind, entry.targetId,
          std::u16string_view(names_).substr(begin, entry.nameEnd - begin)};
}

void HyperlinkList::Reserve(std::size_t links, std::size_t nameCharacters) {
  entries_.reserve(entries_.size() + links);
  names_.reserve(names_.size() + nameCharacters);
}

void HyperlinkList::Append(std::int32_t kind, std::int32_t targetId, std::u16string_view name) {
  names_ += name;
  namesAscii_ = namesAscii_ && IsAscii(name);
  entries_.push_back({kind, targetId, std::uint32_t(names_.size())});
}

void HyperlinkList::Rename(std::size_t index, std::u16string_view name) {
  const std::uint32_t begin = index == 0 ? 0 : entries_[index - 1].nameEnd;
  const std::uint32_t end = entries_[index].nameEnd;
  names_.replace(begin, end - begin, name);
  const auto grown = std::int64_t(name.size()) - std::int64_t(end - begin);
  for (std::size_t h = index; h < entries_.size(); ++h)
    entries_[h].nameEnd = std::uint32_t(entries_[h].nameEnd + grown);
  namesAscii_ = namesAscii_ && IsAscii(name);
}

}  // namespace drvx::modelhost
