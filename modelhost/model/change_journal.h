// What changed in a project since its faces (a window showing it) last
// looked: gathered, so that many changes (a call stack drawn as a diagram of
// many shapes, a generator writing many lines) are told once.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <utility>
#include <vector>

namespace drvx::modelhost {

struct ModelChanges {
  bool elements = false;             // added, removed or renamed: the tree
  std::set<std::int32_t> diagrams;   // whose shapes changed: their pictures
  std::set<std::int32_t> code;       // members and modules whose text changed
  std::vector<std::int32_t> added;   // diagrams made, in order
  bool navigator = false;            // what is current

  bool Empty() const {
    return !elements && diagrams.empty() && code.empty() && added.empty() && !navigator;
  }
};

class ChangeJournal {
 public:
  // Called at the first change after the last Take: the listener arranges
  // to Take the changes later (once the model's caller is done).
  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  void Elements() { Note().elements = true; }
  void Diagram(std::int32_t id) { Note().diagrams.insert(id); }
  void Code(std::int32_t id) { Note().code.insert(id); }
  void Added(std::int32_t diagram) {
    Note().added.push_back(diagram);
    changes_.elements = true;
  }
  void Navigator() { Note().navigator = true; }

  ModelChanges Take() { return std::exchange(changes_, {}); }

 private:
  ModelChanges& Note() {
    if (changes_.Empty() && listener_) listener_();
    return changes_;
  }
  ModelChanges changes_;
  std::function<void()> listener_;
};

}  // namespace drvx::modelhost
