// A plug-in library for the loader tests. Built in variants (see
// CMakeLists.txt): a well-behaved one, one without exports, one whose export
// names are data, one that answers another interface version, one whose
// entry function fails after registering an expert, one whose entry function
// throws at the host. Lifecycle events are appended, one per line, to the
// file named by the environment variable DRVX_TEST_LOG.
#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>

#include "base_expert.h"
#include "host_api.h"
#include "mmapi/cxx/com_object.h"
#include "mmapi/cxx/utf.h"
#include "guarded.h"
#include "mmapi/exports.h"

namespace {

using mmapi::MMStatus;

void Log(const std::string& line) {
  if (const char* path = std::getenv("DRVX_TEST_LOG")) std::ofstream(path, std::ios::app) << line << '\n';
}

// The host's services, bound from entry to exit for the error texts.
std::optional<drvx::host::HostBinding> binding;

struct UnloadWitness {
  ~UnloadWitness() { Log("library unloaded"); }
} witness;

// An expert of two verbs on the plug-in's base expert.
class TestExpert final : public drvx::host::TMMBaseExpert {
 public:
  explicit TestExpert(drvx::host::Services services) : services_(std::move(services)) {}
  ~TestExpert() override { Log("expert released"); }

 protected:
  mmapi::TMenuPlacement GetMenuPlacement(int index) override {
    return Verb(index) == 0 ? mmapi::ClassesMenu : mmapi::ToolsMenu;
  }
  std::uint16_t GetShortCut(int index) override {
    return std::uint16_t(mmapi::MMShortcutCtrl | mmapi::MMShortcutShift | ('T' + Verb(index)));
  }
  int GetVerbCount() override { return 2; }
  std::u16string GetVerbCaption(int index) override {
    return Verb(index) == 0 ? u"Log current class" : u"Fail on purpose";
  }
  void ExecuteVerb(int index) override {
    if (Verb(index) == 1) throw std::runtime_error("verb 1 fails on purpose");
    auto cls = services_.Nav().CurrentClass();
    Log("executed 0: current class " + (cls ? cls.Name() : std::string("(none)")));
  }
  std::u16string GetExpertId() override { return u"TestExpert"; }

 private:
  static int Verb(int index) {
    if (index < 0 || index > 1) throw std::runtime_error("no verb " + std::to_string(index));
    return index;
  }

  drvx::host::Services services_;
};

class TestNotifier final : public mmapi::cxx::ComObject<mmapi::IMMProjectNotifier> {
 public:
  ~TestNotifier() override { Log("notifier released"); }

  MMStatus MMCALL Destroyed() override { return Event("destroyed"); }
  MMStatus MMCALL AfterNew() override { return Event("after-new"); }
  MMStatus MMCALL AfterOpen(const char16_t* name, std::uint32_t length) override {
    return Event("after-open " + mmapi::cxx::ToUtf8({name, length}));
  }
  MMStatus MMCALL AfterSave(const char16_t*, std::uint32_t) override { return Event("after-save"); }
  MMStatus MMCALL Modified() override { return Event("modified"); }
  MMStatus MMCALL BeforeNew(mmapi::MMBool* veto) override { return Answer("before-new", veto); }
  MMStatus MMCALL BeforeOpen(const char16_t*, std::uint32_t, mmapi::MMBool* veto) override {
    return Answer("before-open", veto);
  }
  MMStatus MMCALL BeforeSave(const char16_t*, std::uint32_t, mmapi::MMBool* veto) override {
    return Answer("before-save", veto);
  }
  MMStatus MMCALL Closed() override { return Event("closed"); }
  MMStatus MMCALL CommitEditors() override { return Event("commit-editors"); }
  MMStatus MMCALL SettingsChanged() override { return Event("settings-changed"); }

 private:
  static MMStatus Event(const std::string& name) {
    Log("event " + name);
    return mmapi::MM_OK;
  }
  // Declines a save while the environment asks for it.
  static MMStatus Answer(const std::string& name, mmapi::MMBool* veto) {
    *veto = name == "before-save" && std::getenv("DRVX_TEST_VETO_SAVE") ? 1 : 0;
    return Event(name);
  }
};

}  // namespace

#if defined(DRVX_TEST_NO_EXPORTS)
MM_EXPORT int SomethingElse() { return 0; }

#elif defined(DRVX_TEST_DATA_EXPORTS)
// The three names, but as data: a host that called them would crash.
MM_EXPORT const char MMExpertVersionProc[] = "not a function";
MM_EXPORT const char MMExpertEntryProc[] = "not a function";
MM_EXPORT const char MMExpertExitProc[] = "not a function";

#else

#ifndef DRVX_TEST_VERSION
#define DRVX_TEST_VERSION 10
#endif

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return DRVX_TEST_VERSION; }

MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  Log("entry");
#ifdef DRVX_TEST_ENTRY_THROWS
  throw std::runtime_error("entry throws");  // past its own guard, into the host
#endif
  drvx::host::GuardedEntry(services, [&] {
    binding.emplace(services);
    auto expert = mmapi::cxx::MakeCom<TestExpert>(drvx::host::Services::Of(services));
    std::int32_t index = 0;
    drvx::host::Check(services->RegisterExpert(expert.Get(), &index));
#ifdef DRVX_TEST_ENTRY_FAILS
    throw std::runtime_error("the test plug-in refuses to start");
#endif
    auto notifier = mmapi::cxx::MakeCom<TestNotifier>();
    drvx::host::Check(services->RegisterProjectNotifier(notifier.Get(), &index));
  });
}

MM_EXPORT void MMCALL MMExpertExitProc() {
  binding.reset();
  Log("exit");
}

#endif
