#include "project_notifier.h"

#include <algorithm>

#include "drvx/platform/ansi_text.h"
#include "guarded.h"

namespace drvx::host {

void TProjectNotifier::AddObserver(TProjectNotifierObserver* observer) {
  if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
    FObservers.push_back(observer);
}

void TProjectNotifier::RemoveObserver(TProjectNotifierObserver* observer) {
  std::erase(FObservers, observer);
}

mmapi::MMStatus TProjectNotifier::Broadcast(Member handler, const char16_t* fileName,
                                            std::uint32_t length) noexcept {
  return Guarded([&] {
    std::string name;
    if (fileName) platform::AnsiFromUtf16(std::u16string_view(fileName, length), name);
    // The observers subscribed now; one that leaves before its turn is passed
    // over, so a handler may remove any observer, itself or another.
    const std::vector<TProjectNotifierObserver*> subscribed = FObservers;
    for (TProjectNotifierObserver* observer : subscribed) {
      if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end()) continue;
      if (observer->Enabled && observer->*handler) (observer->*handler)(*observer, name);
    }
  });
}

mmapi::MMStatus TProjectNotifier::Query(Member handler, mmapi::MMBool* answer,
                                        const char16_t* fileName, std::uint32_t length) noexcept {
  if (answer) *answer = 0;
  const mmapi::MMStatus status = Broadcast(handler, fileName, length);
  if (answer && !mmapi::MMFailed(status)) *answer = FAnswer ? 1 : 0;
  return status;
}

mmapi::MMStatus TProjectNotifier::Destroyed() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnDestroyed);
}
mmapi::MMStatus TProjectNotifier::AfterNew() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterNew);
}
mmapi::MMStatus TProjectNotifier::AfterOpen(const char16_t* fileName,
                                            std::uint32_t length) noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterOpen, fileName, length);
}
mmapi::MMStatus TProjectNotifier::AfterSave(const char16_t* fileName,
                                            std::uint32_t length) noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterSave, fileName, length);
}
mmapi::MMStatus TProjectNotifier::Modified() noexcept { return mmapi::MM_OK; }
mmapi::MMStatus TProjectNotifier::BeforeNew(mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeNew, answer);
}
mmapi::MMStatus TProjectNotifier::BeforeOpen(const char16_t* fileName, std::uint32_t length,
                                             mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeOpen, answer, fileName, length);
}
mmapi::MMStatus TProjectNotifier::BeforeSave(const char16_t* fileName, std::uint32_t length,
                                             mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeSave, answer, fileName, length);
}
mmapi::MMStatus TProjectNotifier::Closed() noexcept { return mmapi::MM_OK; }
mmapi::MMStatus TProjectNotifier::CommitEditors() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnCommitEditors);
}
mmapi::MMStatus TProjectNotifier::SettingsChanged() noexcept { return mmapi::MM_OK; }

}  // namespace drvx::host
