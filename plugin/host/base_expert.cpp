#include "base_expert.h"

#include <stdexcept>

#include "drvx/platform/dialogs.h"
#include "guarded.h"

namespace drvx::host {
namespace {

using mmapi::MMStatus;

struct DemoVerb {
  mmapi::TMenuPlacement placement;
  std::uint16_t shortcut;
  const char16_t* caption;
  const char* message;
};

constexpr std::uint16_t kCtrlShift = mmapi::MMShortcutCtrl | mmapi::MMShortcutShift;

constexpr DemoVerb kDemoVerbs[8] = {
    {mmapi::ToolsMenu, kCtrlShift | 'D', u"MM Basis Expert im Toolsmenu", "ToolsMenu aufgerufen...."},
    {mmapi::MainMenu, kCtrlShift | 'E', u"MM Basis Expert im MainMenu", "MainMenu aufgerufen...."},
    {mmapi::VCSMenu, kCtrlShift | 'F', u"MM Basis Expert im VCSMenu", "VCSMenu aufgerufen...."},
    {mmapi::ClassesMenu, kCtrlShift | 'G', u"MM Basis Expert im ClassesMenu",
     "ClassesMenu aufgerufen...."},
    {mmapi::MembersMenu, kCtrlShift | 'H', u"MM Basis Expert im MembersMenu",
     "MembersMenu aufgerufen...."},
    {mmapi::ModulesMenu, kCtrlShift | 'I', u"MM Basis Expert im UnitsMenu",
     "ModulesMenu aufgerufen...."},
    {mmapi::DiagramMenu, kCtrlShift | 'J', u"MM Basis Expert im DiagramMenu",
     "DiagramMenu aufgerufen...."},
    {mmapi::DiagramEditorMenu, kCtrlShift | 'K', u"MM Basis Expert im DiagramEditorMenu",
     "DiagramEditorMenu aufgerufen...."},
};

const DemoVerb& DemoVerbAt(int index) {
  if (index < 0 || index > 7)
    throw std::logic_error("Assertion failed: verb index " + std::to_string(index) +
                           " is outside 0..7 (KorvantiBaseExpert)");
  return kDemoVerbs[index];
}

MMStatus NullOut() {
  ReportToHost("the out-argument is null");
  return mmapi::MM_E_UNEXPECTED;
}

}  // namespace

// ---- the neutral operations

MMStatus TMMBaseExpert::Registered() noexcept { return mmapi::MM_OK; }
MMStatus TMMBaseExpert::SelectionChanged(mmapi::IMMUnknown*) noexcept { return mmapi::MM_OK; }
MMStatus TMMBaseExpert::ModelChanged(std::int32_t) noexcept { return mmapi::MM_OK; }
MMStatus TMMBaseExpert::MenuOpening(std::int32_t, mmapi::IMMUnknown*) noexcept {
  return mmapi::MM_OK;
}
MMStatus TMMBaseExpert::HostEvent(std::int32_t, std::int32_t, std::int32_t) noexcept {
  return mmapi::MM_OK;
}
MMStatus TMMBaseExpert::VerbHint(std::int32_t, mmapi::MMStrView* out) noexcept {
  if (!out) return NullOut();
  *out = mmapi::MMStrView{};
  return mmapi::MM_OK;
}
MMStatus TMMBaseExpert::VerbImage(std::int32_t, mmapi::IMMUnknown** out) noexcept {
  if (!out) return NullOut();
  *out = nullptr;
  return mmapi::MM_OK;
}

// ---- the operations that call the virtual ones

MMStatus TMMBaseExpert::Execute(std::int32_t index) noexcept {
  return Guarded([&] { ExecuteVerb(index); });
}

MMStatus TMMBaseExpert::ExpertId(mmapi::MMStrView* out) noexcept {
  if (!out) return NullOut();
  *out = mmapi::MMStrView{};
  return Guarded([&] {
    answer_ = GetExpertId();
    *out = mmapi::MMStrView{answer_.data(), static_cast<std::uint32_t>(answer_.size()), 0};
  });
}

MMStatus TMMBaseExpert::VerbPlacement(std::int32_t index, std::uint8_t* out) noexcept {
  if (!out) return NullOut();
  *out = 0;
  return Guarded([&] { *out = GetMenuPlacement(index); });
}

MMStatus TMMBaseExpert::VerbShortcut(std::int32_t index, std::uint16_t* out) noexcept {
  if (!out) return NullOut();
  *out = 0;
  return Guarded([&] { *out = GetShortCut(index); });
}

MMStatus TMMBaseExpert::VerbCount(std::int32_t* out) noexcept {
  if (!out) return NullOut();
  *out = 0;
  return Guarded([&] { *out = GetVerbCount(); });
}

MMStatus TMMBaseExpert::VerbCaption(std::int32_t index, mmapi::MMStrView* out) noexcept {
  if (!out) return NullOut();
  *out = mmapi::MMStrView{};
  return Guarded([&] {
    answer_ = GetVerbCaption(index);
    *out = mmapi::MMStrView{answer_.data(), static_cast<std::uint32_t>(answer_.size()), 0};
  });
}

// ---- the demonstration expert

mmapi::TMenuPlacement TMMBaseExpert::GetMenuPlacement(int index) {
  return DemoVerbAt(index).placement;
}

std::uint16_t TMMBaseExpert::GetShortCut(int index) { return DemoVerbAt(index).shortcut; }

int TMMBaseExpert::GetVerbCount() { return 8; }

std::u16string TMMBaseExpert::GetVerbCaption(int index) { return DemoVerbAt(index).caption; }

void TMMBaseExpert::ExecuteVerb(int index) {
  // The index is taken as a menu placement: its low eight bits.
  const auto placement = static_cast<std::uint8_t>(index);
  if (placement <= mmapi::DiagramEditorMenu)
    platform::CurrentDialogs().ShowMessage(platform::MessageKind::Information,
                                           kDemoVerbs[placement].message);
  else
    platform::CurrentDialogs().ShowMessage(platform::MessageKind::Plain,
                                           "ExecuteVerb = " + std::to_string(index));
}

std::u16string TMMBaseExpert::GetExpertId() { return u"ZKBaseExpert"; }

}  // namespace drvx::host
