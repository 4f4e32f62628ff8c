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

  // Builds the tree of a project anew (the element picked stays picked
  // when it is still there).
  void ShowProject(modelhost::ModelProject& project);
  // Brings the tree of the project shown up to date in place: items whose
  // element is still there keep their place, expansion and selection; new
  // elements are added, gone ones removed, renamed ones renamed.
  void Update();
  // Shows only the elements whose names hold `text` (ignoring case), with
  // the items above them, opened; all again when it is empty.
  void Filter(const QString& text);
  // Makes the element's item the current one without telling OnPicked
  // (what is current already changed); false when it has none.
  bool Reveal(std::int32_t id);
  // The item of the element with this identifier, or null.
  QTreeWidgetItem* ItemOf(std::int32_t id) const;

  // Called after an element was made current; a diagram also names itself.
  std::function<void(modelhost::ModelElement&)> OnPicked;

 private:
  void Pick(QTreeWidgetItem* item);
  template <class List>
  void Reconcile(QTreeWidgetItem& parent, const List& elements);
  // Whether the item or one below it holds the text; hides the others.
  bool Keep(QTreeWidgetItem& item, const QString& text);
  QString filter_;
  modelhost::ModelProject* project_ = nullptr;
  QTreeWidgetItem* modules_ = nullptr;
  QTreeWidgetItem* classes_ = nullptr;
  QTreeWidgetItem* diagrams_ = nullptr;
};

}  // namespace drvx::studio
