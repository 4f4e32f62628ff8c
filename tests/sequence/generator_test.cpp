#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "diagram_generator.h"
#include "drvx/platform/scripted_dialogs.h"
#include "host_session.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using mmapi::cxx::ToUtf8;

class Generator : public ::testing::Test {
 protected:
  void SetUp() override {
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
  }
  void TearDown() override {
    modelhost::ClearPlannedFaults();
    platform::SetDialogs(nullptr);
    binding.reset();
  }
  modelhost::ModelClass& Class(const std::u16string& name) {
    auto c = session.Project().NewClass();
    c->name = name;
    session.Project().AddClass(c);
    return *c;
  }
  modelhost::ModelMember& Method(modelhost::ModelClass& cls, const std::u16string& name) {
    auto m = session.Project().NewMember(mmapi::mcMethod);
    m->name = name;
    cls.Adopt(m);
    return *m;
  }
  const modelhost::ModelDiagram& Made() { return *session.Project().diagrams.back(); }
  std::vector<const modelhost::ModelShape*> Roles() {
    std::vector<const modelhost::ModelShape*> r;
    for (auto* s : Made().symbols) r.push_back(s);
    return r;
  }
  std::string Prop(const modelhost::ModelShape& s, const std::u16string& key) {
    const auto* v = s.FindProperty(key);
    return v ? ToUtf8(*v) : "(none)";
  }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
  sequence::TDiagramGenerator generator{host::Services::Of(session.Services())};
};

TEST_F(Generator, ANestedCallChainWithASelfMessage) {
  const std::int32_t id = generator.GenSqDg("sqTest", {"A", "B.x", "B.y", "A.z"});
  ASSERT_GT(id, 0);
  EXPECT_EQ(Made().ElementId(), id);
  EXPECT_EQ(Made().name, u"sqTest");
  EXPECT_EQ(Made().kind, 6);
  auto roles = Roles();
  ASSERT_EQ(roles.size(), 2u);
  EXPECT_EQ(roles[0]->name, u"A");
  EXPECT_EQ(roles[1]->name, u"B");
  EXPECT_EQ(roles[0]->x, 0);
  EXPECT_EQ(roles[1]->x, 600);  // 1200 div 2
  EXPECT_EQ(Prop(*roles[0], u"RoleKind"), "rkActor");
  EXPECT_EQ(roles[0]->activations, u"(35,45)(110,120)");
  EXPECT_EQ(roles[1]->activations, u"(35,70)(85,120)");
  const auto& messages = Made().associations;
  ASSERT_EQ(messages.size(), 3u);
  const char* expected[][4] = {{"x", "40", "40", "A->B"}, {"y", "65", "90", "B->B"},
                               {"z", "115", "115", "B->A"}};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& m = *messages[i];
    EXPECT_EQ(ToUtf8(m.name), expected[i][0]);
    EXPECT_EQ(Prop(m, u"StartTime"), expected[i][1]);
    EXPECT_EQ(Prop(m, u"EndTime"), expected[i][2]);
    EXPECT_EQ(ToUtf8(m.source->name) + "->" + ToUtf8(m.target->name), expected[i][3]);
    EXPECT_EQ(Prop(m, u"MessageKind"), "mkCall");
    EXPECT_EQ(Prop(m, u"Condition"), "");
    EXPECT_EQ(Prop(m, u"Parameters"), "");
    EXPECT_EQ(m.y, std::stoi(expected[i][1]));
  }
  EXPECT_EQ(generator.SizeClass(), 0);
  EXPECT_EQ(generator.MessageCount(), 3);
  EXPECT_EQ(generator.SelfMessageCount(), 1);
  EXPECT_EQ(Made().pageSizeClass, 0);
  EXPECT_TRUE(Made().pageFlag);
  EXPECT_EQ(Made().appliedChanges, 1);
}

