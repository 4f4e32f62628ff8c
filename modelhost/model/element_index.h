// The elements of a project by identifier. The host hands out identifiers
// one after another, so most of them index a vector; an identifier far
// beyond the number of elements (as a file may give) goes to a hash map,
// so that no identifier makes the vector huge.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "element.h"

namespace drvx::modelhost {

class ElementIndex {
 public:
  ElementIndex() = default;
  ElementIndex(const ElementIndex&) = delete;
  ElementIndex& operator=(const ElementIndex&) = delete;
  // Releases the elements.
  ~ElementIndex();

  ModelElement* Find(std::int32_t id) const;
  // Adds an element whose positive identifier is not in the index yet, and
  // keeps a reference to it while the index lasts.
  void Add(ModelElement& element);
  // Makes room for this many more elements.
  void Reserve(std::size_t elements);
  // Calls visit(element) for every element, in no particular order.
  template <class Visit>
  void ForEach(Visit visit) const {
    for (ModelElement* element : dense_)
      if (element) visit(*element);
    for (const auto& [id, element] : sparse_) visit(*element);
  }

 private:
  std::vector<ModelElement*> dense_;  // by identifier
  std::unordered_map<std::int32_t, ModelElement*> sparse_;
  std::size_t count_ = 0;
};

}  // namespace drvx::modelhost
