#include "project.h"

#include <limits>

namespace drvx::modelhost {

void SelectClass(NavigatorState& state, ModelClass& cls) {
  state.currentClass = ComPtr<ModelClass>::Share(&cls);
  state.currentModule = cls.module;
  state.currentMember = nullptr;
  state.currentMethod = nullptr;
}

void SelectMember(NavigatorState& state, ModelMember& member) {
  if (member.owner) SelectClass(state, *member.owner);
  state.currentMember = ComPtr<ModelMember>::Share(&member);
  state.currentMethod = member.category == mmapi::mcMethod ? state.currentMember : nullptr;
}

ModelProject::~ModelProject() {
  navigator = {};
  byId_.ForEach([](ModelElement& element) { element.Detach(); });
}

std::int32_t ModelProject::Claim(std::int32_t id, const char* what) {
  if (id == 0) {
    if (lastId_ == std::numeric_limits<std::int32_t>::max())
      Fail(mmapi::MM_E_UNEXPECTED, "the project has run out of identifiers");
    return lastId_ + 1;
  }
  if (id < 0) Fail(mmapi::MM_E_INVALIDARG, std::string(what) + " id " + std::to_string(id) +
                                               " is not a positive number");
  if (byId_.Find(id))
    Fail(mmapi::MM_E_INVALIDARG, std::string(what) + " id " + std::to_string(id) +
                                     " is already used by another element");
  return id;
}

void ModelProject::Register(ModelElement& element) {
  const std::int32_t id = element.ElementId();
  byId_.Add(element);
  if (id > lastId_) lastId_ = id;
  element.Attach(this);
}

ComPtr<ModelModule> ModelProject::NewModule(std::int32_t id) {
  auto module = mmapi::cxx::MakeCom<ModelModule>(Claim(id, "module"));
  Register(*module);
  return module;
}

ComPtr<ModelClass> ModelProject::NewClass(std::int32_t id) {
  auto cls = mmapi::cxx::MakeCom<ModelClass>(Claim(id, "class"));
  Register(*cls);
  return cls;
}

ComPtr<ModelMember> ModelProject::NewMember(std::int32_t category, std::int32_t id) {
  auto member = mmapi::cxx::MakeCom<ModelMember>(Claim(id, "member"), category, code_);
  Register(*member);
  return member;
}

ComPtr<ModelDiagram> ModelProject::NewDiagram(std::int32_t kind, std::int32_t id) {
  auto diagram = mmapi::cxx::MakeCom<ModelDiagram>(Claim(id, "diagram"), kind);
  Register(*diagram);
  return diagram;
}

ComPtr<ModelShape> ModelProject::NewShape(std::u16string_view shapeClass, std::int32_t id) {
  auto known = shapeClasses_.find(shapeClass);
  if (known == shapeClasses_.end())
    known = shapeClasses_.emplace(shapeClass, std::make_shared<const std::u16string>(shapeClass)).first;
  auto shape = mmapi::cxx::MakeCom<ModelShape>(Claim(id, "shape"), known->second);
  Register(*shape);
  return shape;
}

void ModelProject::Reserve(std::size_t elements) { byId_.Reserve(elements); }

void ModelProject::AddDiagram(ComPtr<ModelDiagram> diagram) {
  diagramIndex_.emplace(diagram->ElementId(), static_cast<std::int32_t>(diagrams.size()));
  diagrams.push_back(std::move(diagram));
}

void ModelProject::AddClass(ComPtr<ModelClass> cls) {
  classByName_.try_emplace(cls->name, cls.Get());
  classes.push_back(std::move(cls));
}

ModelClass* ModelProject::ClassNamed(std::u16string_view name) const {
  const auto it = classByName_.find(std::u16string(name));
  return it == classByName_.end() ? nullptr : it->second;
}

ModelElement* ModelProject::Find(std::int32_t id) const {
  return byId_.Find(id);
}

ModelElement* ModelProject::FindTarget(std::int32_t hyperlinkKind, std::int32_t id) const {
  ModelElement* element = Find(id);
  if (!element) return nullptr;
  switch (hyperlinkKind) {
    case mmapi::hkClass: return element->Kind() == ElementKind::Class ? element : nullptr;
    case mmapi::hkMember: return element->Kind() == ElementKind::Member ? element : nullptr;
    case mmapi::hkModule: return element->Kind() == ElementKind::Module ? element : nullptr;
    case mmapi::hkDiagram: return element->Kind() == ElementKind::Diagram ? element : nullptr;
    default: return nullptr;
  }
}

std::int32_t ModelProject::IndexOfDiagram(std::int32_t id) const {
  auto it = diagramIndex_.find(id);
  return it == diagramIndex_.end() ? -1 : it->second;
}

}  // namespace drvx::modelhost
