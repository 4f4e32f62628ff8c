#include "model_lookup.h"

#include <stdexcept>
#include <string>

#include "mmapi/cxx/utf.h"
#include "words.h"

namespace drvx::modelhost {
namespace {

// The element #id names, if the text has that form and the kind matches.
template <class T>
T* ById(const ModelProject& project, std::string_view text, ElementKind kind) {
  if (!text.starts_with('#')) return nullptr;
  const auto id = ParseNumber(text.substr(1));
  if (!id) return nullptr;
  ModelElement* element = project.Find(*id);
  return element && element->Kind() == kind ? static_cast<T*>(element) : nullptr;
}

template <class T, class List>
T& ByName(const ModelProject& project, const List& list, std::string_view name, ElementKind kind,
          const char* what) {
  if (T* found = ById<T>(project, name, kind)) return *found;
  const std::u16string wanted = mmapi::cxx::ToUtf16(name);
  for (const auto& element : list)
    if (element->name == wanted) return *element;
  throw std::runtime_error(std::string("no ") + what + " is named \"" + std::string(name) + "\"");
}

}  // namespace

ModelModule& FindModule(const ModelProject& project, std::string_view name) {
  return ByName<ModelModule>(project, project.modules, name, ElementKind::Module, "module");
}

ModelClass& FindClass(const ModelProject& project, std::string_view name) {
  return ByName<ModelClass>(project, project.classes, name, ElementKind::Class, "class");
}

ModelDiagram& FindDiagram(const ModelProject& project, std::string_view name) {
  return ByName<ModelDiagram>(project, project.diagrams, name, ElementKind::Diagram, "diagram");
}

ModelMember& FindMember(const ModelProject& project, std::string_view qualifiedName) {
  if (auto* found = ById<ModelMember>(project, qualifiedName, ElementKind::Member)) return *found;
  const auto dot = qualifiedName.find('.');
  if (dot == std::string_view::npos)
    throw std::runtime_error("name the member as Class.Member or #id, not \"" +
                             std::string(qualifiedName) + "\"");
  ModelClass& cls = FindClass(project, qualifiedName.substr(0, dot));
  return ByName<ModelMember>(project, cls.members, qualifiedName.substr(dot + 1),
                             ElementKind::Member, "member");
}

}  // namespace drvx::modelhost
