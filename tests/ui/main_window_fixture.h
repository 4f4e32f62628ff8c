// The main window over the example project, with the settings in a
// temporary host folder and the dialogs and clipboard recorded.
#pragma once

#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/clipboard.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "main_window.h"
#include "model_lookup.h"
#include "support/test_support.h"
#include "project_file.h"

namespace drvx::test {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir / "bin");
    session.ReplaceProject(modelhost::LoadProject(test::ExampleProject()));
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
    platform::SetClipboard(&clipboard);
    platform::SetPrinter(&printer);
    Project().onPrint = [this](const modelhost::ModelDiagram& d) { printed.push_back(d.name); };
    settings = std::make_unique<settings::TExpertSettings>(dir / "bin" / "dravolex-host");
    window = std::make_unique<ui::TFrmMain>(host::Services::Of(session.Services()));
    window->SetExpertSettings(settings.get());
  }
  void TearDown() override {
    window.reset();
    platform::SetPrinter(nullptr);
    platform::SetClipboard(nullptr);
    platform::SetDialogs(nullptr);
    binding.reset();
  }
  modelhost::ModelProject& Project() { return session.Project(); }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  test::TempDir dir;
  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
  platform::MemoryClipboard clipboard;
  platform::TextPrinter printer;
  std::vector<std::u16string> printed;
  std::unique_ptr<settings::TExpertSettings> settings;
  std::unique_ptr<ui::TFrmMain> window;
};

}  // namespace drvx::test
