#include "drvx/platform/dialogs.h"

#include <iostream>

#include "drvx/platform/scripted_dialogs.h"

namespace drvx::platform {
namespace {

Dialogs*& Installed() {
  static Dialogs* installed = nullptr;
  return installed;
}

ScriptedDialogs& Initial() {
  static ScriptedDialogs initial = [] {
    ScriptedDialogs d;
    d.SetLog([](const std::string& line) { std::cerr << "dialog: " << line << '\n'; });
    return d;
  }();
  return initial;
}

}  // namespace

Dialogs::~Dialogs() = default;

const char* MessageKindName(MessageKind kind) {
  switch (kind) {
    case MessageKind::Information: return "information";
    case MessageKind::Warning: return "warning";
    case MessageKind::Error: return "error";
    case MessageKind::Plain: return "plain";
  }
  return "plain";
}

Dialogs& CurrentDialogs() {
  Dialogs* d = Installed();
  return d ? *d : Initial();
}

void SetDialogs(Dialogs* dialogs) { Installed() = dialogs; }

}  // namespace drvx::platform
