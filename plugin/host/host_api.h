// Thin wrappers over the host tools interfaces, the only way the plug-in talks
// to the host. Each wrapper holds one counted reference, possibly none (test
// with operator bool); calling an operation on none throws. Every failed host
// call throws a StatusError with the host's text. Strings are 8-bit.
//
// Use on the host's user-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host_call.h"
#include "host_types.h"
#include "mmapi/services.h"

namespace drvx::host {

template <class I>
class Handle {
 public:
  using Interface = I;

  Handle() = default;
  explicit Handle(ComPtr<I> p) : p_(std::move(p)) {}

  explicit operator bool() const { return bool(p_); }
  I* Raw() const { return p_.Get(); }
  const ComPtr<I>& Ptr() const { return p_; }

  // The same object seen through another wrapper; none when it lacks that
  // interface.
  template <class W>
  W As() const {
    return W(p_.template Query<typename W::Interface>());
  }

 protected:
  I* Must(const char* what) const {
    if (!p_) ThrowNone(what);
    return p_.Get();
  }

  ComPtr<I> p_;
};

template <class>
struct IndexedAccess;
template <class O, class I>
struct IndexedAccess<I (O::*)(std::int32_t) const> {
  using Owner = O;
  using Item = I;
};

// What a count-and-index pair of a wrapper hands out, for a range-for: the
// count is read once, when the range is made; each element when it is
// reached. Holds its own reference to the owner.
template <auto Count, auto At>
class Elements {
  using Owner = typename IndexedAccess<decltype(At)>::Owner;
  using Item = typename IndexedAccess<decltype(At)>::Item;

 public:
  class iterator {
   public:
    iterator(const Owner* owner, std::int32_t index) : owner_(owner), index_(index) {}
    Item operator*() const { return (owner_->*At)(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator!=(const iterator& other) const { return index_ != other.index_; }
    // The element's index in its owner.
    std::int32_t Index() const { return index_; }

   private:
    const Owner* owner_;
    std::int32_t index_;
  };

  explicit Elements(Owner owner) : owner_(std::move(owner)), count_((owner_.*Count)()) {}
  iterator begin() const { return {&owner_, 0}; }
  iterator end() const { return {&owner_, count_}; }
  std::int32_t size() const { return count_; }

 private:
  Owner owner_;
  std::int32_t count_;
};

template <class I>
class ElementHandle : public Handle<I> {
 public:
  using Handle<I>::Handle;

  std::string Name() const {
    return ReadText([&](MMStrView* v) { return this->Must("element")->Name(v); });
  }
  // Name into a caller's buffer, for walks that read many names.
  void ReadName(std::string& out) const {
    ReadTextInto(out, [&](MMStrView* v) { return this->Must("element")->Name(v); });
  }
  std::int32_t Id() const {
    return ReadValue<std::int32_t>([&](std::int32_t* v) { return this->Must("element")->Id(v); });
  }
};

class Module;
class Class;
class Diagram;

class Member : public ElementHandle<mmapi::IMMMember> {
 public:
  using ElementHandle::ElementHandle;

  host::MemberCategory MemberCategory() const;
  Class OwnerClass() const;
  std::string TypeName() const;
  void SetTypeName(std::string_view text) const;
  void SetName(std::string_view text) const;
  host::Visibility Visibility() const;
  void SetVisibility(host::Visibility visibility) const;
};

class Field : public ElementHandle<mmapi::IMMField> {
 public:
  using ElementHandle::ElementHandle;

  Member AsMember() const { return Member(ComPtr<mmapi::IMMMember>(p_)); }
};

class Method : public ElementHandle<mmapi::IMMMethod> {
 public:
  using ElementHandle::ElementHandle;

  Member AsMember() const { return Member(ComPtr<mmapi::IMMMember>(p_)); }
  host::MethodKind MethodKind() const;
  void SetMethodKind(host::MethodKind kind) const;
  std::string ParameterText() const;
  void SetParameterText(std::string_view text) const;
  void SetBinding(std::int32_t binding) const;
  void AppendToBody(std::string_view text) const;
  void InsertIntoBody(std::string_view text) const;
  std::int32_t SectionCount() const;
  std::string SectionText(std::int32_t index) const;
  // 1-based number of the first section containing the text, 0 for none.
  std::int32_t FindInSections(std::string_view text) const;
};

class Module : public ElementHandle<mmapi::IMMModule> {
 public:
  using ElementHandle::ElementHandle;

