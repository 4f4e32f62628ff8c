#include <optional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "drvx/platform/scripted_dialogs.h"
#include "group_manager.h"
#include "host_session.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using groups::TDiagramGroupManager;

// A host project in a temporary folder, its notifier, and the page controls.
class Groups : public ::testing::Test {
 protected:
  void SetUp() override {
    binding.emplace(session.Services());
    platform::SetDialogs(&dialogs);
    Project().fileName = dir / "Shop.mmproj";
    selector.SetSorted(true);
    manager = std::make_unique<TDiagramGroupManager>(host::Services::Of(session.Services()), notifier.Get());
    manager->SetControls(selector, members);
  }
  void TearDown() override {
    manager.reset();
    platform::SetDialogs(nullptr);
    binding.reset();
  }
  modelhost::ModelProject& Project() { return session.Project(); }
  modelhost::ModelDiagram& Diagram(const std::u16string& name, std::int32_t id = 0) {
    auto d = Project().NewDiagram(0, id);
    d->name = name;
    Project().AddDiagram(d);
    return *d;
  }
  void Current(modelhost::ModelDiagram& d) {
    Project().navigator.currentDiagram = modelhost::ComPtr<modelhost::ModelDiagram>::Share(&d);
  }
  // Writes a group file: groups of (name, [(id, name)]).
  void WriteGroupFile(
      const std::vector<std::pair<std::string, std::vector<std::pair<int, std::string>>>>& gs,
      const std::filesystem::path& path) {
    settings::TTypeMemoryStream s;
    s.WriteInteger(std::int32_t(gs.size()));
    for (const auto& [name, ms] : gs) {
      s.WriteString(name);
      s.WriteInteger(std::int32_t(ms.size()));
      for (const auto& [id, member] : ms) {
        s.WriteInteger(id);
        s.WriteString(member);
        s.WriteInteger(-1);
      }
    }
    s.SaveToFile(path);
  }
  std::vector<std::string> Messages() { return test::DialogTexts(dialogs); }

  test::TempDir dir;
  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
  platform::ScriptedDialogs dialogs;
  mmapi::cxx::ComPtr<host::TProjectNotifier> notifier = mmapi::cxx::MakeCom<host::TProjectNotifier>();
  platform::ComboBox selector{nullptr, "cbxDgGroupSelect"};
  platform::ListBox members{nullptr, "lbxDgGroupMemberList"};
  std::unique_ptr<TDiagramGroupManager> manager;
};

TEST_F(Groups, TheFileFormatIsTheTypedStreamByteForByte) {
  Diagram(u"sqA", 7);
  WriteGroupFile({{"G", {{7, "sqA"}}}}, dir / "Shop.grp");
  const std::string bytes = test::ReadText(dir / "Shop.grp");
  EXPECT_EQ(bytes, std::string("\x01\0\0\0\x01\0\0\0G\x01\0\0\0\x07\0\0\0\x03\0\0\0sqA\xFF\xFF\xFF\xFF", 28));
  manager->ConnectProject();
  settings::TTypeMemoryStream out;
  manager->WriteGroups(out);
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), bytes);
}

// Many groups whose names come in reverse order: the selector lists them
// sorted, as if added one by one, and the file order stays.
TEST_F(Groups, ManyGroupsInReverseOrderAreListedSorted) {
  std::vector<std::pair<std::string, std::vector<std::pair<int, std::string>>>> groups;
  for (int i = 5000; i > 0; --i) groups.push_back({"g" + std::to_string(100000 + i), {}});
  groups.push_back({"G100005", {}});  // equal to another but for letter case
  WriteGroupFile(groups, dir / "Shop.grp");
  manager->ConnectProject();
  platform::ComboBox oneByOne{nullptr, "reference"};
  oneByOne.SetSorted(true);
  for (const auto& group : groups) oneByOne.Add(group.first);
  EXPECT_EQ(selector.Items(), oneByOne.Items());
  EXPECT_EQ(selector.Items().front(), "g100001");
  EXPECT_EQ(selector.Items().back(), "g105000");
  EXPECT_EQ(manager->Groups().front()->FName, "g105000");
}

TEST_F(Groups, WithoutAGroupFileThereAreNoGroups) {
  manager->ConnectProject();
  EXPECT_EQ(manager->FileName(), (dir / "Shop.grp").string());
  EXPECT_TRUE(manager->Groups().empty());
  EXPECT_EQ(selector.Count(), 0);
  EXPECT_EQ(members.Count(), 0);
  EXPECT_TRUE(manager->Initialized());
  settings::TTypeMemoryStream zero;
  zero.WriteInteger(0);
  zero.SetPosition(0);
  manager->ReadGroups(zero);
  EXPECT_TRUE(manager->Groups().empty());
}

TEST_F(Groups, WithoutAProjectFileTheGroupFileIsJustDotGrp) {
  Project().fileName.clear();
  manager->ConnectProject();
  EXPECT_EQ(manager->FileName(), ".grp");
  EXPECT_EQ(groups::GroupFileNameFor("/a.b/Shop"), "/a.b/Shop.grp");
  EXPECT_EQ(groups::GroupFileNameFor("C:\\p\\Shop.mpb"), "C:\\p\\Shop.grp");
}

