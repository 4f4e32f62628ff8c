// The open project as a tree: modules, classes with their members, and
// diagrams. Picking an element makes it current in the host's navigator, as
// the command language's "select" does.
#pragma once

#include <QTreeWidget>
#include <functional>

#include "project.h"

namespace drvx::studio {

class ProjectTree final : public QTreeWidget {
 public:
  explicit ProjectTree(QWidget* parent = nullptr);

  // Rebuilds the tree from the project (the element picked stays picked
  // when it is still there).
  void ShowProject(modelhost::ModelProject& project);
  // The item of the element with this identifier, or null.
  QTreeWidgetItem* ItemOf(std::int32_t id) const;

  // Called after an element was made current; a diagram also names itself.
  std::function<void(modelhost::ModelElement&)> OnPicked;

 private:
  void Pick(QTreeWidgetItem* item);
  modelhost::ModelProject* project_ = nullptr;
};

}  // namespace drvx::studio
