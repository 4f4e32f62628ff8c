// The project notifier the plug-in registers with the host, and the observers
// through which parts of the plug-in hear the host's project events.
//
// Host's user-interface thread only. An observer may be added or removed
// while an event is being handed out: those subscribed when it began hear it,
// unless they left before their turn.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "mmapi/cxx/com_object.h"
#include "mmapi/expert.h"

namespace drvx::host {

// Receives project events once enabled and subscribed. Handlers get the
// observer as sender and the project file the host named with the event (8-bit;
// empty for the events that name none: AfterNew, BeforeNew, CommitEditors,
// Destroyed).
class TProjectNotifierObserver {
 public:
  using Handler =
      std::function<void(TProjectNotifierObserver& sender, const std::string& fileName)>;

  bool Enabled = false;
  Handler OnAfterNew;
  Handler OnAfterOpen;
  Handler OnAfterSave;
  Handler OnBeforeNew;
  Handler OnBeforeOpen;
  Handler OnBeforeSave;
  Handler OnCommitEditors;
  Handler OnDestroyed;
};

// Hands each project event of the host to the subscribed observers, in
// subscription order. The host's before-queries are always answered false.
class TProjectNotifier final : public mmapi::cxx::ComObject<mmapi::IMMProjectNotifier> {
 public:
  TProjectNotifier() = default;

  // Appends the observer unless it is subscribed already (not owned).
  void AddObserver(TProjectNotifierObserver* observer);
  // Removes it; one that is not subscribed is ignored.
  void RemoveObserver(TProjectNotifierObserver* observer);

  // IMMProjectNotifier, in the interface's order. An error in a handler ends
  // the event there and gives 0x8000FFFF.
  mmapi::MMStatus MMCALL Destroyed() noexcept override;
  mmapi::MMStatus MMCALL AfterNew() noexcept override;
  mmapi::MMStatus MMCALL AfterOpen(const char16_t* fileName, std::uint32_t length) noexcept override;
  mmapi::MMStatus MMCALL AfterSave(const char16_t* fileName, std::uint32_t length) noexcept override;
  mmapi::MMStatus MMCALL Modified() noexcept override;
  mmapi::MMStatus MMCALL BeforeNew(mmapi::MMBool* answer) noexcept override;
  mmapi::MMStatus MMCALL BeforeOpen(const char16_t* fileName, std::uint32_t length,
                                    mmapi::MMBool* answer) noexcept override;
  mmapi::MMStatus MMCALL BeforeSave(const char16_t* fileName, std::uint32_t length,
                                    mmapi::MMBool* answer) noexcept override;
  mmapi::MMStatus MMCALL Closed() noexcept override;
  mmapi::MMStatus MMCALL CommitEditors() noexcept override;
  mmapi::MMStatus MMCALL SettingsChanged() noexcept override;

 private:
  ~TProjectNotifier() override = default;

  using Member = TProjectNotifierObserver::Handler TProjectNotifierObserver::*;
  mmapi::MMStatus Broadcast(Member handler, const char16_t* fileName = nullptr,
                            std::uint32_t length = 0) noexcept;
  mmapi::MMStatus Query(Member handler, mmapi::MMBool* answer, const char16_t* fileName = nullptr,
                        std::uint32_t length = 0) noexcept;

  const bool FAnswer = false;
  std::vector<TProjectNotifierObserver*> FObservers;
};

}  // namespace drvx::host
