#include "project_notifier.h"

#include <algorithm>

#include "guarded.h"

namespace drvx::host {

void TProjectNotifier::AddObserver(TProjectNotifierObserver* observer) {
  if (std::find(FObservers.begin(), FObservers.end(), observer) == FObservers.end())
    FObservers.push_back(observer);
}

void TProjectNotifier::RemoveObserver(TProjectNotifierObserver* observer) {
  std::erase(FObservers, observer);
}

mmapi::MMStatus TProjectNotifier::Broadcast(Member handler) noexcept {
  return Guarded([&] {
    const std::size_t count = FObservers.size();
    // Walks by index up to the count at the start; stops early rather than
    // read past the list should a handler shorten it.
    for (std::size_t i = 0; i < count && i < FObservers.size(); ++i) {
      TProjectNotifierObserver& observer = *FObservers[i];
      if (observer.Enabled && observer.*handler) (observer.*handler)(observer);
    }
  });
}

mmapi::MMStatus TProjectNotifier::Query(Member handler, mmapi::MMBool* answer) noexcept {
  if (answer) *answer = 0;
  const mmapi::MMStatus status = Broadcast(handler);
  if (answer && !mmapi::MMFailed(status)) *answer = FAnswer ? 1 : 0;
  return status;
}

mmapi::MMStatus TProjectNotifier::Destroyed() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnDestroyed);
}
mmapi::MMStatus TProjectNotifier::AfterNew() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterNew);
}
mmapi::MMStatus TProjectNotifier::AfterOpen(const char16_t*, std::uint32_t) noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterOpen);
}
mmapi::MMStatus TProjectNotifier::AfterSave(const char16_t*, std::uint32_t) noexcept {
  return Broadcast(&TProjectNotifierObserver::OnAfterSave);
}
mmapi::MMStatus TProjectNotifier::Modified() noexcept { return mmapi::MM_OK; }
mmapi::MMStatus TProjectNotifier::BeforeNew(mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeNew, answer);
}
mmapi::MMStatus TProjectNotifier::BeforeOpen(const char16_t*, std::uint32_t,
                                             mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeOpen, answer);
}
mmapi::MMStatus TProjectNotifier::BeforeSave(const char16_t*, std::uint32_t,
                                             mmapi::MMBool* answer) noexcept {
  return Query(&TProjectNotifierObserver::OnBeforeSave, answer);
}
mmapi::MMStatus TProjectNotifier::Closed() noexcept { return mmapi::MM_OK; }
mmapi::MMStatus TProjectNotifier::CommitEditors() noexcept {
  return Broadcast(&TProjectNotifierObserver::OnCommitEditors);
}
mmapi::MMStatus TProjectNotifier::SettingsChanged() noexcept { return mmapi::MM_OK; }

}  // namespace drvx::host
