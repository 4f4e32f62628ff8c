#include "host_api.h"

namespace drvx::host {

using mmapi::IMMUnknown;
using std::int32_t;

// ---- Member

MemberCategory Member::MemberCategory() const {
  return host::MemberCategory(
      ReadValue<int32_t>([&](int32_t* v) { return Must("member")->MemberCategory(v); }));
}
Class Member::OwnerClass() const {
  return Class(ReadRef<mmapi::IMMClass>([&](auto** v) { return Must("member")->OwnerClass(v); }));
}
std::string Member::TypeName() const {
  return ReadText([&](MMStrView* v) { return Must("member")->TypeName(v); });
}
void Member::SetTypeName(std::string_view text) const {
  Arg16 a(text);
  Check(Must("member")->SetTypeName(a.Data(), a.Length()));
}
void Member::SetName(std::string_view text) const {
  Arg16 a(text);
  Check(Must("member")->SetName(a.Data(), a.Length()));
}
Visibility Member::Visibility() const {
  return host::Visibility(
      ReadValue<int32_t>([&](int32_t* v) { return Must("member")->Visibility(v); }));
}
void Member::SetVisibility(host::Visibility visibility) const {
  Check(Must("member")->SetVisibility(int32_t(visibility)));
}

// ---- Method

MethodKind Method::MethodKind() const {
  return host::MethodKind(
      ReadValue<int32_t>([&](int32_t* v) { return Must("method")->MethodKind(v); }));
}
void Method::SetMethodKind(host::MethodKind kind) const {
  Check(Must("method")->SetMethodKind(int32_t(kind)));
}
std::string Method::ParameterText() const {
  return ReadText([&](MMStrView* v) { return Must("method")->ParameterText(v); });
}
void Method::SetParameterText(std::string_view text) const {
  Arg16 a(text);
  Check(Must("method")->SetParameterText(a.Data(), a.Length()));
}
void Method::SetBinding(int32_t binding) const { Check(Must("method")->SetBinding(binding)); }
void Method::AppendToBody(std::string_view text) const {
  Arg16 a(text);
  Check(Must("method")->AppendToBody(a.Data(), a.Length()));
}
void Method::InsertIntoBody(std::string_view text) const {
  Arg16 a(text);
  Check(Must("method")->InsertIntoBody(a.Data(), a.Length()));
}
int32_t Method::SectionCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("method")->SectionCount(v); });
}
std::string Method::SectionText(int32_t index) const {
  return ReadText([&](MMStrView* v) { return Must("method")->SectionText(index, v); });
}

int32_t Method::FindInSections(std::string_view text) const {
  Arg16 a(text);
  return ReadValue<int32_t>(
      [&](int32_t* v) { return Must("method")->FindInSections(a.Data(), a.Length(), v); });
}

// ---- Module

std::string Module::HeaderText() const {
  return ReadText([&](MMStrView* v) { return Must("module")->HeaderText(v); });
}
void Module::SetHeaderText(std::string_view text) const {
  Arg16 a(text);
  Check(Must("module")->SetHeaderText(a.Data(), a.Length()));
}

// ---- Class

int32_t Class::MemberCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("class")->MemberCount(v); });
}
Member Class::Members(int32_t index) const {
  return Member(
      ReadRef<mmapi::IMMMember>([&](auto** v) { return Must("class")->Members(index, v); }));
}
int32_t Class::FindMember(std::string_view name) const {
  Arg16 a(name);
  return ReadValue<int32_t>(
      [&](int32_t* v) { return Must("class")->FindMember(a.Data(), a.Length(), v); });
}
Field Class::AddField() const {
  return Field(ReadRef<mmapi::IMMField>([&](auto** v) { return Must("class")->AddField(v); }));
}
Method Class::AddMethod() const {
  return Method(ReadRef<mmapi::IMMMethod>([&](auto** v) { return Must("class")->AddMethod(v); }));
}
Module Class::OwnerModule() const {
  return Module(ReadRef<mmapi::IMMModule>([&](auto** v) { return Must("class")->Module(v); }));
}

// ---- CodeModel

int32_t CodeModel::ClassCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("code model")->ClassCount(v); });
}
Class CodeModel::Classes(int32_t index) const {
  return Class(
      ReadRef<mmapi::IMMClass>([&](auto** v) { return Must("code model")->Classes(index, v); }));
}

