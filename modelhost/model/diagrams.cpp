#include "diagrams.h"

#include "project.h"

#include <algorithm>
#include <new>

namespace drvx::modelhost {

using mmapi::MM_E_INVALIDARG;

namespace {

const std::u16string kEmpty;

// Tells the project's faces that the shape's diagram changed.
void Noted(const ModelShape& shape) {
  if (shape.diagram && shape.Attached()) shape.Project().changes.Diagram(shape.diagram->ElementId());
}

// Does a change of the shape, then tells it.
template <class Body>
MMStatus Changing(const ModelShape& shape, const char* operation, Body&& body) noexcept {
  return Do(operation, [&] {
    body();
    Noted(shape);
  });
}

// The shape of this diagram behind an interface pointer handed in by a caller.
ModelShape& ShapeOf(ModelDiagram& diagram, mmapi::IMMShape* shape, const char* what) {
  if (!shape) Fail(mmapi::MM_E_POINTER, std::string(what) + ": the shape is null");
  std::int32_t id = 0;
  if (mmapi::MMFailed(shape->Id(&id)))
    Fail(MM_E_INVALIDARG, std::string(what) + ": the shape has no identifier");
  ModelElement* element = diagram.Project().Find(id);
  auto* found = element && element->Kind() == ElementKind::Shape
                    ? static_cast<ModelShape*>(element)
                    : nullptr;
  if (!found || found->diagram != &diagram)
    Fail(MM_E_INVALIDARG, std::string(what) + ": shape " + std::to_string(id) +
                              " is not on this diagram");
  return *found;
}

// The editing and layout side of one diagram, made for each Explorer call.
class DiagramExplorerObject final
    : public mmapi::cxx::ComObject<mmapi::IMMDiagramExplorer, mmapi::IMMDiagramLayout> {
 public:
  explicit DiagramExplorerObject(ComPtr<ModelDiagram> diagram) : d_(std::move(diagram)) {}

  MMStatus MMCALL ShapeCount(std::int32_t* out) noexcept override {
    return AnswerValue("ShapeCount", out, [&] { return std::int32_t(d_->shapes.size()); });
  }
  MMStatus MMCALL Shapes(std::int32_t index, mmapi::IMMShape** out) noexcept override {
    return AnswerRef("Shapes", out, [&] {
      CheckIndex("Shapes", index, d_->shapes.size());
      return d_->shapes[std::size_t(index)]->AsShape();
    });
  }
  MMStatus MMCALL SymbolCount(std::int32_t* out) noexcept override {
    return AnswerValue("SymbolCount", out, [&] { return std::int32_t(d_->symbols.size()); });
  }
  MMStatus MMCALL Symbols(std::int32_t index, mmapi::IMMShape** out) noexcept override {
    return AnswerRef("Symbols", out, [&] {
      CheckIndex("Symbols", index, d_->symbols.size());
      return d_->symbols[std::size_t(index)]->AsShape();
    });
  }
  MMStatus MMCALL AssociationCount(std::int32_t* out) noexcept override {
    return AnswerValue("AssociationCount", out,
                       [&] { return std::int32_t(d_->associations.size()); });
  }
  MMStatus MMCALL Associations(std::int32_t index, mmapi::IMMAssociation** out) noexcept override {
    return AnswerRef("Associations", out, [&]() -> mmapi::IMMAssociation* {
      CheckIndex("Associations", index, d_->associations.size());
      return d_->associations[std::size_t(index)];
    });
  }

  MMStatus MMCALL ApplyChanges() noexcept override {
    return Do("ApplyChanges", [&] { ++d_->appliedChanges; });
  }

  MMStatus MMCALL CreateSymbol(const char16_t* symbolClass, std::uint32_t length,
                               mmapi::IMMShape* parent, mmapi::IMMShape** out) noexcept override {
    return AnswerRef("CreateSymbol", out, [&] {
      const auto cls = In(symbolClass, length);
      if (cls.empty()) Fail(MM_E_INVALIDARG, "CreateSymbol: the symbol class is empty");
      ModelShape* owner = parent ? &ShapeOf(*d_, parent, "CreateSymbol") : nullptr;
      if (owner && owner->IsAssociation())
        Fail(MM_E_INVALIDARG, "CreateSymbol: an association cannot be a parent");
      auto shape = d_->Project().NewShape(cls);
      shape->parent = ComPtr<ModelShape>::Share(owner);
      ModelShape& made = d_->Adopt(std::move(shape));
      Noted(made);
      return made.AsShape();
    });
  }

  MMStatus MMCALL CreateAssociation(const char16_t* associationClass, std::uint32_t length,
                                    mmapi::IMMShape* source, mmapi::IMMShape* target,
                                    mmapi::IMMAssociation** out) noexcept override {
    return AnswerRef("CreateAssociation", out, [&]() -> mmapi::IMMAssociation* {
      const auto cls = In(associationClass, length);
      if (cls.empty()) Fail(MM_E_INVALIDARG, "CreateAssociation: the association class is empty");
      ModelShape& from = ShapeOf(*d_, source, "CreateAssociation");
      ModelShape& to = ShapeOf(*d_, target, "CreateAssociation");
      if (from.IsAssociation() || to.IsAssociation())
        Fail(MM_E_INVALIDARG, "CreateAssociation: the ends must be symbols");
      auto shape = d_->Project().NewShape(cls);
      shape->source = ComPtr<ModelShape>::Share(&from);
      shape->target = ComPtr<ModelShape>::Share(&to);
      ModelShape& made = d_->Adopt(std::move(shape));
      Noted(made);
      return &made;
    });
  }

  MMStatus MMCALL DiagramLayout(mmapi::IMMDiagramLayout** out) noexcept override {
    return AnswerRef("DiagramLayout", out, [&]() -> mmapi::IMMDiagramLayout* { return this; });
  }

  MMStatus MMCALL SetPageFormat(std::int32_t sizeClass, mmapi::MMBool flag) noexcept override {
    return Do("SetPageFormat", [&] {
      if (sizeClass < 0 || sizeClass > 4)
        Fail(MM_E_INVALIDARG,
             "SetPageFormat: size class " + std::to_string(sizeClass) + " is not one of 0..4");
      d_->pageSizeClass = sizeClass;
      d_->pageFlag = flag != 0;
      if (d_->Attached()) d_->Project().changes.Diagram(d_->ElementId());
    });
  }
  MMStatus MMCALL PageFormat(std::int32_t* sizeClass, mmapi::MMBool* flag) noexcept override {
    if (!sizeClass || !flag) return NullOut("PageFormat");
    *sizeClass = d_->pageSizeClass;
    *flag = d_->pageFlag ? 1 : 0;
    return mmapi::MM_OK;
  }

 private:
  ComPtr<ModelDiagram> d_;
};

// A hyperlink handed out through the interface: made on each request, with
// its own copy of the name, so that the name stays valid as long as the
// caller holds the link, whatever happens to the shape.
class HyperlinkObject final : public mmapi::cxx::ComObject<mmapi::IMMHyperlink> {
 public:
  static ComPtr<HyperlinkObject> Make(ComPtr<ModelShape> shape, const HyperlinkList::Link& link) {
    void* memory = ::operator new(sizeof(HyperlinkObject) + link.name.size() * sizeof(char16_t));
    auto* chars = reinterpret_cast<char16_t*>(static_cast<char*>(memory) + sizeof(HyperlinkObject));
    std::copy(link.name.begin(), link.name.end(), chars);
    return ComPtr<HyperlinkObject>::Adopt(new (memory) HyperlinkObject(
        std::move(shape), link.kind, link.targetId, {chars, link.name.size()}));
  }
  static void operator delete(void* p) { ::operator delete(p); }

