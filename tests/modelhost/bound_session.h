// A host session bound as the plug-in's host, its dialogs scripted: for
// tests that call the plug-in's workers on the host's model.
#pragma once

#include <optional>

#include <gtest/gtest.h>

#include "drvx/platform/scripted_dialogs.h"
#include "host_call.h"
#include "host_session.h"

namespace drvx::test {

class BoundSession : public ::testing::Test {
 protected:
  void SetUp() override {
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
  }
  void TearDown() override {
    platform::SetDialogs(nullptr);
    binding.reset();
  }

  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
};

}  // namespace drvx::test
