// One open project of the substitute host: its code model, its diagrams, the
// navigator's state, and the index of all elements by identifier.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <functional>
#include <unordered_map>
#include <vector>

#include "change_journal.h"
#include "code_model.h"
#include "diagrams.h"
#include "element_index.h"

namespace drvx::modelhost {

// What is current in the host's user interface.
struct NavigatorState {
  ComPtr<ModelClass> currentClass;
  ComPtr<ModelMember> currentMember;
  ComPtr<ModelMember> currentMethod;
  ComPtr<ModelModule> currentModule;
  ComPtr<ModelDiagram> currentDiagram;
  std::int32_t view = 0;
};

// Makes the class current with its module; the current member and method go.
void SelectClass(NavigatorState& state, ModelClass& cls);
// Makes the member current with its class and module; a method also becomes
// the current method, any other member clears it.
void SelectMember(NavigatorState& state, ModelMember& member);

class ModelProject {
 public:
  ModelProject() = default;
  ModelProject(const ModelProject&) = delete;
  ModelProject& operator=(const ModelProject&) = delete;
  // Detaches every element, so that references still held elsewhere fail
  // cleanly instead of reaching a closed project.
  ~ModelProject();

  // Makes an element of this project; id 0 asks for a new identifier. Throws
  // when the identifier is taken.
  ComPtr<ModelModule> NewModule(std::int32_t id = 0);
  ComPtr<ModelClass> NewClass(std::int32_t id = 0);
  ComPtr<ModelMember> NewMember(std::int32_t category, std::int32_t id = 0);
  ComPtr<ModelDiagram> NewDiagram(std::int32_t kind, std::int32_t id = 0);
  ComPtr<ModelShape> NewShape(std::u16string_view shapeClass, std::int32_t id = 0);

  // Makes room for this many elements (a loader knows them).
  void Reserve(std::size_t elements);

  void AddModule(ComPtr<ModelModule> module) { modules.push_back(std::move(module)); }
  // A class's name is fixed once it is added.
  void AddClass(ComPtr<ModelClass> cls);
  void AddDiagram(ComPtr<ModelDiagram> diagram);

  ModelElement* Find(std::int32_t id) const;
  // The first class with exactly this name, or null.
  ModelClass* ClassNamed(std::u16string_view name) const;
  // The text of every method's code.
  const CodeArena& Code() const { return *code_; }
  // The element a hyperlink of this kind names, or null.
  ModelElement* FindTarget(std::int32_t hyperlinkKind, std::int32_t id) const;
  // Index of the diagram with this identifier in `diagrams`, -1 when none.
  std::int32_t IndexOfDiagram(std::int32_t id) const;

  std::vector<ComPtr<ModelModule>> modules;
  std::vector<ComPtr<ModelClass>> classes;
  std::vector<ComPtr<ModelDiagram>> diagrams;
  NavigatorState navigator;
  std::filesystem::path fileName;
  // Called when a diagram is printed.
  std::function<void(const ModelDiagram&)> onPrint;
  // What the plug-ins changed, for the faces that show the project.
  ChangeJournal changes;

 private:
  std::int32_t Claim(std::int32_t id, const char* what);
  void Register(ModelElement& element);

  ElementIndex byId_;  // keeps all the project made
  std::unordered_map<std::int32_t, std::int32_t> diagramIndex_;
  std::unordered_map<std::u16string, ModelClass*> classByName_;  // the first of each name
  // Each shape class's name, shared by its shapes.
  std::map<std::u16string, std::shared_ptr<const std::u16string>, std::less<>> shapeClasses_;
  std::shared_ptr<CodeArena> code_ = std::make_shared<CodeArena>();
  std::int32_t lastId_ = 0;
};

}  // namespace drvx::modelhost
