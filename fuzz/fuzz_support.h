// What the fuzz targets share: a substitute host the plug-in code talks to,
// with dialogs answered and nothing shown, made once per process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "drvx/platform/forms.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_api.h"
#include "host_call.h"
#include "host_session.h"

namespace drvx::fuzz {

struct FuzzHost {
  FuzzHost() : binding(session.Services()) {
    platform::SetDialogs(&dialogs);
    platform::SetLogSink(nullptr);  // default answers are not worth a line each
  }
  host::Services Services() { return host::Services::Of(session.Services()); }
  // An empty project with a few classes, for each input.
  modelhost::ModelProject& FreshProject() {
    session.ReplaceProject(std::make_unique<modelhost::ModelProject>());
    for (const char16_t* name : {u"A", u"B", u"TOrder"}) {
      auto cls = session.Project().NewClass();
      cls->name = name;
      session.Project().AddClass(cls);
    }
    dialogs.ClearShown();
    return session.Project();
  }

  modelhost::HostSession session;
  host::HostBinding binding;
  platform::ScriptedDialogs dialogs;
};

inline FuzzHost& Host() {
  static FuzzHost host;
  return host;
}

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Stops the run with a message: the oracle found a wrong result.
[[noreturn]] void Wrong(const std::string& what);

}  // namespace drvx::fuzz
