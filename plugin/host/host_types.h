// The host's enumerations as the plug-in speaks them: enum classes over the
// numbers the boundary defines (mmapi/model.h, mmapi/diagram.h,
// mmapi/services.h), and the names of menus and shortcut keys. The rest of
// the plug-in takes these from here, never from the boundary headers.
#pragma once

#include <cstdint>

#include "mmapi/cxx/com_object.h"
#include "mmapi/expert.h"

namespace drvx::host {

enum class Visibility : std::int32_t {
  Default = mmapi::scDefault,
  StrictPrivate = mmapi::scStrictPrivate,
  Private = mmapi::scPrivate,
  StrictProtected = mmapi::scStrictProtected,
  Protected = mmapi::scProtected,
  Public = mmapi::scPublic,
  Published = mmapi::scPublished,
  Automated = mmapi::scAutomated,
};

enum class MemberCategory : std::int32_t {
  Field = mmapi::mcField,
  Property = mmapi::mcProperty,
  Method = mmapi::mcMethod,
  Event = mmapi::mcEvent,
};

enum class MethodKind : std::int32_t {
  Constructor = mmapi::mkConstructor,
  Destructor = mmapi::mkDestructor,
  Procedure = mmapi::mkProcedure,
  Function = mmapi::mkFunction,
  Operator = mmapi::mkOperator,
  Method = mmapi::mkMethod,
};

enum class HyperlinkKind : std::int32_t {
  Class = mmapi::hkClass,
  Member = mmapi::hkMember,
  Module = mmapi::hkModule,
  External = mmapi::hkExternal,
  Diagram = mmapi::hkDiagram,
};

// A kind without a name here is still a DiagramKind: its number.
enum class DiagramKind : std::int32_t {
  Class = mmapi::dkClass,
  UseCase = mmapi::dkUseCase,
  Interaction = mmapi::dkInteraction,
  Activity = mmapi::dkActivity,
  StateMachine = mmapi::dkStateMachine,
  Robustness = mmapi::dkRobustness,
  MindMap = mmapi::dkMindMap,
};

// The host's views a navigator can show.
enum class View : std::int32_t { Diagrams = mmapi::MMViewDiagrams };

// The host's menus (the expert's verbs name theirs) and shortcut bits.
using mmapi::TMenuPlacement;
using mmapi::ToolsMenu;
using mmapi::MainMenu;
using mmapi::VCSMenu;
using mmapi::ClassesMenu;
using mmapi::MembersMenu;
using mmapi::ModulesMenu;
using mmapi::DiagramMenu;
using mmapi::DiagramEditorMenu;
using mmapi::MMShortcutAlt;
using mmapi::MMShortcutCtrl;
using mmapi::MMShortcutShift;

// Counted references and the objects the plug-in hands the host.
using mmapi::cxx::ComPtr;
using mmapi::cxx::MakeCom;

}  // namespace drvx::host
