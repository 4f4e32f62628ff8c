// Modules, classes and members of the substitute host's code model.
#pragma once

#include <vector>

#include "code_arena.h"
#include "element.h"

namespace drvx::modelhost {

class ModelClass;

class ModelModule final : public ElementObject<mmapi::IMMModule> {
 public:
  explicit ModelModule(std::int32_t id) : ElementObject(ElementKind::Module, id) {}

  MMStatus MMCALL HeaderText(MMStrView* out) noexcept override;
  MMStatus MMCALL SetHeaderText(const char16_t* text, std::uint32_t length) noexcept override;

  std::u16string header;
};

// A member of any category. Only methods answer IMMMethod and only fields
// IMMField; the method data is unused for other categories.
class ModelMember final : public ElementObject<mmapi::IMMMethod, mmapi::IMMField> {
 public:
  // The member's code sections go into the project's arena.
  ModelMember(std::int32_t id, std::int32_t category, std::shared_ptr<CodeArena> code)
      : ElementObject(ElementKind::Member, id), category(category), sections(std::move(code)) {}

  MMStatus MMCALL QueryInterface(const mmapi::MMGuid& iid, void** out) noexcept override;
  void Detach() override {
    owner = nullptr;
    ModelElement::Detach();
  }

  // IMMMember
  MMStatus MMCALL MemberCategory(std::int32_t* out) noexcept override;
  MMStatus MMCALL OwnerClass(mmapi::IMMClass** out) noexcept override;
  MMStatus MMCALL TypeName(MMStrView* out) noexcept override;
  MMStatus MMCALL SetTypeName(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL SetName(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL Visibility(std::int32_t* out) noexcept override;
  MMStatus MMCALL SetVisibility(std::int32_t visibility) noexcept override;
  // IMMMethod
  MMStatus MMCALL MethodKind(std::int32_t* out) noexcept override;
  MMStatus MMCALL SetMethodKind(std::int32_t kind) noexcept override;
  MMStatus MMCALL ParameterText(MMStrView* out) noexcept override;
  MMStatus MMCALL SetParameterText(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL Binding(std::int32_t* out) noexcept override;
  MMStatus MMCALL SetBinding(std::int32_t binding) noexcept override;
  MMStatus MMCALL AppendToBody(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL InsertIntoBody(const char16_t* text, std::uint32_t length) noexcept override;
  MMStatus MMCALL SectionCount(std::int32_t* out) noexcept override;
  MMStatus MMCALL SectionText(std::int32_t index, MMStrView* out) noexcept override;
  MMStatus MMCALL FindInSections(const char16_t* text, std::uint32_t length,
                                 std::int32_t* section) noexcept override;

  std::int32_t category;
  std::u16string typeName;
  std::int32_t visibility = mmapi::scPrivate;
  ModelClass* owner = nullptr;  // the class that holds this member
  // Methods only.
  std::int32_t methodKind = mmapi::mkProcedure;
  std::u16string parameters;
  std::int32_t binding = mmapi::mbStatic;
  CodeSections sections;
};

class ModelClass final : public ElementObject<mmapi::IMMClass> {
 public:
  explicit ModelClass(std::int32_t id) : ElementObject(ElementKind::Class, id) {}

  MMStatus MMCALL MemberCount(std::int32_t* out) noexcept override;
  MMStatus MMCALL Members(std::int32_t index, mmapi::IMMMember** out) noexcept override;
  MMStatus MMCALL FindMember(const char16_t* name, std::uint32_t length,
                             std::int32_t* index) noexcept override;
  MMStatus MMCALL AddField(mmapi::IMMField** out) noexcept override;
  MMStatus MMCALL AddMethod(mmapi::IMMMethod** out) noexcept override;
  MMStatus MMCALL Module(mmapi::IMMModule** out) noexcept override;

  // Appends a member (which must not belong to a class yet).
  void Adopt(ComPtr<ModelMember> member);

  ComPtr<ModelModule> module;  // may be null
  std::vector<ComPtr<ModelMember>> members;
};

}  // namespace drvx::modelhost
