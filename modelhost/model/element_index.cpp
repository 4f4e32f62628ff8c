#include "element_index.h"

#include <algorithm>

namespace drvx::modelhost {
namespace {

// Identifiers below twice the number of elements and this go to the vector.
constexpr std::size_t kDenseSlack = 4096;

}  // namespace

ElementIndex::~ElementIndex() {
  ForEach([](ModelElement& element) { element.Unknown()->Release(); });
}

ModelElement* ElementIndex::Find(std::int32_t id) const {
  if (id < 0) return nullptr;
  if (std::size_t(id) < dense_.size() && dense_[std::size_t(id)]) return dense_[std::size_t(id)];
  if (sparse_.empty()) return nullptr;
  const auto it = sparse_.find(id);
  return it == sparse_.end() ? nullptr : it->second;
}

void ElementIndex::Add(ModelElement& element) {
  const auto id = std::size_t(element.ElementId());
  if (id >= dense_.size() && id < 2 * count_ + kDenseSlack)
    dense_.resize(std::max(id + 1, std::min(2 * dense_.size(), 2 * count_ + kDenseSlack)));
  if (id < dense_.size())
    dense_[id] = &element;
  else
    sparse_.emplace(element.ElementId(), &element);
  element.Unknown()->AddRef();
  ++count_;
}

void ElementIndex::Reserve(std::size_t elements) {
  dense_.reserve(std::max(dense_.capacity(), count_ + elements));
}

}  // namespace drvx::modelhost
