// Interfaces of the host's code model: elements, classes, members, methods,
// fields and modules. Declarations only.
//
// Common rules for every operation below:
// - out-pointers are cleared first; an interface out-parameter receives a
//   counted reference the caller releases, or null for "none";
// - an index outside 0..count-1 fails with MM_E_BOUNDS, a null out-pointer
//   with MM_E_POINTER; every failure leaves an error text;
// - nothing is thrown across the boundary.
#pragma once

#include "mmapi/unknown.h"

namespace mmapi {

struct IMMClass;

// Anything of the model with a name and a stable integer identifier.
// Identifiers are unique across all elements of a project.
struct IMMElement : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{89B84286-24FA-4C98-B3ED-473448EA2132}");

  virtual MMStatus MMCALL Name(MMStrView* out) = 0;
  virtual MMStatus MMCALL Id(std::int32_t* out) = 0;

 protected:
  ~IMMElement() = default;
};

// Member categories as the host reports them.
enum MMMemberCategory : std::int32_t {
  mcField = 0,
  mcProperty = 1,
  mcMethod = 2,
  mcEvent = 3,
};

// Visibility indices; names "scDefault" ... "scAutomated" in this order.
enum MMVisibility : std::int32_t {
  scDefault = 0,
  scStrictPrivate = 1,
  scPrivate = 2,
  scStrictProtected = 3,
  scProtected = 4,
  scPublic = 5,
  scPublished = 6,
  scAutomated = 7,
};

enum MMMethodKind : std::int32_t {
  mkConstructor = 0,
  mkDestructor = 1,
  mkProcedure = 2,
  mkFunction = 3,
  mkOperator = 4,
  mkMethod = 5,
};

enum MMMethodBinding : std::int32_t {
  mbStatic = 0,
  mbVirtual = 1,
  mbDynamic = 2,
  mbOverride = 3,
  mbAbstract = 4,
};

// A member of a class. Methods also offer IMMMethod, fields IMMField.
struct IMMMember : IMMElement {
  using BaseInterface = IMMElement;
  static constexpr MMGuid IID = MakeGuid("{8D91EC8B-CD04-4900-8E08-C219CA218F2C}");

  virtual MMStatus MMCALL MemberCategory(std::int32_t* out) = 0;
  virtual MMStatus MMCALL OwnerClass(IMMClass** out) = 0;
  // Type of a field or property, result type of a function.
  virtual MMStatus MMCALL TypeName(MMStrView* out) = 0;
  virtual MMStatus MMCALL SetTypeName(const char16_t* text, std::uint32_t length) = 0;
  virtual MMStatus MMCALL SetName(const char16_t* text, std::uint32_t length) = 0;
  virtual MMStatus MMCALL Visibility(std::int32_t* out) = 0;
  // Fails with MM_E_INVALIDARG outside 0..7.
  virtual MMStatus MMCALL SetVisibility(std::int32_t visibility) = 0;

 protected:
  ~IMMMember() = default;
};

// The field view of a member; no operations beyond the member's.
struct IMMField : IMMMember {
  using BaseInterface = IMMMember;
  static constexpr MMGuid IID = MakeGuid("{AD6DD29B-723C-4454-95FA-BDE53A55EB96}");

 protected:
  ~IMMField() = default;
};

// The method view of a member. Its implementation is an ordered list of code
// sections; the full implementation is their concatenation.
struct IMMMethod : IMMMember {
  using BaseInterface = IMMMember;
  static constexpr MMGuid IID = MakeGuid("{E6BA43E8-957D-4AA2-8094-8C64D07C1DE2}");

  virtual MMStatus MMCALL MethodKind(std::int32_t* out) = 0;
  // Fails with MM_E_INVALIDARG outside 0..5.
  virtual MMStatus MMCALL SetMethodKind(std::int32_t kind) = 0;
  virtual MMStatus MMCALL ParameterText(MMStrView* out) = 0;
  virtual MMStatus MMCALL SetParameterText(const char16_t* text, std::uint32_t length) = 0;
  virtual MMStatus MMCALL Binding(std::int32_t* out) = 0;
  // Fails with MM_E_INVALIDARG outside 0..4.
  virtual MMStatus MMCALL SetBinding(std::int32_t binding) = 0;
  // Adds the text as a new code section after the last one.
  virtual MMStatus MMCALL AppendToBody(const char16_t* text, std::uint32_t length) = 0;
  // Adds the text as a new code section before the first one.
  virtual MMStatus MMCALL InsertIntoBody(const char16_t* text, std::uint32_t length) = 0;
  virtual MMStatus MMCALL SectionCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL SectionText(std::int32_t index, MMStrView* out) = 0;
  // The number (1-based) of the first code section that contains the text
  // (case-sensitive), 0 when none does or the text is empty.
  virtual MMStatus MMCALL FindInSections(const char16_t* text, std::uint32_t length,
                                         std::int32_t* section) = 0;

 protected:
  ~IMMMethod() = default;
};

struct IMMModule : IMMElement {
  using BaseInterface = IMMElement;
  static constexpr MMGuid IID = MakeGuid("{C52A42BC-60E0-4418-85B7-104FACD09366}");

  // The text in front of the module's declarations (its comment header).
  virtual MMStatus MMCALL HeaderText(MMStrView* out) = 0;
  virtual MMStatus MMCALL SetHeaderText(const char16_t* text, std::uint32_t length) = 0;

 protected:
  ~IMMModule() = default;
};

struct IMMClass : IMMElement {
  using BaseInterface = IMMElement;
  static constexpr MMGuid IID = MakeGuid("{F5EF3EB5-6882-42DB-B2CB-CA55FED68BB3}");

  virtual MMStatus MMCALL MemberCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Members(std::int32_t index, IMMMember** out) = 0;
  // Index of the first member with exactly this name, -1 when there is none.
  virtual MMStatus MMCALL FindMember(const char16_t* name, std::uint32_t length,
                                     std::int32_t* index) = 0;
  // Appends a new private field without name or type.
  virtual MMStatus MMCALL AddField(IMMField** out) = 0;
  // Appends a new public procedure without name, parameters or code.
  virtual MMStatus MMCALL AddMethod(IMMMethod** out) = 0;
  virtual MMStatus MMCALL Module(IMMModule** out) = 0;

 protected:
  ~IMMClass() = default;
};

// Searches over the whole code model in one call each. Optional: from a code
// model that refuses it (QueryInterface) the same answers come method by
// method (IMMMethod::FindInSections) and class by class.
struct IMMCodeSearch : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{98629FB3-5F91-4838-8940-25B25841329D}");

  // The methods whose code contains the text (case-sensitive; an empty text
  // finds none), in the model's order of classes and members, three values
  // each: the class's index, the member's index in its class, and the number
  // (1-based) of the method's first section that contains the text. The
  // view stays valid until the next search.
  virtual MMStatus MMCALL FindInMethodCode(const char16_t* text, std::uint32_t length,
                                           MMInt32View* out) = 0;
  // The first class, in the model's order, with exactly this name
  // (case-sensitive); null when there is none.
  virtual MMStatus MMCALL ClassNamed(const char16_t* name, std::uint32_t length,
                                     IMMClass** out) = 0;

 protected:
  ~IMMCodeSearch() = default;
};

struct IMMCodeModel : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{EF8B6533-A5AB-4417-805F-36E87443A714}");

  virtual MMStatus MMCALL ClassCount(std::int32_t* out) = 0;
  virtual MMStatus MMCALL Classes(std::int32_t index, IMMClass** out) = 0;

 protected:
  ~IMMCodeModel() = default;
};

}  // namespace mmapi