  MMStatus MMCALL Name(MMStrView* out) noexcept override {
    return AnswerText("Name", out, [&] { return name_; });
  }
  MMStatus MMCALL Kind(std::int32_t* out) noexcept override {
    return AnswerValue("Kind", out, [&] { return kind_; });
  }
  MMStatus MMCALL Target(mmapi::IMMUnknown** out) noexcept override {
    return AnswerRef("Target", out, [&]() -> mmapi::IMMUnknown* {
      if (!shape_->Attached()) return nullptr;
      ModelElement* element = shape_->Project().FindTarget(kind_, targetId_);
      return element ? element->Unknown() : nullptr;
    });
  }

 private:
  HyperlinkObject(ComPtr<ModelShape> shape, std::int32_t kind, std::int32_t targetId,
                  std::u16string_view name)
      : shape_(std::move(shape)), kind_(kind), targetId_(targetId), name_(name) {}

  ComPtr<ModelShape> shape_;  // the project is reached through it while it is open
  std::int32_t kind_;
  std::int32_t targetId_;
  std::u16string_view name_;  // the characters follow the object
};

}  // namespace

// ---- ModelShape

MMStatus ModelShape::QueryInterface(const mmapi::MMGuid& iid, void** out) noexcept {
  if ((iid == mmapi::IMMAssociation::IID && !IsAssociation()) ||
      (iid == mmapi::IMMRoleSymbol::IID && !IsRole())) {
    if (out) *out = nullptr;
    return mmapi::MM_E_NOINTERFACE;
  }
  return ElementObject::QueryInterface(iid, out);
}

const std::u16string* ModelShape::FindProperty(std::u16string_view key) const {
  auto it = properties.find(key);
  return it == properties.end() ? nullptr : &it->second;
}

void ModelShape::PutProperty(std::u16string_view key, std::u16string_view value) {
  auto it = properties.find(key);
  if (it == properties.end())
    properties.emplace(key, value);
  else
    it->second = value;
}

// A loop, not a recursion: symbols may nest as deep as a file makes them.
std::int32_t ModelShape::AbsoluteX() const {
  std::int32_t sum = 0;
  for (const ModelShape* s = this; s; s = s->parent.Get()) sum += s->x;
  return sum;
}

std::int32_t ModelShape::AbsoluteY() const {
  std::int32_t sum = 0;
  for (const ModelShape* s = this; s; s = s->parent.Get()) sum += s->y;
  return sum;
}

MMStatus ModelShape::ShapeClass(MMStrView* out) noexcept {
  return AnswerText("ShapeClass", out, [&]() -> const std::u16string& { return ClassName(); });
}

MMStatus ModelShape::HyperlinkCount(std::int32_t* out) noexcept {
  return AnswerValue("HyperlinkCount", out, [&] { return std::int32_t(hyperlinks.size()); });
}

MMStatus ModelShape::Hyperlinks(std::int32_t index, mmapi::IMMHyperlink** out) noexcept {
  ComPtr<HyperlinkObject> link;  // until the caller's reference is taken
  return AnswerRef("Hyperlinks", out, [&]() -> mmapi::IMMHyperlink* {
    CheckIndex("Hyperlinks", index, hyperlinks.size());
    link = HyperlinkObject::Make(ComPtr<ModelShape>::Share(this), hyperlinks[std::size_t(index)]);
    return link.Get();
  });
}

MMStatus ModelShape::HyperlinkName(std::int32_t index, MMStrView* out) noexcept {
  return AnswerText("HyperlinkName", out, [&] {
    CheckIndex("HyperlinkName", index, hyperlinks.size());
    return hyperlinks[std::size_t(index)].name;
  });
}

MMStatus ModelShape::AddHyperlink(std::int32_t kind, std::int32_t targetId,
                                  mmapi::IMMHyperlink** out) noexcept {
  ComPtr<HyperlinkObject> link;
  return AnswerRef("AddHyperlink", out, [&]() -> mmapi::IMMHyperlink* {
    ModelProject& project = Project();
    Noted(*this);
    if (kind < 0 || kind > mmapi::hkDiagram || kind == mmapi::hkExternal)
      Fail(MM_E_INVALIDARG, "AddHyperlink: kind " + std::to_string(kind) +
                                " is not one of 0 (class), 1 (member), 2 (module), 4 (diagram)");
    ModelElement* element = project.FindTarget(kind, targetId);
    if (!element)
      Fail(mmapi::MM_E_NOTFOUND, "AddHyperlink: no element of kind " + std::to_string(kind) +
                                     " has the id " + std::to_string(targetId));
    hyperlinks.Append(kind, targetId, element->name);
    link = HyperlinkObject::Make(ComPtr<ModelShape>::Share(this), hyperlinks[hyperlinks.size() - 1]);
    return link.Get();
  });
}

MMStatus ModelShape::Caption(MMStrView* out) noexcept {
  return AnswerText("Caption", out, [&]() -> const std::u16string& { return name; });
}

MMStatus ModelShape::Documentation(MMStrView* out) noexcept {
  return AnswerText("Documentation", out,
                    [&]() -> const std::u16string& { return documentation; });
}

MMStatus ModelShape::OneLiner(MMStrView* out) noexcept {
  return AnswerText("OneLiner", out, [&]() -> const std::u16string& { return oneLiner; });
}

MMStatus ModelShape::Property(const char16_t* key, std::uint32_t keyLength,
                              MMStrView* out) noexcept {
  return AnswerText("Property", out, [&]() -> const std::u16string& {
    const std::u16string* value = FindProperty(In(key, keyLength));
    return value ? *value : kEmpty;
  });
}

MMStatus ModelShape::SetCaption(const char16_t* text, std::uint32_t length) noexcept {
  return Changing(*this, "SetCaption", [&] { name = In(text, length); });
}

MMStatus ModelShape::SetProperty(const char16_t* key, std::uint32_t keyLength,
                                 const char16_t* value, std::uint32_t valueLength) noexcept {
  return Changing(*this, "SetProperty", [&] {
    const auto k = In(key, keyLength);
    if (k.empty()) Fail(MM_E_INVALIDARG, "SetProperty: the property name is empty");
    PutProperty(k, In(value, valueLength));
  });
}

MMStatus ModelShape::SetPosition(std::int32_t newX, std::int32_t newY) noexcept {
  return Changing(*this, "SetPosition", [&] {
    x = newX - (parent ? parent->AbsoluteX() : 0);
    y = newY - (parent ? parent->AbsoluteY() : 0);
  });
}

MMStatus ModelShape::SetLocation(std::int32_t newX, std::int32_t newY) noexcept {
  return Changing(*this, "SetLocation", [&] {
    x = newX;
    y = newY;
  });
}

MMStatus ModelShape::SetWidth(std::int32_t value) noexcept {
  return Changing(*this, "SetWidth", [&] {
    if (value < 0) Fail(MM_E_INVALIDARG, "SetWidth: the width is negative");
    width = value;
  });
}

MMStatus ModelShape::SetHeight(std::int32_t value) noexcept {
  return Changing(*this, "SetHeight", [&] {
    if (value < 0) Fail(MM_E_INVALIDARG, "SetHeight: the height is negative");
    height = value;
  });
}

MMStatus ModelShape::Parent(mmapi::IMMShape** out) noexcept {
  return AnswerRef("Parent", out, [&]() -> mmapi::IMMShape* {
    return parent ? parent->AsShape() : nullptr;
  });
}

MMStatus ModelShape::Source(mmapi::IMMShape** out) noexcept {
  return AnswerRef("Source", out, [&]() -> mmapi::IMMShape* {
    return source ? source->AsShape() : nullptr;
  });
}

MMStatus ModelShape::Target(mmapi::IMMShape** out) noexcept {
  return AnswerRef("Target", out, [&]() -> mmapi::IMMShape* {
    return target ? target->AsShape() : nullptr;
  });
}

MMStatus ModelShape::Activations(MMStrView* out) noexcept {
  return AnswerText("Activations", out, [&]() -> const std::u16string& { return activations; });
}

MMStatus ModelShape::SetActivations(const char16_t* text, std::uint32_t length) noexcept {
  return Changing(*this, "SetActivations", [&] { activations = In(text, length); });
}

// ---- ModelDiagram

MMStatus ModelDiagram::Kind(std::int32_t* out) noexcept {
  return AnswerValue("Kind", out, [&] { return kind; });
}

MMStatus ModelDiagram::SetName(const char16_t* text, std::uint32_t length) noexcept {
  return Do("SetName", [&] {
    name = In(text, length);
    if (!Attached()) return;
    Project().changes.Diagram(ElementId());
    Project().changes.Elements();
  });
}

MMStatus ModelDiagram::Explorer(mmapi::IMMShapeExplorer** out) noexcept {
  if (!out) return NullOut("Explorer");
  *out = nullptr;
  return Do("Explorer", [&] {
    auto explorer = mmapi::cxx::MakeCom<DiagramExplorerObject>(ComPtr<ModelDiagram>::Share(this));
    *out = explorer.Detach();
  });
}

MMStatus ModelDiagram::Print() noexcept {
  return Do("Print", [&] {
    ModelProject& project = Project();
    if (project.onPrint) project.onPrint(*this);
  });
}

ModelShape& ModelDiagram::Adopt(ComPtr<ModelShape> shape) {
  shape->diagram = this;
  (shape->IsAssociation() ? associations : symbols).push_back(shape.Get());
  shapes.push_back(std::move(shape));
  return *shapes.back();
}

}  // namespace drvx::modelhost