TEST_F(Generator, AFirstLineWithAMessageIsCalledBySystem) {
  auto& main = Class(u"TMain");
  auto& run = Method(main, u"Run");
  ASSERT_GT(generator.GenSqDg("sq", {"TMain.Run"}), 0);
  auto roles = Roles();
  ASSERT_EQ(roles.size(), 2u);
  EXPECT_EQ(roles[0]->name, u"System");
  EXPECT_EQ(Prop(*roles[0], u"RoleKind"), "rkSysBounds");
  EXPECT_EQ(Prop(*roles[1], u"RoleKind"), "rkInstance");
  ASSERT_EQ(roles[1]->hyperlinks.size(), 1u);
  EXPECT_EQ(roles[1]->hyperlinks[0].kind, mmapi::hkClass);
  EXPECT_EQ(roles[1]->hyperlinks[0].targetId, main.ElementId());
  const auto& m = *Made().associations.at(0);
  ASSERT_EQ(m.hyperlinks.size(), 1u);
  EXPECT_EQ(m.hyperlinks[0].targetId, run.ElementId());
}

TEST_F(Generator, EveryOverloadOfTheCalledMethodIsLinked) {
  auto& file = Class(u"TFile");
  Method(file, u"Save");
  Method(file, u"Load");
  Method(file, u"Save");
  ASSERT_GT(generator.GenSqDg("sq", {"TFile.Save(FileName)"}), 0);
  EXPECT_EQ(Made().associations.at(0)->hyperlinks.size(), 2u);
  EXPECT_EQ(Made().associations.at(0)->name, u"Save(FileName)");
}

TEST_F(Generator, SystemAsTheFirstRoleCallsItselfButIsNoSelfMessage) {
  ASSERT_GT(generator.GenSqDg("sq", {"System.Run"}), 0);
  EXPECT_EQ(Roles().size(), 1u);
  EXPECT_EQ(generator.SelfMessageCount(), 0);
  EXPECT_EQ(Made().associations.size(), 1u);
}

TEST_F(Generator, RolesAreWholeCaseSensitiveTexts) {
  Class(u"TMain");
  ASSERT_GT(generator.GenSqDg("sq", {"tmain", " A.x", "A.y", "Unit1.TForm1.Click(Sender)"}), 0);
  auto roles = Roles();
  ASSERT_EQ(roles.size(), 4u);
  EXPECT_EQ(Prop(*roles[0], u"RoleKind"), "rkActor");  // not the class TMain
  EXPECT_EQ(roles[1]->name, u" A");
  EXPECT_EQ(roles[3]->name, u"Unit1");
  EXPECT_EQ(Made().associations.back()->name, u"TForm1.Click(Sender)");
}

TEST_F(Generator, AnEmptyRoleFailsWithTheRolesDrawnSoFar) {
  EXPECT_EQ(generator.GenSqDg("sq", {"A", "", "B.x"}), -1);
  EXPECT_THAT(Messages(), ElementsAre("Exception in TDiagramGenerator.GenSqDg:empty Role name"));
  EXPECT_EQ(generator.ExMsg(), Messages()[0]);
  EXPECT_EQ(Made().name, u"sq");
  EXPECT_EQ(Made().symbols.size(), 3u);  // A, the empty one and B stay
  EXPECT_TRUE(Made().associations.empty());
}

TEST_F(Generator, AnEmptyListLeavesAnEmptyDiagram) {
  EXPECT_EQ(generator.GenSqDg("sqEmpty", {}), -1);
  EXPECT_THAT(Messages(), ElementsAre("Exception in TDiagramGenerator.GenSqDg:List index out of "
                                      "bounds (0)"));
  EXPECT_EQ(Made().name, u"sqEmpty");
  EXPECT_TRUE(Made().shapes.empty());
}

TEST_F(Generator, OneLineWithoutAMessageFailsAtTheActivations) {
  EXPECT_EQ(generator.GenSqDg("sq", {"TMain"}), -1);
  EXPECT_EQ(Made().symbols.size(), 1u);
  EXPECT_EQ(Messages().size(), 1u);
}

