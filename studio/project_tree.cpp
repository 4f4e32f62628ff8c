#include "project_tree.h"

#include <type_traits>

namespace drvx::studio {
namespace {

using namespace modelhost;

constexpr int kIdRole = Qt::UserRole;

QString NameOf(const ModelElement& element) {
  return QString::fromStdU16String(element.name);
}

QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const ModelElement& element, const QString& text) {
  auto* item = new QTreeWidgetItem(parent, {text});
  item->setData(0, kIdRole, element.ElementId());
  return item;
}

QTreeWidgetItem* Folder(QTreeWidget& tree, const QString& name) {
  auto* item = new QTreeWidgetItem(&tree, {name});
  item->setFlags(Qt::ItemIsEnabled);
  item->setExpanded(true);
  return item;
}

}  // namespace

ProjectTree::ProjectTree(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  connect(this, &QTreeWidget::currentItemChanged,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { Pick(current); });
}

void ProjectTree::ShowProject(ModelProject& project) {
  const QTreeWidgetItem* picked = currentItem();
  const QVariant pickedId = picked ? picked->data(0, kIdRole) : QVariant();
  blockSignals(true);
  clear();
  project_ = &project;
  modules_ = Folder(*this, tr("Modules"));
  classes_ = Folder(*this, tr("Classes"));
  diagrams_ = Folder(*this, tr("Diagrams"));
  Update();
  if (pickedId.isValid())
    if (QTreeWidgetItem* again = ItemOf(pickedId.toInt())) setCurrentItem(again);
  blockSignals(false);
}

// The parent's children made to match the elements: those that already
// match stay (renamed where their name changed); from the first that does
// not, the rest are made anew. A class's members are matched the same way.
template <class List>
void ProjectTree::Reconcile(QTreeWidgetItem& parent, const List& elements) {
  int i = 0;
  for (; i < parent.childCount() && std::size_t(i) < elements.size(); ++i) {
    QTreeWidgetItem* item = parent.child(i);
    const ModelElement& element = *elements[std::size_t(i)];
    if (item->data(0, kIdRole).toInt() != element.ElementId()) break;
    if (const QString name = NameOf(element); item->text(0) != name) item->setText(0, name);
  }
  while (parent.childCount() > i) delete parent.takeChild(parent.childCount() - 1);
  for (std::size_t k = std::size_t(i); k < elements.size(); ++k)
    AddItem(&parent, *elements[k], NameOf(*elements[k]));
  if constexpr (std::is_same_v<typename List::value_type, ComPtr<ModelClass>>)
    for (std::size_t k = 0; k < elements.size(); ++k) Reconcile(*parent.child(int(k)), elements[k]->members);
}

void ProjectTree::Update() {
  if (!project_) return;
  const QSignalBlocker quiet(this);
  Reconcile(*modules_, project_->modules);
  Reconcile(*classes_, project_->classes);
  Reconcile(*diagrams_, project_->diagrams);
  if (!filter_.isEmpty()) Filter(filter_);
}

bool ProjectTree::Keep(QTreeWidgetItem& item, const QString& text) {
  bool below = false;
  for (int i = 0; i < item.childCount(); ++i) below = Keep(*item.child(i), text) || below;
  const bool folder = !item.data(0, kIdRole).isValid();  // folders stay
  const bool matches = text.isEmpty() || below || item.text(0).contains(text, Qt::CaseInsensitive);
  item.setHidden(!folder && !matches);
  if (!text.isEmpty() && below) item.setExpanded(true);
  return matches;
}

void ProjectTree::Filter(const QString& text) {
  filter_ = text;
  for (int i = 0; i < topLevelItemCount(); ++i) Keep(*topLevelItem(i), text);
}

bool ProjectTree::Reveal(std::int32_t id) {
  QTreeWidgetItem* item = ItemOf(id);
  if (!item) return false;
  const QSignalBlocker quiet(this);
  setCurrentItem(item);
  return true;
}

QTreeWidgetItem* ProjectTree::ItemOf(std::int32_t id) const {
  for (QTreeWidgetItemIterator it(const_cast<ProjectTree*>(this)); *it; ++it)
    if ((*it)->data(0, kIdRole).isValid() && (*it)->data(0, kIdRole).toInt() == id) return *it;
  return nullptr;
}

void ProjectTree::Pick(QTreeWidgetItem* item) {
  if (!item || !project_ || !item->data(0, kIdRole).isValid()) return;
  ModelElement* element = project_->Find(item->data(0, kIdRole).toInt());
  if (!element) return;
  NavigatorState& navigator = project_->navigator;
  switch (element->Kind()) {
    case ElementKind::Class: SelectClass(navigator, static_cast<ModelClass&>(*element)); break;
    case ElementKind::Member: SelectMember(navigator, static_cast<ModelMember&>(*element)); break;
    case ElementKind::Module:
      navigator.currentModule = ComPtr<ModelModule>::Share(static_cast<ModelModule*>(element));
      break;
    case ElementKind::Diagram:
      navigator.currentDiagram = ComPtr<ModelDiagram>::Share(static_cast<ModelDiagram*>(element));
      break;
    case ElementKind::Shape: break;
  }
  if (OnPicked) OnPicked(*element);
}

}  // namespace drvx::studio
