// A substitute host with a small code model, the settings in a temporary
// folder, and the dialogs recorded, for the code generation tests.
#pragma once

#include <optional>
#include <gtest/gtest.h>

#include <memory>

#include "drvx/platform/clock.h"
#include "drvx/platform/scripted_dialogs.h"
#include "expert_functions.h"
#include "host_session.h"
#include "support/test_support.h"

namespace drvx::test {

class CodegenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "bin");
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
    platform::FixClock(platform::DateTime{2006, 4, 8, 9, 21, 0});
    settings = std::make_unique<settings::TExpertSettings>(dir / "bin" / "dravolex-host");
  }
  void TearDown() override {
    functions.reset();
    platform::FixClock(std::nullopt);
    platform::SetDialogs(nullptr);
    binding.reset();
  }

  modelhost::ModelProject& Project() { return session.Project(); }
  modelhost::ModelModule& AddModule(const std::u16string& name, const std::u16string& header) {
    auto m = Project().NewModule();
    m->name = name;
    m->header = header;
    Project().AddModule(m);
    return *m;
  }
  modelhost::ModelClass& AddClass(const std::u16string& name) {
    auto c = Project().NewClass();
    c->name = name;
    Project().AddClass(c);
    return *c;
  }
  modelhost::ModelMember& AddMember(modelhost::ModelClass& cls, int category,
                                    const std::u16string& name, const std::u16string& type = u"") {
    auto m = Project().NewMember(category);
    m->name = name;
    m->typeName = type;
    cls.Adopt(m);
    return *m;
  }
  // The functions object, made after the selection is set up.
  codegen::TExpertFunctions& Functions() {
    if (!functions) functions = std::make_unique<codegen::TExpertFunctions>(host::Services::Of(session.Services()), *settings);
    return *functions;
  }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  TempDir dir;
  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
  std::unique_ptr<settings::TExpertSettings> settings;
  std::unique_ptr<codegen::TExpertFunctions> functions;
};

}  // namespace drvx::test
