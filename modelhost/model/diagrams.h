// Diagrams, their shapes and hyperlinks in the substitute host's model.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "element.h"
#include "hyperlink_list.h"
#include "mmapi/diagram.h"
#include "optional_text.h"

namespace drvx::modelhost {

class ModelDiagram;

// A symbol or an association. Only associations answer IMMAssociation (every
// shape is reached as IMMShape through it) and only shapes of the class
// "rolesymbol" answer IMMRoleSymbol.
class ModelShape final : public ElementObject<mmapi::IMMAssociation, mmapi::IMMRoleSymbol> {
 public:
  static constexpr std::int32_t kDefaultWidth = 100;
  static constexpr std::int32_t kDefaultHeight = 50;

  // Shapes of one class share its name.
  ModelShape(std::int32_t id, std::shared_ptr<const std::u16string> className)
      : ElementObject(ElementKind::Shape, id), className_(std::move(className)) {}
  ModelShape(const ModelShape&) = delete;

  MMStatus MMCALL QueryInterface(const mmapi::MMGuid& iid, void** out) noexcept override;
  void Detach() override {
    diagram = nullptr;
    ModelElement::Detach();
  }

  // IMMShape
  MMStatus MMCALL ShapeClass(MMStrView* out) noexcept override;
  MMStatus MMCALL HyperlinkCount(std::int32_t* out) noexcept override;
  MMStatus MMCALL Hyperlinks(std::int32_t index, mmapi::IMMHyperlink** out) noexcept override;
  MMStatus MMCALL HyperlinkName(std::int32_t index, MMStrView* out) noexcept override;
  MMStatus MMCALL AddHyperlink(std::int32_t kind, std::int32_t targetId,
                               mmapi::IMMHyperlink** out) noexcept override;
  MMStatus MMCALL Caption(MMStrView* out) noexcept override;
  MMStatus MMCALL Documentation(MMStrView* out) noexcept override;
  MMStatus MMCALL OneLiner(MMStrView* out) noexcept override;
  MMStatus MMCALL Property(const char16_t* name, std::uint32_t nameLength,
                           MMStrView* out) noexcept override;
  MMStatus MMCALL SetCaption(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL SetProperty(const char16_t* name, std::uint32_t nameLength, const char16_t* value,
                              std::uint32_t valueLength) noexcept override;
  MMStatus MMCALL SetPosition(std::int32_t x, std::int32_t y) noexcept override;
  MMStatus MMCALL SetLocation(std::int32_t x, std::int32_t y) noexcept override;
  MMStatus MMCALL SetWidth(std::int32_t width) noexcept override;
  MMStatus MMCALL SetHeight(std::int32_t height) noexcept override;
  MMStatus MMCALL Parent(mmapi::IMMShape** out) noexcept override;
  // IMMAssociation
  MMStatus MMCALL Source(mmapi::IMMShape** out) noexcept override;
  MMStatus MMCALL Target(mmapi::IMMShape** out) noexcept override;
  // IMMRoleSymbol
  MMStatus MMCALL Activations(MMStrView* out) noexcept override;
  MMStatus MMCALL SetActivations(const char16_t* text, std::uint32_t length) noexcept override;

  bool IsAssociation() const { return bool(source); }
  bool IsRole() const { return ClassName() == u"rolesymbol"; }
  const std::u16string& ClassName() const { return *className_; }
  // Value of a named property, or null.
  const std::u16string* FindProperty(std::u16string_view key) const;
  void PutProperty(std::u16string_view key, std::u16string_view value);
  std::int32_t AbsoluteX() const;
  std::int32_t AbsoluteY() const;

  mmapi::IMMShape* AsShape() { return static_cast<mmapi::IMMAssociation*>(this); }

  // The hyperlinks come first: walks over many shapes read little else.
  HyperlinkList hyperlinks;
  // The caption is the element's name.
  OptionalText documentation;
  OptionalText oneLiner;
  std::map<std::u16string, std::u16string, std::less<>> properties;
  std::int32_t x = 0;  // relative to the parent symbol, if any
  std::int32_t y = 0;
  std::int32_t width = kDefaultWidth;
  std::int32_t height = kDefaultHeight;
  ComPtr<ModelShape> parent;
  ComPtr<ModelShape> source;  // both set for associations
  ComPtr<ModelShape> target;
  OptionalText activations;
  ModelDiagram* diagram = nullptr;  // the diagram holding the shape

 private:
  std::shared_ptr<const std::u16string> className_;
};

class ModelDiagram final : public ElementObject<mmapi::IMMDiagram> {
 public:
  ModelDiagram(std::int32_t id, std::int32_t kind)
      : ElementObject(ElementKind::Diagram, id), kind(kind) {}
  // Lets go of the shapes last made first: a symbol comes after its parent,
  // so each one goes before the parent it holds, and no chain of nested
  // symbols is torn down by recursion, however deep.
  ~ModelDiagram() override {
    while (!shapes.empty()) shapes.pop_back();
  }

  MMStatus MMCALL Kind(std::int32_t* out) noexcept override;
  MMStatus MMCALL SetName(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL Explorer(mmapi::IMMShapeExplorer** out) noexcept override;
  MMStatus MMCALL Print() noexcept override;

  // Appends a shape made for this diagram.
  ModelShape& Adopt(ComPtr<ModelShape> shape);

  const std::int32_t kind;
  std::int32_t pageSizeClass = 0;
  bool pageFlag = false;
  std::int32_t appliedChanges = 0;  // ApplyChanges calls, for inspection
  std::vector<ComPtr<ModelShape>> shapes;  // in the order made
  std::vector<ModelShape*> symbols;
  std::vector<ModelShape*> associations;
};

}  // namespace drvx::modelhost
