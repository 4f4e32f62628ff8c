// An input iterator over a list that makes its elements as they are read,
// by index ((*list)[i]), because it keeps them in another form.
#pragma once

#include <cstddef>
#include <iterator>

namespace drvx::modelhost {

template <class List, class Value>
class IndexIterator {
 public:
  using value_type = Value;
  using difference_type = std::ptrdiff_t;
  using reference = Value;
  using pointer = void;
  using iterator_category = std::input_iterator_tag;

  IndexIterator(const List* list, std::size_t index) : list_(list), index_(index) {}
  Value operator*() const { return (*list_)[index_]; }
  IndexIterator& operator++() {
    ++index_;
    return *this;
  }
  bool operator==(const IndexIterator& other) const { return index_ == other.index_; }

 private:
  const List* list_;
  std::size_t index_;
};

}  // namespace drvx::modelhost
