// A plug-in library for the loader tests. Built in variants (see
// CMakeLists.txt): a well-behaved one, one without exports, one that answers
// another interface version, one whose entry function fails after
// registering an expert. Lifecycle events are appended, one per line, to the
// file named by the environment variable DRVX_TEST_LOG.
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "host_api.h"
#include "mmapi/cxx/com_object.h"
#include "mmapi/cxx/utf.h"
#include "mmapi/exports.h"

namespace {

using mmapi::MMStatus;
using mmapi::MMStrView;

void Log(const std::string& line) {
  if (const char* path = std::getenv("DRVX_TEST_LOG")) std::ofstream(path, std::ios::app) << line << '\n';
}

struct UnloadWitness {
  ~UnloadWitness() { Log("library unloaded"); }
} witness;

void ReportToHost(const char* text) {
  if (auto& services = drvx::host::HostToolServices()) {
    const std::u16string message = mmapi::cxx::ToUtf16(text);
    services->SetErrorText(message.data(), std::uint32_t(message.size()));
  }
}

template <class Body>
MMStatus Guarded(Body&& body) {
  return mmapi::cxx::Guard(body, ReportToHost, mmapi::MM_E_UNEXPECTED);
}

void SetView(MMStrView* out, const std::u16string& text) {
  *out = MMStrView{text.data(), std::uint32_t(text.size()), 0};
}

const std::u16string kId = u"TestExpert";
const std::u16string kCaptions[] = {u"Log current class", u"Fail on purpose"};

class TestExpert final : public mmapi::cxx::ComObject<mmapi::IMMExpert> {
 public:
  ~TestExpert() override { Log("expert released"); }

  MMStatus MMCALL Registered() override { return mmapi::MM_OK; }
  MMStatus MMCALL Execute(std::int32_t index) override {
    return Guarded([&] {
      if (index == 0) {
        drvx::host::Services services;
        auto cls = services.Nav().CurrentClass();
        Log("executed 0: current class " + (cls ? cls.Name() : std::string("(none)")));
      } else if (index == 1) {
        throw std::runtime_error("verb 1 fails on purpose");
      } else {
        throw std::runtime_error("no verb " + std::to_string(index));
      }
    });
  }
  MMStatus MMCALL SelectionChanged(mmapi::IMMUnknown*) override { return mmapi::MM_OK; }
  MMStatus MMCALL ExpertId(MMStrView* out) override {
    if (!out) return mmapi::MM_E_POINTER;
    SetView(out, kId);
    return mmapi::MM_OK;
  }
  MMStatus MMCALL ModelChanged(std::int32_t) override { return mmapi::MM_OK; }
  MMStatus MMCALL MenuOpening(std::int32_t, mmapi::IMMUnknown*) override { return mmapi::MM_OK; }
  MMStatus MMCALL HostEvent(std::int32_t, std::int32_t, std::int32_t) override { return mmapi::MM_OK; }
  MMStatus MMCALL VerbHint(std::int32_t, MMStrView* out) override {
    if (out) *out = MMStrView{};
    return mmapi::MM_OK;
  }
  MMStatus MMCALL VerbImage(std::int32_t, mmapi::IMMUnknown** out) override {
    if (out) *out = nullptr;
    return mmapi::MM_OK;
  }
  MMStatus MMCALL VerbPlacement(std::int32_t index, std::uint8_t* out) override {
    return Guarded([&] {
      Verb(index);
      *out = index == 0 ? mmapi::ClassesMenu : mmapi::ToolsMenu;
    });
  }
  MMStatus MMCALL VerbShortcut(std::int32_t index, std::uint16_t* out) override {
    return Guarded([&] {
      Verb(index);
      *out = std::uint16_t(mmapi::MMShortcutCtrl | mmapi::MMShortcutShift | ('T' + index));
    });
  }
  MMStatus MMCALL VerbCount(std::int32_t* out) override {
    *out = 2;
    return mmapi::MM_OK;
  }
  MMStatus MMCALL VerbCaption(std::int32_t index, MMStrView* out) override {
    *out = MMStrView{};
    return Guarded([&] { SetView(out, kCaptions[Verb(index)]); });
  }

 private:
  static int Verb(std::int32_t index) {
    if (index < 0 || index > 1) throw std::runtime_error("no verb " + std::to_string(index));
    return index;
  }
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

#ifndef DRVX_TEST_NO_EXPORTS

#ifndef DRVX_TEST_VERSION
#define DRVX_TEST_VERSION 10
#endif

MM_EXPORT std::int32_t MMCALL MMExpertVersionProc() { return DRVX_TEST_VERSION; }

MM_EXPORT void MMCALL MMExpertEntryProc(mmapi::IMMToolServices* services) {
  Log("entry");
  mmapi::cxx::Guard(
      [&] {
        drvx::host::HostToolServices() = mmapi::cxx::ComPtr<mmapi::IMMToolServices>::Share(services);
        auto expert = mmapi::cxx::MakeCom<TestExpert>();
        std::int32_t index = 0;
        drvx::host::Check(services->RegisterExpert(expert.Get(), &index));
#ifdef DRVX_TEST_ENTRY_FAILS
        throw std::runtime_error("the test plug-in refuses to start");
#endif
        auto notifier = mmapi::cxx::MakeCom<TestNotifier>();
        drvx::host::Check(services->RegisterProjectNotifier(notifier.Get(), &index));
      },
      [&](const char* text) {
        const std::u16string message = mmapi::cxx::ToUtf16(text);
        services->ReportEntryFailure(message.data(), std::uint32_t(message.size()));
      });
}

MM_EXPORT void MMCALL MMExpertExitProc() { Log("exit"); }

#else
MM_EXPORT int SomethingElse() { return 0; }
#endif