  std::string HeaderText() const;
  void SetHeaderText(std::string_view text) const;
};

class Class : public ElementHandle<mmapi::IMMClass> {
 public:
  using ElementHandle::ElementHandle;

  std::int32_t MemberCount() const;
  Member Members(std::int32_t index) const;
  auto AllMembers() const { return Elements<&Class::MemberCount, &Class::Members>(*this); }
  // Index of the first member of that name, -1 when there is none.
  std::int32_t FindMember(std::string_view name) const;
  Field AddField() const;
  Method AddMethod() const;
  Module OwnerModule() const;
};

// One method whose code holds a searched text.
struct CodeHit {
  std::int32_t classIndex;
  std::int32_t memberIndex;
  std::int32_t section;  // 1-based: the method's first section with the text
};

// The code model's search over every method at once; none when the host
// lacks it.
class CodeSearch : public Handle<mmapi::IMMCodeSearch> {
 public:
  using Handle::Handle;

  // In the model's order of classes and members.
  std::vector<CodeHit> FindInMethodCode(std::string_view text) const;
  // The first class of this name; none when there is none.
  Class ClassNamed(std::string_view name) const;
};

class CodeModel : public Handle<mmapi::IMMCodeModel> {
 public:
  using Handle::Handle;

  std::int32_t ClassCount() const;
  Class Classes(std::int32_t index) const;
  auto AllClasses() const {
    return Elements<&CodeModel::ClassCount, &CodeModel::Classes>(*this);
  }
  CodeSearch Search() const { return As<CodeSearch>(); }
};

class Hyperlink : public Handle<mmapi::IMMHyperlink> {
 public:
  using Handle::Handle;

  std::string Name() const;
  void ReadName(std::string& out) const;
  HyperlinkKind Kind() const;
  // The linked element as a class, a member or a diagram; none when the link
  // has no target, the target is gone, or it is not of that kind.
  Class TargetClass() const;
  Member TargetMember() const;
  Diagram TargetDiagram() const;

 private:
  ComPtr<mmapi::IMMUnknown> Target() const;
};

class Shape : public ElementHandle<mmapi::IMMShape> {
 public:
  using ElementHandle::ElementHandle;

  std::int32_t HyperlinkCount() const;
  Hyperlink Hyperlinks(std::int32_t index) const;
  auto AllHyperlinks() const {
    return Elements<&Shape::HyperlinkCount, &Shape::Hyperlinks>(*this);
  }
  // The name of hyperlink `index` into a caller's buffer.
  void ReadHyperlinkName(std::int32_t index, std::string& out) const;
  Hyperlink AddHyperlink(HyperlinkKind kind, std::int32_t targetId) const;
  std::string Caption() const;
  std::string Documentation() const;
  std::string OneLiner() const;
  std::string Property(std::string_view name) const;
  void SetCaption(std::string_view text) const;
  void SetProperty(std::string_view name, std::string_view value) const;
  void SetPosition(std::int32_t x, std::int32_t y) const;
  void SetLocation(std::int32_t x, std::int32_t y) const;
  void SetWidth(std::int32_t width) const;
  void SetHeight(std::int32_t height) const;
};

class Association : public ElementHandle<mmapi::IMMAssociation> {
 public:
  using ElementHandle::ElementHandle;

  Shape AsShape() const { return Shape(ComPtr<mmapi::IMMShape>(p_)); }
  Shape Source() const;
  Shape Target() const;
};

class RoleSymbol : public Handle<mmapi::IMMRoleSymbol> {
 public:
  using Handle::Handle;

  std::string Activations() const;
  void SetActivations(std::string_view text) const;
};

class DiagramLayout : public Handle<mmapi::IMMDiagramLayout> {
 public:
  using Handle::Handle;

  void SetPageFormat(std::int32_t sizeClass, bool flag) const;
};

class ShapeExplorer : public Handle<mmapi::IMMShapeExplorer> {
 public:
  using Handle::Handle;