namespace {

// A host search's answer: three values per hit.
template <class Hit>
std::vector<Hit> Triples(const mmapi::MMInt32View& view) {
  std::vector<Hit> hits;
  hits.reserve(view.count / 3);
  for (std::uint32_t i = 0; i + 2 < view.count; i += 3)
    hits.push_back({view.data[i], view.data[i + 1], view.data[i + 2]});
  return hits;
}

}  // namespace

std::vector<CodeHit> CodeSearch::FindInMethodCode(std::string_view text) const {
  Arg16 a(text);
  mmapi::MMInt32View view{};
  Check(Must("code search")->FindInMethodCode(a.Data(), a.Length(), &view));
  return Triples<CodeHit>(view);
}

Class CodeSearch::ClassNamed(std::string_view name) const {
  Arg16 a(name);
  return Class(ReadRef<mmapi::IMMClass>(
      [&](auto** v) { return Must("code search")->ClassNamed(a.Data(), a.Length(), v); }));
}

// ---- Hyperlink

std::string Hyperlink::Name() const {
  return ReadText([&](MMStrView* v) { return Must("hyperlink")->Name(v); });
}
void Hyperlink::ReadName(std::string& out) const {
  ReadTextInto(out, [&](MMStrView* v) { return Must("hyperlink")->Name(v); });
}
HyperlinkKind Hyperlink::Kind() const {
  return HyperlinkKind(ReadValue<int32_t>([&](int32_t* v) { return Must("hyperlink")->Kind(v); }));
}
ComPtr<IMMUnknown> Hyperlink::Target() const {
  return ReadRef<IMMUnknown>([&](auto** v) { return Must("hyperlink")->Target(v); });
}
Class Hyperlink::TargetClass() const { return Class(Target().Query<mmapi::IMMClass>()); }
Member Hyperlink::TargetMember() const { return Member(Target().Query<mmapi::IMMMember>()); }
Diagram Hyperlink::TargetDiagram() const { return Diagram(Target().Query<mmapi::IMMDiagram>()); }

// ---- Shape

int32_t Shape::HyperlinkCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("shape")->HyperlinkCount(v); });
}
Hyperlink Shape::Hyperlinks(int32_t index) const {
  return Hyperlink(
      ReadRef<mmapi::IMMHyperlink>([&](auto** v) { return Must("shape")->Hyperlinks(index, v); }));
}
void Shape::ReadHyperlinkName(int32_t index, std::string& out) const {
  ReadTextInto(out, [&](MMStrView* v) { return Must("shape")->HyperlinkName(index, v); });
}
Hyperlink Shape::AddHyperlink(HyperlinkKind kind, int32_t targetId) const {
  return Hyperlink(ReadRef<mmapi::IMMHyperlink>(
      [&](auto** v) { return Must("shape")->AddHyperlink(int32_t(kind), targetId, v); }));
}
std::string Shape::Caption() const {
  return ReadText([&](MMStrView* v) { return Must("shape")->Caption(v); });
}
std::string Shape::Documentation() const {
  return ReadText([&](MMStrView* v) { return Must("shape")->Documentation(v); });
}
std::string Shape::OneLiner() const {
  return ReadText([&](MMStrView* v) { return Must("shape")->OneLiner(v); });
}
std::string Shape::Property(std::string_view name) const {
  Arg16 a(name);
  return ReadText([&](MMStrView* v) { return Must("shape")->Property(a.Data(), a.Length(), v); });
}
void Shape::SetCaption(std::string_view text) const {
  Arg16 a(text);
  Check(Must("shape")->SetCaption(a.Data(), a.Length()));
}
void Shape::SetProperty(std::string_view name, std::string_view value) const {
  Arg16 n(name);
  Arg16 v(value);
  Check(Must("shape")->SetProperty(n.Data(), n.Length(), v.Data(), v.Length()));
}
void Shape::SetPosition(int32_t x, int32_t y) const { Check(Must("shape")->SetPosition(x, y)); }
void Shape::SetLocation(int32_t x, int32_t y) const { Check(Must("shape")->SetLocation(x, y)); }
void Shape::SetWidth(int32_t width) const { Check(Must("shape")->SetWidth(width)); }
void Shape::SetHeight(int32_t height) const { Check(Must("shape")->SetHeight(height)); }