// A role whose text is not valid UTF-8 is found again: one lifeline for
// "T\xe4" (Latin-1), whose calls are self-messages.
TEST_F(Generator, ARoleOfLatin1TextIsOneLifeline) {
  ASSERT_GT(generator.GenSqDg("sqLatin1", {"T\xe4.c", "T\xe4.b", "T\xe4.a"}), 0);
  auto roles = Roles();
  ASSERT_EQ(roles.size(), 2u);
  EXPECT_EQ(roles[0]->name, u"System");
  EXPECT_EQ(roles[1]->name, u"T\u00e4");
  EXPECT_EQ(generator.SelfMessageCount(), 2);
}

TEST_F(Generator, ThousandsOfInvalidBytesMakeOneRole) {
  const std::vector<std::string> lines(4096, "\xff");
  ASSERT_GT(generator.GenSqDg("sqJunk", lines), 0);
  EXPECT_EQ(Roles().size(), 1u);
  EXPECT_EQ(Made().associations.size(), 4095u);
}

TEST_F(Generator, AFailingHostCallIsReported) {
  modelhost::PlanFault({"CreateAssociation", "diagram is locked", 1, 1});
  EXPECT_EQ(generator.GenSqDg("sq", {"A", "B.x", "C.y"}), -1);
  EXPECT_THAT(Messages(), ElementsAre("Exception in TDiagramGenerator.GenSqDg:diagram is locked"));
}

// A chain over `roles` roles, `messages` messages, no self-messages.
std::vector<std::string> Chain(int roles, int messages) {
  std::vector<std::string> lines{"R0"};
  for (int i = 1; i <= messages; ++i) lines.push_back("R" + std::to_string(i % roles) + ".m");
  return lines;
}

TEST_F(Generator, ThePageGrowsWithTheTimeStepsAndTheLifelinesSpreadOverIt) {
  struct Case {
    int roles, messages, sizeClass, distance;
  };
  for (const Case c : {Case{4, 26, 1, 400}, Case{4, 25, 0, 300}, Case{4, 73, 4, 1000},
                       Case{7, 10, 0, 171}, Case{2, 41, 1, 800}, Case{2, 42, 2, 1200},
                       Case{2, 57, 3, 1500}}) {
    sequence::TDiagramGenerator g(host::Services::Of(session.Services()));
    ASSERT_GT(g.GenSqDg("sq", Chain(c.roles, c.messages)), 0);
    EXPECT_EQ(g.SizeClass(), c.sizeClass) << c.messages << " messages";
    EXPECT_EQ(g.RoleDistance(), c.distance) << c.roles << " roles";
  }
}

TEST_F(Generator, MoreRolesThanUnitsOfWidthStandAtZero) {
  std::vector<std::string> lines{"R0"};
  for (int i = 1; i < 1300; ++i) lines.push_back("R" + std::to_string(i) + ".m");
  // 1299 messages: size class 4, 4000 div 1300 = 3.
  ASSERT_GT(generator.GenSqDg("sq", lines), 0);
  EXPECT_EQ(generator.RoleDistance(), 3);
}

TEST(InvertCallList, ReversesTheLines) {
  std::vector<std::string> lines{"A", "B", "C"};
  sequence::TDiagramGenerator::InvertCallList(lines);
  EXPECT_THAT(lines, ElementsAre("C", "B", "A"));
  std::vector<std::string> none;
  sequence::TDiagramGenerator::InvertCallList(none);
  EXPECT_TRUE(none.empty());
}

TEST(SplitCallLine, SplitsAtTheFirstFullStopOnly) {
  EXPECT_EQ(sequence::SplitCallLine("A.x.y"), std::make_pair(std::string("A"), std::string("x.y")));
  EXPECT_EQ(sequence::SplitCallLine("A."), std::make_pair(std::string("A"), std::string()));
  EXPECT_EQ(sequence::SplitCallLine(".x"), std::make_pair(std::string(), std::string("x")));
  EXPECT_EQ(sequence::SplitCallLine("A"), std::make_pair(std::string("A"), std::string()));
}

}  // namespace
