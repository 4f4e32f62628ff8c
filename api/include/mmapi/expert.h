// The interfaces a plug-in implements for the host: experts (commands) and
// project notifiers. Operation order after the root's is fixed.
#pragma once

#include "mmapi/services.h"

namespace mmapi {

// The host menu a verb appears in (8-bit on the boundary).
enum TMenuPlacement : std::uint8_t {
  ToolsMenu = 0,
  MainMenu = 1,
  VCSMenu = 2,
  ClassesMenu = 3,
  MembersMenu = 4,
  ModulesMenu = 5,
  DiagramMenu = 6,
  DiagramEditorMenu = 7,
};

// Shortcut values: virtual key code of the letter in the low byte, plus these.
inline constexpr std::uint16_t MMShortcutShift = 0x2000;
inline constexpr std::uint16_t MMShortcutCtrl = 0x4000;
inline constexpr std::uint16_t MMShortcutAlt = 0x8000;

// An expert: a set of verbs (commands) the host shows in its menus.
// Out-strings follow the rule of base.h: a view of the expert's own text.
struct IMMExpert : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{4494D382-D2DF-11D2-AA22-204C4F4F5020}");

  // The host has finished registering the expert.
  virtual MMStatus MMCALL Registered() = 0;
  // The user chose verb `index` (0 .. VerbCount - 1) from a menu or by its
  // shortcut. A failure's text is left with the host (SetErrorText).
  virtual MMStatus MMCALL Execute(std::int32_t index) = 0;
  // The host's selection changed to this element (may be null).
  virtual MMStatus MMCALL SelectionChanged(IMMUnknown* element) = 0;
  // The expert's identity, unique among the host's experts; the host may use
  // it to keep settings per expert.
  virtual MMStatus MMCALL ExpertId(MMStrView* out) = 0;
  // The model changed; `what` is a host-defined code an expert may ignore.
  virtual MMStatus MMCALL ModelChanged(std::int32_t what) = 0;
  // The menu of that placement (a TMenuPlacement) is about to open over
  // `context` (the element it opens for; may be null).
  virtual MMStatus MMCALL MenuOpening(std::int32_t placement, IMMUnknown* context) = 0;
  // Any other event of the host, with its two arguments; host-defined codes
  // an expert may ignore.
  virtual MMStatus MMCALL HostEvent(std::int32_t event, std::int32_t arg1, std::int32_t arg2) = 0;
  // The hint the host shows for verb `index`; empty for none.
  virtual MMStatus MMCALL VerbHint(std::int32_t index, MMStrView* out) = 0;
  // The picture the host shows beside verb `index`; null for none.
  virtual MMStatus MMCALL VerbImage(std::int32_t index, IMMUnknown** out) = 0;
  // The menu verb `index` appears in: a TMenuPlacement.
  virtual MMStatus MMCALL VerbPlacement(std::int32_t index, std::uint8_t* out) = 0;
  // The verb's shortcut as a virtual key code plus the MMShortcut... bits;
  // 0 for none.
  virtual MMStatus MMCALL VerbShortcut(std::int32_t index, std::uint16_t* out) = 0;
  // How many verbs the expert has; the host asks once, after Registered.
  virtual MMStatus MMCALL VerbCount(std::int32_t* out) = 0;
  // The caption the host shows for verb `index` in its menu.
  virtual MMStatus MMCALL VerbCaption(std::int32_t index, MMStrView* out) = 0;

 protected:
  ~IMMExpert() = default;
};

// Base of the host's notifiers: told when the host lets go of it.
struct IMMNotifier : IMMUnknown {
  using BaseInterface = IMMUnknown;
  static constexpr MMGuid IID = MakeGuid("{4E2ACF11-DDCB-11D2-AA37-204C4F4F5020}");

  virtual MMStatus MMCALL Destroyed() = 0;

 protected:
  ~IMMNotifier() = default;
};

// Project events. A before-query's *veto set to true asks the host not to go
// on with the action.
struct IMMProjectNotifier : IMMNotifier {
  using BaseInterface = IMMNotifier;
  static constexpr MMGuid IID = MakeGuid("{4E2ACF13-DDCB-11D2-AA37-204C4F4F5020}");

  virtual MMStatus MMCALL AfterNew() = 0;
  virtual MMStatus MMCALL AfterOpen(const char16_t* fileName, std::uint32_t length) = 0;
  virtual MMStatus MMCALL AfterSave(const char16_t* fileName, std::uint32_t length) = 0;
  virtual MMStatus MMCALL Modified() = 0;
  virtual MMStatus MMCALL BeforeNew(MMBool* veto) = 0;
  virtual MMStatus MMCALL BeforeOpen(const char16_t* fileName, std::uint32_t length,
                                     MMBool* veto) = 0;
  virtual MMStatus MMCALL BeforeSave(const char16_t* fileName, std::uint32_t length,
                                     MMBool* veto) = 0;
  virtual MMStatus MMCALL Closed() = 0;
  virtual MMStatus MMCALL CommitEditors() = 0;
  virtual MMStatus MMCALL SettingsChanged() = 0;

 protected:
  ~IMMProjectNotifier() = default;
};

}  // namespace mmapi