TEST_F(Groups, TheSelectorIsSortedAndTheFirstGroupInTheFileIsCurrent) {
  auto& one = Diagram(u"csOne");
  WriteGroupFile({{"b", {{one.ElementId(), "csOne"}}}, {"a", {}}}, dir / "Shop.grp");
  manager->ConnectProject();
  EXPECT_THAT(selector.Items(), ElementsAre("a", "b"));
  EXPECT_EQ(manager->CurrentGroup()->FName, "b");
  EXPECT_EQ(selector.Text(), "b");
  EXPECT_THAT(members.Items(), ElementsAre("csOne"));
  selector.UserSelect(0);  // "a"
  EXPECT_EQ(manager->CurrentGroup()->FName, "a");
  EXPECT_EQ(members.Count(), 0);
}

TEST_F(Groups, MembersAreFoundAgainByNameOrMarkedInvalid) {
  auto& renamed = Diagram(u"csNew");
  auto& other = Diagram(u"csOld");
  auto& lost = Diagram(u"csLostNow");
  WriteGroupFile({{"G",
                   {{renamed.ElementId(), "csOld"},  // id now names another diagram; csOld exists
                    {lost.ElementId(), "csGone"},    // no diagram of the stored name
                    {17, "csWhatever"}}}},           // no diagram of that id
                 dir / "Shop.grp");
  manager->ConnectProject();
  const auto& ms = manager->CurrentGroup()->FMembers;
  EXPECT_EQ(ms[0]->FId, other.ElementId());
  EXPECT_TRUE(ms[0]->FValid);
  EXPECT_EQ(ms[1]->FId, lost.ElementId());
  EXPECT_FALSE(ms[1]->FValid);
  EXPECT_TRUE(ms[2]->FValid);
  EXPECT_THAT(members.Items(), ElementsAre("csOld", "csLostNow", "Invalid Id:17"));
  EXPECT_EQ(ms[2]->FName, "Invalid Id:17");
  std::vector<std::string> invalid{"stale"};
  manager->GetInvalidMembers(invalid);
  EXPECT_THAT(invalid, ElementsAre("csLostNow"));
}

TEST_F(Groups, TheInsertAndDeleteKeysWorkTheMemberListAndOtherKeysNothing) {
  auto& d = Diagram(u"csMain");
  Current(d);
  manager->ConnectProject();
  manager->NewGroup("G");
  members.UserKeyDown(TDiagramGroupManager::kInsertKey);
  EXPECT_THAT(members.Items(), ElementsAre("csMain"));
  EXPECT_EQ(manager->CurrentGroup()->FMembers[0]->FName, "");  // named when first shown
  members.UserKeyDown(TDiagramGroupManager::kInsertKey);        // already there
  EXPECT_EQ(members.Count(), 1);
  std::uint16_t arrow = 38;
  manager->MemberListKeyDown(arrow);
  EXPECT_EQ(arrow, 0);
  EXPECT_EQ(members.Count(), 1);
  members.SetItemIndex(0);
  dialogs.Queue(platform::DialogAnswer::Yes());
  members.UserKeyDown(TDiagramGroupManager::kDeleteKey);
  EXPECT_EQ(members.Count(), 0);
  EXPECT_TRUE(manager->CurrentGroup()->FMembers.empty());
}

TEST_F(Groups, AddingTheCurrentDiagramOncePerGroup) {
  auto& d = Diagram(u"csMain");
  Current(d);
  groups::TDiagramGroup a, b;
  EXPECT_TRUE(a.AddCurrentDiagram(host::Services::Of(session.Services()).Nav()));
  EXPECT_FALSE(a.AddCurrentDiagram(host::Services::Of(session.Services()).Nav()));
  EXPECT_TRUE(b.AddCurrentDiagram(host::Services::Of(session.Services()).Nav()));
  Project().navigator.currentDiagram = nullptr;
  EXPECT_FALSE(b.AddCurrentDiagram(host::Services::Of(session.Services()).Nav()));
}

TEST_F(Groups, DeletingTheLastGroupLeavesNoneCurrent) {
  manager->ConnectProject();
  manager->NewGroup("Only");
  manager->NewGroup("Only");  // exists: ignored
  EXPECT_EQ(manager->Groups().size(), 1u);
  dialogs.Queue(platform::DialogAnswer::No());
  manager->DeleteCurrentGroup();
  EXPECT_EQ(manager->Groups().size(), 1u);
  dialogs.Queue(platform::DialogAnswer::Yes());
  manager->DeleteCurrentGroup();
  EXPECT_TRUE(manager->Groups().empty());
  EXPECT_EQ(manager->CurrentGroup(), nullptr);
  manager->InsertCurrentDiagram();
  manager->SelectGroup();
  EXPECT_EQ(Messages().back(), "No diagram groups assigned yet");
  EXPECT_EQ(Messages()[Messages().size() - 2], "No diagram group assigned yet");
}

