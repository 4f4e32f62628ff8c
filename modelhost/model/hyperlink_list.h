// The hyperlinks of one shape as the host keeps them: kind and target of
// each in one small array, the names back to back in one block, so that a
// walk over many shapes' links stays in a few blocks of memory and a link
// costs no object of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "index_iterator.h"

namespace drvx::modelhost {

class HyperlinkList {
 public:
  struct Link {
    std::int32_t kind;
    std::int32_t targetId;  // unused for external links
    std::u16string_view name;  // valid until the list changes
  };

  using Iterator = IndexIterator<HyperlinkList, Link>;

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  Link operator[](std::size_t index) const;
  Link front() const { return (*this)[0]; }
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }

  void Reserve(std::size_t links, std::size_t nameCharacters);
  void Append(std::int32_t kind, std::int32_t targetId, std::u16string_view name);
  void Rename(std::size_t index, std::u16string_view name);

  // Calls visit(index) for each link named `name`, and for each whose name
  // has a character beyond ASCII.
  template <class Visit>
  void VisitNamedOrBeyondAscii(std::u16string_view name, Visit visit) const {
    std::uint32_t begin = 0;
    for (std::size_t h = 0; h < entries_.size(); begin = entries_[h++].nameEnd) {
      const std::u16string_view link(names_.data() + begin, entries_[h].nameEnd - begin);
      if (link == name || (!namesAscii_ && !IsAscii(link))) visit(h);
    }
  }

 private:
  struct Entry {
    std::int32_t kind;
    std::int32_t targetId;
    std::uint32_t nameEnd;  // where the name ends in names_
  };

  static bool IsAscii(std::u16string_view text);

  std::vector<Entry> entries_;
  std::u16string names_;
  bool namesAscii_ = true;
};

}  // namespace drvx::modelhost
