// A demonstration plug-in: registers the base expert with its eight verbs and
// a project notifier with three observers (the second one disabled), each of
// which announces the events it hears in a message box.
#include <array>
#include <memory>
#include <string>

#include "base_expert.h"
#include "drvx/platform/dialogs.h"
#include "drvx/platform/forms.h"
#include "guarded.h"
#include "host_api.h"
#include "mmapi/exports.h"
#include "project_notifier.h"

namespace {

using drvx::host::TProjectNotifierObserver;

void Announce(int number, const char* event) {
  drvx::platform::CurrentDialogs().ShowMessage(
      drvx::platform::MessageKind::Plain,
      "Observer " + std::to_string(number) + ": " + event);
}

void Subscribe(TProjectNotifierObserver& o, int number, bool enabled) {
  auto say = [number](const char* event) {
    return [number, event](TProjectNotifierObserver&, const std::string&) { Announce(number, event); };
  };
  o.OnAfterNew = say("AfterNew");
  o.OnAfterOpen = say("AfterOpen");
  o.OnAfterSave = say("AfterSave");
  o.OnBeforeNew = say("BeforeNew");
  o.OnBeforeOpen = say("BeforeOpen");
  o.OnBeforeSave = say("BeforeSave");
  o.OnCommitEditors = say("CommitEditors");
  o.OnDestroyed = say("Destroyed");
  o.Enabled = enabled;
}

// What the demonstration keeps from entry to exit.
struct DemoContext {
  explicit DemoContext(mmapi::IMMToolServices* services) : binding(services) {
    for (int i = 0; i < 3; ++i) {
      Subscribe(observers[std::size_t(i)], i + 1, i != 1);
      notifier->AddObserver(&observers[std::size_t(i)]);
    }
  }
  ~DemoContext() {
    for (auto& o : observers) notifier->RemoveObserver(&o);
  }

  drvx::host::HostBinding binding;
  mmapi::cxx::ComPtr<drvx::host::TProjectNotifier> notifier =
      mmapi::cxx::MakeCom<drvx::host::TProjectNotifier>();
  std::array<TProjectNotifierObserver, 3> observers;
};

std::unique_ptr<DemoContext> context;

}  // namespace

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return mmapi::MMExpertInterfaceVersion; }

MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  using namespace drvx::host;
  drvx::host::GuardedEntry(services, [&] {
    context = std::make_unique<DemoContext>(services);
    auto expert = mmapi::cxx::MakeCom<TMMBaseExpert>();
    std::int32_t registration = 0;
    Check(services->RegisterExpert(expert.Get(), &registration));
    Check(services->RegisterProjectNotifier(context->notifier.Get(), &registration));
    drvx::platform::SetApplicationWindow(Services::Of(services).HostWindowHandle());
  });
}

MM_EXPORT void MMCALL MMExpertExitProc() { context.reset(); }