TEST_F(Groups, RemovingAMemberRemovesEveryMemberOfThatName) {
  auto& d = Diagram(u"csTwice");
  WriteGroupFile({{"G", {{d.ElementId(), "csTwice"}, {99, "x"}, {d.ElementId(), "csTwice"}}}},
                 dir / "Shop.grp");
  manager->ConnectProject();
  members.SetItemIndex(0);
  dialogs.Queue(platform::DialogAnswer::Yes());
  manager->DeleteSelectedMember();
  ASSERT_EQ(manager->CurrentGroup()->FMembers.size(), 1u);
  EXPECT_EQ(manager->CurrentGroup()->FMembers[0]->FId, 99);
}

TEST_F(Groups, ClickingAMemberShowsItsDiagram) {
  auto& d = Diagram(u"csShown");
  WriteGroupFile({{"G", {{d.ElementId(), "csShown"}}}}, dir / "Shop.grp");
  manager->ConnectProject();
  members.UserClick(0);
  EXPECT_EQ(Project().navigator.currentDiagram.Get(), &d);
  EXPECT_EQ(Project().navigator.view, mmapi::MMViewDiagrams);
}

TEST_F(Groups, TheGroupsFollowTheHostsProjectSwitch) {
  auto& d = Diagram(u"csFirst");
  WriteGroupFile({{"First", {{d.ElementId(), "csFirst"}}}}, dir / "Shop.grp");
  manager->ConnectProject();
  ASSERT_EQ(manager->Groups().size(), 1u);
  // Another project with a group file of its own.
  auto next = std::make_unique<modelhost::ModelProject>();
  next->fileName = dir / "Next.mmproj";
  WriteGroupFile({{"Second", {}}, {"Third", {}}}, dir / "Next.grp");
  // The host names the project it opens with the events, as a full path.
  const std::u16string nextPath = (dir / "Next.mmproj").u16string();
  const auto nextLength = std::uint32_t(nextPath.size());
  mmapi::MMBool answer = 1;
  ASSERT_EQ(notifier->BeforeOpen(nextPath.data(), nextLength, &answer), mmapi::MM_OK);
  EXPECT_EQ(answer, 0);
  EXPECT_TRUE(manager->Groups().empty());
  EXPECT_EQ(selector.Count(), 0);
  session.ReplaceProject(std::move(next));
  ASSERT_EQ(notifier->AfterOpen(nextPath.data(), nextLength), mmapi::MM_OK);
  EXPECT_EQ(manager->FileName(), (dir / "Next.grp").string());
  EXPECT_THAT(selector.Items(), ElementsAre("Second", "Third"));
  ASSERT_NE(manager->CurrentGroup(), nullptr);
  EXPECT_EQ(manager->CurrentGroup()->FName, "Second");
}

TEST_F(Groups, AfterTheManagerIsGoneTheNotifierNoLongerCallsIt) {
  manager->ConnectProject();
  manager.reset();
  EXPECT_EQ(notifier->AfterOpen(u"", 0), mmapi::MM_OK);
}

TEST_F(Groups, ATruncatedOrHostileFileLoadsWhatItHolds) {
  auto& d = Diagram(u"csKept");
  settings::TTypeMemoryStream s;
  s.WriteInteger(0x7FFFFFFF);  // claims two billion groups
  s.WriteString("G");
  s.WriteInteger(0x7FFFFFFF);  // and as many members
  s.WriteInteger(d.ElementId());
  s.WriteString("csKept");
  s.WriteInteger(-1);
  s.WriteInteger(5);           // a member cut short
  s.SaveToFile(dir / "Shop.grp");
  manager->ConnectProject();
  ASSERT_EQ(manager->Groups().size(), 1u);
  EXPECT_EQ(manager->Groups()[0]->FMembers.size(), 1u);
  EXPECT_THAT(members.Items(), ElementsAre("csKept"));
}

TEST_F(Groups, ThePageCommandsAskThroughTheDialogs) {
  auto& d = Diagram(u"csLoaded");
  manager->ConnectProject();
  dialogs.Queue(platform::DialogAnswer::Text("New one"));
  manager->NewGroupCommand();
  dialogs.Queue(platform::DialogAnswer::Cancel());
  manager->NewGroupCommand();
  EXPECT_EQ(manager->Groups().size(), 1u);
  WriteGroupFile({{"Loaded", {{d.ElementId(), "csLoaded"}}}}, dir / "other.grp");
  dialogs.Queue(platform::DialogAnswer::File((dir / "other.grp").string()));
  manager->LoadCommand();
  EXPECT_EQ(manager->CurrentGroup()->FName, "Loaded");
  EXPECT_THAT(members.Items(), ElementsAre("csLoaded"));
  dialogs.Queue(platform::DialogAnswer::File((dir / "saved.grp").string()));
  manager->SaveCommand();
  EXPECT_FALSE(std::filesystem::exists(dir / "saved.grp"));  // this system writes no group file
  EXPECT_EQ(dialogs.Shown()[0].text,
            "\"Diagram Group Managing\" \"Enter New Groupname\" preset \"\"");
  EXPECT_EQ(dialogs.Shown()[2].text, "in \"" + dir.Path().string() + "\" extension \"*.txt\"");
}

}  // namespace