// ---- Association

Shape Association::Source() const {
  return Shape(ReadRef<mmapi::IMMShape>([&](auto** v) { return Must("association")->Source(v); }));
}
Shape Association::Target() const {
  return Shape(ReadRef<mmapi::IMMShape>([&](auto** v) { return Must("association")->Target(v); }));
}

// ---- RoleSymbol

std::string RoleSymbol::Activations() const {
  return ReadText([&](MMStrView* v) { return Must("role symbol")->Activations(v); });
}
void RoleSymbol::SetActivations(std::string_view text) const {
  Arg16 a(text);
  Check(Must("role symbol")->SetActivations(a.Data(), a.Length()));
}

// ---- DiagramLayout

void DiagramLayout::SetPageFormat(int32_t sizeClass, bool flag) const {
  Check(Must("diagram layout")->SetPageFormat(sizeClass, flag ? 1 : 0));
}

// ---- ShapeExplorer

int32_t ShapeExplorer::ShapeCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("shape explorer")->ShapeCount(v); });
}
Shape ShapeExplorer::Shapes(int32_t index) const {
  return Shape(
      ReadRef<mmapi::IMMShape>([&](auto** v) { return Must("shape explorer")->Shapes(index, v); }));
}
int32_t ShapeExplorer::SymbolCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("shape explorer")->SymbolCount(v); });
}
Shape ShapeExplorer::Symbols(int32_t index) const {
  return Shape(ReadRef<mmapi::IMMShape>(
      [&](auto** v) { return Must("shape explorer")->Symbols(index, v); }));
}
int32_t ShapeExplorer::AssociationCount() const {
  return ReadValue<int32_t>(
      [&](int32_t* v) { return Must("shape explorer")->AssociationCount(v); });
}
Association ShapeExplorer::Associations(int32_t index) const {
  return Association(ReadRef<mmapi::IMMAssociation>(
      [&](auto** v) { return Must("shape explorer")->Associations(index, v); }));
}

// ---- DiagramExplorer

void DiagramExplorer::ApplyChanges() const { Check(Must("diagram explorer")->ApplyChanges()); }
Shape DiagramExplorer::CreateSymbol(std::string_view symbolClass, const Shape& parent) const {
  Arg16 a(symbolClass);
  return Shape(ReadRef<mmapi::IMMShape>([&](auto** v) {
    return Must("diagram explorer")->CreateSymbol(a.Data(), a.Length(), parent.Raw(), v);
  }));
}
Association DiagramExplorer::CreateAssociation(std::string_view associationClass,
                                               const Shape& source, const Shape& target) const {
  Arg16 a(associationClass);
  return Association(ReadRef<mmapi::IMMAssociation>([&](auto** v) {
    return Must("diagram explorer")
        ->CreateAssociation(a.Data(), a.Length(), source.Raw(), target.Raw(), v);
  }));
}
DiagramLayout DiagramExplorer::Layout() const {
  return DiagramLayout(ReadRef<mmapi::IMMDiagramLayout>(
      [&](auto** v) { return Must("diagram explorer")->DiagramLayout(v); }));
}

// ---- Diagram

DiagramKind Diagram::Kind() const {
  return DiagramKind(ReadValue<int32_t>([&](int32_t* v) { return Must("diagram")->Kind(v); }));
}
void Diagram::SetName(std::string_view text) const {
  Arg16 a(text);
  Check(Must("diagram")->SetName(a.Data(), a.Length()));
}
ShapeExplorer Diagram::Explorer() const {
  return ShapeExplorer(
      ReadRef<mmapi::IMMShapeExplorer>([&](auto** v) { return Must("diagram")->Explorer(v); }));
}
void Diagram::Print() const { Check(Must("diagram")->Print()); }

// ---- DiagramManager

std::vector<LinkHit> DiagramSearch::HyperlinksNamed(std::string_view name) const {
  Arg16 a(name);
  mmapi::MMInt32View view{};
  Check(Must("diagram search")->HyperlinksNamed(a.Data(), a.Length(), &view));
  return Triples<LinkHit>(view);
}