  std::int32_t ShapeCount() const;
  Shape Shapes(std::int32_t index) const;
  std::int32_t SymbolCount() const;
  Shape Symbols(std::int32_t index) const;
  std::int32_t AssociationCount() const;
  Association Associations(std::int32_t index) const;
  auto AllShapes() const {
    return Elements<&ShapeExplorer::ShapeCount, &ShapeExplorer::Shapes>(*this);
  }
  auto AllSymbols() const {
    return Elements<&ShapeExplorer::SymbolCount, &ShapeExplorer::Symbols>(*this);
  }
  auto AllAssociations() const {
    return Elements<&ShapeExplorer::AssociationCount, &ShapeExplorer::Associations>(*this);
  }
};

class DiagramExplorer : public Handle<mmapi::IMMDiagramExplorer> {
 public:
  using Handle::Handle;

  void ApplyChanges() const;
  // parent may be none.
  Shape CreateSymbol(std::string_view symbolClass, const Shape& parent) const;
  Association CreateAssociation(std::string_view associationClass, const Shape& source,
                                const Shape& target) const;
  DiagramLayout Layout() const;
};

class Diagram : public ElementHandle<mmapi::IMMDiagram> {
 public:
  using ElementHandle::ElementHandle;

  DiagramKind Kind() const;
  void SetName(std::string_view text) const;
  ShapeExplorer Explorer() const;
  void Print() const;
};

struct LinkHit {
  std::int32_t diagramIndex;
  std::int32_t shapeIndex;  // in the diagram's shape explorer
  std::int32_t linkIndex;   // in the shape
};

// The diagram manager's search over every hyperlink at once; none when the
// host lacks it.
class DiagramSearch : public Handle<mmapi::IMMDiagramSearch> {
 public:
  using Handle::Handle;

  // The links named so, and those whose name has a character beyond ASCII
  // (compare their 8-bit names); in the order of diagrams, shapes and links.
  std::vector<LinkHit> HyperlinksNamed(std::string_view name) const;
};

class DiagramManager : public Handle<mmapi::IMMDiagramManager> {
 public:
  using Handle::Handle;

  DiagramSearch Search() const { return As<DiagramSearch>(); }

  std::int32_t DiagramCount() const;
  Diagram Diagrams(std::int32_t index) const;
  auto AllDiagrams() const {
    return Elements<&DiagramManager::DiagramCount, &DiagramManager::Diagrams>(*this);
  }
  Diagram CreateDiagram(DiagramKind kind, std::string_view name) const;
  // Index of the diagram with this identifier, -1 when there is none.
  std::int32_t IndexOfId(std::int32_t id) const;
};

class Navigator : public Handle<mmapi::IMMNavigator> {
 public:
  using Handle::Handle;

  Class CurrentClass() const;
  Member CurrentMember() const;
  Method CurrentMethod() const;
  Diagram CurrentDiagram() const;
  Module CurrentModule() const;
  void NavigateToClass(const Class& cls) const;
  void ShowMember(const Member& member) const;
  void ShowDiagram(const Diagram& diagram) const;
  void ShowView(View view, bool bringToFront) const;
};

class ProjectManager : public Handle<mmapi::IMMProjectManager> {
 public:
  using Handle::Handle;

  std::string ProjectFileName() const;
  void BeginModelChange() const;
};

// The host's wishes for received call stacks; none when the host has none.
class CallStackOptions : public Handle<mmapi::IMMCallStackOptions> {
 public:
  using Handle::Handle;

  std::int32_t DepthLimit() const;
  std::string IncludePatterns() const;
  std::string ExcludePatterns() const;
};

// The root services, as the host handed them to the entry function. There is
// no default: whoever makes a worker hands it the services (or the part of
// them it uses).
class Services : public Handle<mmapi::IMMToolServices> {
 public:
  Services() = delete;
  explicit Services(ComPtr<mmapi::IMMToolServices> services) : Handle(std::move(services)) {}
  // Shares the host's reference.
  static Services Of(mmapi::IMMToolServices* services) {
    return Services(ComPtr<mmapi::IMMToolServices>::Share(services));
  }

  CodeModel Model() const;
  DiagramManager Diagrams() const;
  Navigator Nav() const;
  ProjectManager Project() const;
  std::uint64_t HostWindowHandle() const;
  CallStackOptions CallStacks() const { return As<CallStackOptions>(); }
};

}  // namespace drvx::host
