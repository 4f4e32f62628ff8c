#include "code_model.h"

#include "project.h"

namespace drvx::modelhost {
namespace {

// Tells the project's faces that an element's text changed (and, renamed or
// added, its place in the tree).
void Noted(const ModelElement& element, bool tree = false) {
  if (!element.Attached()) return;
  element.Project().changes.Code(element.ElementId());
  if (tree) element.Project().changes.Elements();
}

}  // namespace

using mmapi::MM_E_INVALIDARG;

namespace {

void CheckRange(const char* what, std::int32_t value, std::int32_t last) {
  if (value < 0 || value > last)
    Fail(MM_E_INVALIDARG, std::string(what) + ": " + std::to_string(value) +
                              " is not one of 0.." + std::to_string(last));
}

}  // namespace

ModelProject& ModelElement::Project() const {
  if (!project_)
    Fail(mmapi::MM_E_ILLEGAL_STATE, "the element with id " + std::to_string(id_) +
                                        " no longer belongs to an open project");
  return *project_;
}

// ---- ModelModule

MMStatus ModelModule::HeaderText(MMStrView* out) noexcept {
  return AnswerText("HeaderText", out, [&]() -> const std::u16string& { return header; });
}

MMStatus ModelModule::SetHeaderText(const char16_t* text, std::uint32_t length) noexcept {
  return Do("SetHeaderText", [&] {
    header = In(text, length);
    Noted(*this);
  });
}

// ---- ModelMember

MMStatus ModelMember::QueryInterface(const mmapi::MMGuid& iid, void** out) noexcept {
  if ((iid == mmapi::IMMMethod::IID && category != mmapi::mcMethod) ||
      (iid == mmapi::IMMField::IID && category != mmapi::mcField)) {
    if (out) *out = nullptr;
    return mmapi::MM_E_NOINTERFACE;
  }
  return ElementObject::QueryInterface(iid, out);
}

MMStatus ModelMember::MemberCategory(std::int32_t* out) noexcept {
  return AnswerValue("MemberCategory", out, [&] { return category; });
}

MMStatus ModelMember::OwnerClass(mmapi::IMMClass** out) noexcept {
  return AnswerRef(
      "OwnerClass", out, [&]() -> mmapi::IMMClass* { return owner; });
}

MMStatus ModelMember::TypeName(MMStrView* out) noexcept {
  return AnswerText("TypeName", out, [&]() -> const std::u16string& { return typeName; });
}

MMStatus ModelMember::SetTypeName(const char16_t* text, std::uint32_t length) noexcept {
  return Do("SetTypeName", [&] {
    typeName = In(text, length);
    Noted(*this);
  });
}

MMStatus ModelMember::SetName(const char16_t* text, std::uint32_t length) noexcept {
  return Do("SetName", [&] {
    name = In(text, length);
    Noted(*this, true);
  });
}

MMStatus ModelMember::Visibility(std::int32_t* out) noexcept {
  return AnswerValue("Visibility", out, [&] { return visibility; });
}

MMStatus ModelMember::SetVisibility(std::int32_t value) noexcept {
  return Do("SetVisibility", [&] {
    CheckRange("SetVisibility", value, mmapi::scAutomated);
    visibility = value;
    Noted(*this);
  });
}

MMStatus ModelMember::MethodKind(std::int32_t* out) noexcept {
  return AnswerValue("MethodKind", out, [&] { return methodKind; });
}

MMStatus ModelMember::SetMethodKind(std::int32_t kind) noexcept {
  return Do("SetMethodKind", [&] {
    CheckRange("SetMethodKind", kind, mmapi::mkMethod);
    methodKind = kind;
    Noted(*this);
  });
}

MMStatus ModelMember::ParameterText(MMStrView* out) noexcept {
  return AnswerText("ParameterText", out, [&]() -> const std::u16string& { return parameters; });
}

MMStatus ModelMember::SetParameterText(const char16_t* text, std::uint32_t length) noexcept {
  return Do("SetParameterText", [&] {
    parameters = In(text, length);
    Noted(*this);
  });
}

MMStatus ModelMember::Binding(std::int32_t* out) noexcept {
  return AnswerValue("Binding", out, [&] { return binding; });
}

MMStatus ModelMember::SetBinding(std::int32_t value) noexcept {
  return Do("SetBinding", [&] {
    CheckRange("SetBinding", value, mmapi::mbAbstract);
    binding = value;
    Noted(*this);
  });
}

MMStatus ModelMember::AppendToBody(const char16_t* text, std::uint32_t length) noexcept {
  return Do("AppendToBody", [&] {
    sections.push_back(In(text, length));
    Noted(*this);
  });
}

MMStatus ModelMember::InsertIntoBody(const char16_t* text, std::uint32_t length) noexcept {
  return Do("InsertIntoBody", [&] {
    sections.push_front(In(text, length));
    Noted(*this);
  });
}

MMStatus ModelMember::SectionCount(std::int32_t* out) noexcept {
  return AnswerValue("SectionCount", out,
                     [&] { return static_cast<std::int32_t>(sections.size()); });
}

MMStatus ModelMember::SectionText(std::int32_t index, MMStrView* out) noexcept {
  return AnswerText("SectionText", out, [&] {
    CheckIndex("SectionText", index, sections.size());
    return sections[std::size_t(index)];
  });
}

MMStatus ModelMember::FindInSections(const char16_t* text, std::uint32_t length,
                                     std::int32_t* section) noexcept {
  return AnswerValue("FindInSections", section, [&] {
    const std::u16string_view wanted = In(text, length);
    if (wanted.empty()) return std::int32_t{0};
    for (std::size_t i = 0; i < sections.size(); ++i)
      if (sections[i].find(wanted) != std::u16string_view::npos)
        return static_cast<std::int32_t>(i + 1);
    return std::int32_t{0};
  });
}

// ---- ModelClass

MMStatus ModelClass::MemberCount(std::int32_t* out) noexcept {
  return AnswerValue("MemberCount", out,
                     [&] { return static_cast<std::int32_t>(members.size()); });
}

MMStatus ModelClass::Members(std::int32_t index, mmapi::IMMMember** out) noexcept {
  return AnswerRef("Members", out, [&]() -> mmapi::IMMMember* {
    CheckIndex("Members", index, members.size());
    return static_cast<mmapi::IMMMethod*>(members[std::size_t(index)].Get());
  });
}

MMStatus ModelClass::FindMember(const char16_t* text, std::uint32_t length,
                                std::int32_t* index) noexcept {
  return AnswerValue("FindMember", index, [&] {
    const std::u16string_view wanted = In(text, length);
    for (std::size_t i = 0; i < members.size(); ++i)
      if (members[i]->name == wanted) return static_cast<std::int32_t>(i);
    return std::int32_t{-1};
  });
}

MMStatus ModelClass::AddField(mmapi::IMMField** out) noexcept {
  return AnswerRef("AddField", out, [&]() -> mmapi::IMMField* {
    auto member = Project().NewMember(mmapi::mcField);
    Adopt(member);
    Noted(*this, true);
    return member.Get();
  });
}

MMStatus ModelClass::AddMethod(mmapi::IMMMethod** out) noexcept {
  return AnswerRef("AddMethod", out, [&]() -> mmapi::IMMMethod* {
    auto member = Project().NewMember(mmapi::mcMethod);
    member->visibility = mmapi::scPublic;
    Adopt(member);
    Noted(*this, true);
    return member.Get();
  });
}

MMStatus ModelClass::Module(mmapi::IMMModule** out) noexcept {
  return AnswerRef("Module", out, [&]() -> mmapi::IMMModule* { return module.Get(); });
}

void ModelClass::Adopt(ComPtr<ModelMember> member) {
  member->owner = this;
  members.push_back(std::move(member));
}

}  // namespace drvx::modelhost
