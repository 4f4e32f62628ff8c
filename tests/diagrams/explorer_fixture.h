// A substitute host with a model built by the test, the dialogs recorded and
// the headless printer, for the diagram explorer tests.
#pragma once

#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "diagram_explorer.h"
#include "drvx/platform/clock.h"
#include "drvx/platform/printer.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "support/test_support.h"

namespace drvx::test {

class ExplorerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
    platform::SetPrinter(&printer);
    platform::FixClock(platform::DateTime{2006, 4, 8, 9, 21, 0});
    Project().onPrint = [this](const modelhost::ModelDiagram& d) {
      printedDiagrams.push_back(d.name);
    };
    explorer = std::make_unique<diagrams::TMMDiagramExplorer>(host::Services::Of(session.Services()), nullptr);
  }
  void TearDown() override {
    explorer.reset();
    modelhost::ClearPlannedFaults();
    platform::FixClock(std::nullopt);
    platform::SetPrinter(nullptr);
    platform::SetDialogs(nullptr);
    binding.reset();
  }

  modelhost::ModelProject& Project() { return session.Project(); }
  modelhost::ModelClass& Class(const std::u16string& name) {
    auto c = Project().NewClass();
    c->name = name;
    Project().AddClass(c);
    return *c;
  }
  modelhost::ModelMember& Member(modelhost::ModelClass& cls, const std::u16string& name) {
    auto m = Project().NewMember(mmapi::mcMethod);
    m->name = name;
    cls.Adopt(m);
    return *m;
  }
  modelhost::ModelDiagram& Diagram(const std::u16string& name, int kind = 0) {
    auto d = Project().NewDiagram(kind);
    d->name = name;
    Project().AddDiagram(d);
    return *d;
  }
  modelhost::ModelShape& Symbol(modelhost::ModelDiagram& d, const std::u16string& caption,
                                const std::u16string& cls = u"ClassSymbol") {
    auto s = Project().NewShape(cls);
    s->name = caption;
    return d.Adopt(s);
  }
  modelhost::ModelShape& Association(modelhost::ModelDiagram& d, modelhost::ModelShape& from,
                                     modelhost::ModelShape& to, const std::u16string& caption) {
    auto s = Project().NewShape(u"association");
    s->name = caption;
    s->source = modelhost::ComPtr<modelhost::ModelShape>::Share(&from);
    s->target = modelhost::ComPtr<modelhost::ModelShape>::Share(&to);
    return d.Adopt(s);
  }
  // A hyperlink of the kind to the element, named as given.
  void Link(modelhost::ModelShape& s, int kind, const modelhost::ModelElement& target,
            const std::u16string& name) {
    s.hyperlinks.Append(kind, target.ElementId(), name);
  }
  void Link(modelhost::ModelShape& s, int kind, const modelhost::ModelElement& target) {
    Link(s, kind, target, target.name);
  }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
  platform::TextPrinter printer;
  std::vector<std::u16string> printedDiagrams;
  std::unique_ptr<diagrams::TMMDiagramExplorer> explorer;
  diagrams::Lines result, symbols;
};

}  // namespace drvx::test