int32_t DiagramManager::DiagramCount() const {
  return ReadValue<int32_t>([&](int32_t* v) { return Must("diagram manager")->DiagramCount(v); });
}
Diagram DiagramManager::Diagrams(int32_t index) const {
  return Diagram(ReadRef<mmapi::IMMDiagram>(
      [&](auto** v) { return Must("diagram manager")->Diagrams(index, v); }));
}
Diagram DiagramManager::CreateDiagram(DiagramKind kind, std::string_view name) const {
  Arg16 a(name);
  return Diagram(ReadRef<mmapi::IMMDiagram>([&](auto** v) {
    return Must("diagram manager")->CreateDiagram(int32_t(kind), a.Data(), a.Length(), v);
  }));
}
int32_t DiagramManager::IndexOfId(int32_t id) const {
  return ReadValue<int32_t>(
      [&](int32_t* v) { return Must("diagram manager")->IndexOfId(id, v); });
}

// ---- Navigator

Class Navigator::CurrentClass() const {
  return Class(
      ReadRef<mmapi::IMMClass>([&](auto** v) { return Must("navigator")->CurrentClass(v); }));
}
Member Navigator::CurrentMember() const {
  return Member(
      ReadRef<mmapi::IMMMember>([&](auto** v) { return Must("navigator")->CurrentMember(v); }));
}
Method Navigator::CurrentMethod() const {
  return Method(
      ReadRef<mmapi::IMMMethod>([&](auto** v) { return Must("navigator")->CurrentMethod(v); }));
}
Diagram Navigator::CurrentDiagram() const {
  return Diagram(
      ReadRef<mmapi::IMMDiagram>([&](auto** v) { return Must("navigator")->CurrentDiagram(v); }));
}
Module Navigator::CurrentModule() const {
  return Module(
      ReadRef<mmapi::IMMModule>([&](auto** v) { return Must("navigator")->CurrentModule(v); }));
}
void Navigator::NavigateToClass(const Class& cls) const {
  Check(Must("navigator")->NavigateToClass(cls.Raw()));
}
void Navigator::ShowMember(const Member& member) const {
  Check(Must("navigator")->ShowMember(member.Raw()));
}
void Navigator::ShowDiagram(const Diagram& diagram) const {
  Check(Must("navigator")->ShowDiagram(diagram.Raw()));
}
void Navigator::ShowView(View view, bool bringToFront) const {
  Check(Must("navigator")->ShowView(int32_t(view), bringToFront ? 1 : 0));
}

// ---- ProjectManager

std::string ProjectManager::ProjectFileName() const {
  return ReadText([&](MMStrView* v) { return Must("project manager")->ProjectFileName(v); });
}
void ProjectManager::BeginModelChange() const {
  Check(Must("project manager")->BeginModelChange());
}

// ---- Services

CodeModel Services::Model() const {
  return CodeModel(
      ReadRef<mmapi::IMMCodeModel>([&](auto** v) { return Must("services")->CodeModel(v); }));
}
DiagramManager Services::Diagrams() const {
  return DiagramManager(ReadRef<mmapi::IMMDiagramManager>(
      [&](auto** v) { return Must("services")->DiagramManager(v); }));
}
Navigator Services::Nav() const {
  return Navigator(
      ReadRef<mmapi::IMMNavigator>([&](auto** v) { return Must("services")->Navigator(v); }));
}
ProjectManager Services::Project() const {
  return ProjectManager(ReadRef<mmapi::IMMProjectManager>(
      [&](auto** v) { return Must("services")->ProjectManager(v); }));
}
std::int32_t CallStackOptions::DepthLimit() const {
  return ReadValue<std::int32_t>(
      [&](std::int32_t* v) { return Must("call-stack options")->DepthLimit(v); });
}
std::string CallStackOptions::IncludePatterns() const {
  return ReadText([&](MMStrView* v) { return Must("call-stack options")->IncludePatterns(v); });
}
std::string CallStackOptions::ExcludePatterns() const {
  return ReadText([&](MMStrView* v) { return Must("call-stack options")->ExcludePatterns(v); });
}

std::uint64_t Services::HostWindowHandle() const {
  return ReadValue<std::uint64_t>(
      [&](std::uint64_t* v) { return Must("services")->HostWindowHandle(v); });
}

}  // namespace drvx::host
