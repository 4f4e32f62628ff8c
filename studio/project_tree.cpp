#include "project_tree.h"


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
  QTreeWidgetItem* modules = Folder(*this, tr("Modules"));
  for (const auto& module : project.modules) AddItem(modules, *module, NameOf(*module));
  QTreeWidgetItem* classes = Folder(*this, tr("Classes"));
  for (const auto& cls : project.classes) {
    QTreeWidgetItem* item = AddItem(classes, *cls, NameOf(*cls));
    for (const auto& member : cls->members) AddItem(item, *member, NameOf(*member));
  }
  QTreeWidgetItem* diagrams = Folder(*this, tr("Diagrams"));
  for (const auto& diagram : project.diagrams) AddItem(diagrams, *diagram, NameOf(*diagram));
  if (pickedId.isValid())
    if (QTreeWidgetItem* again = ItemOf(pickedId.toInt())) setCurrentItem(again);
  blockSignals(false);
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
