// What the host's call-stack options leave of a received stack, and that the
// plug-in reads them through the host's interface.
#include <optional>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "call_stack_filter.h"
#include "diagram_generator.h"
#include "host_session.h"
#include "mmapi/cxx/utf.h"

namespace {

using namespace drvx;
using ::testing::ElementsAre;
using sequence::CallStackFilter;
using sequence::MatchesPattern;

TEST(CallStackFilter, PatternsMatchTheWholeNameWithStarsAndQuestionMarks) {
  EXPECT_TRUE(MatchesPattern("TOrder", "TOrder"));
  EXPECT_FALSE(MatchesPattern("TOrder", "TOrderLine"));
  EXPECT_FALSE(MatchesPattern("TOrder", "torder"));  // case counts, as in role names
  EXPECT_TRUE(MatchesPattern("TOrder*", "TOrderLine"));
  EXPECT_TRUE(MatchesPattern("TOrder*", "TOrder"));
  EXPECT_TRUE(MatchesPattern("*Line", "TOrderLine"));
  EXPECT_TRUE(MatchesPattern("T*r*e", "TOrderLine"));
  EXPECT_FALSE(MatchesPattern("T*r*x", "TOrderLine"));
  EXPECT_TRUE(MatchesPattern("T?tock", "TStock"));
  EXPECT_FALSE(MatchesPattern("T?tock", "Tstock "));
  EXPECT_TRUE(MatchesPattern("*", ""));
  EXPECT_FALSE(MatchesPattern("?", ""));
  EXPECT_TRUE(MatchesPattern("", ""));
  // Backtracking stays cheap on a pattern made to defeat naive matching.
  EXPECT_FALSE(MatchesPattern("*a*a*a*a*a*a*a*a*b", std::string(2000, 'a')));
}

TEST(CallStackFilter, ClassPatternsComeFirstThenTheInnermostCallsUpToTheLimit) {
  const std::vector<std::string> stack = {"TLog.Write", "TStock.Reserve(aCode)", "TLog.Enter",
                                          "TOrderProcessor.Process", "TShopApp.Run"};
  EXPECT_EQ(CallStackFilter{}.Apply(stack), stack);  // an empty filter keeps the stack whole

  CallStackFilter exclude{0, {}, {"TLog"}};
  EXPECT_THAT(exclude.Apply(stack),
              ElementsAre("TStock.Reserve(aCode)", "TOrderProcessor.Process", "TShopApp.Run"));

  CallStackFilter include{0, {"TOrder*", "TStock"}, {}};
  EXPECT_THAT(include.Apply(stack), ElementsAre("TStock.Reserve(aCode)", "TOrderProcessor.Process"));

  CallStackFilter both{2, {"T*"}, {"TLog", "TShop*"}};
  EXPECT_THAT(both.Apply(stack), ElementsAre("TStock.Reserve(aCode)", "TOrderProcessor.Process"));

  CallStackFilter depth{1, {}, {}};
  EXPECT_THAT(depth.Apply(stack), ElementsAre("TLog.Write"));
  CallStackFilter deeperThanTheStack{50, {}, {}};
  EXPECT_EQ(deeperThanTheStack.Apply(stack), stack);
}

TEST(CallStackFilter, TheClassIsTheTextBeforeTheFirstDot) {
  CallStackFilter filter{0, {"Unit1"}, {}};
  EXPECT_THAT(filter.Apply({"Unit1.TForm1.Click(Sender)", "TForm1.Click", "Unit1", ""}),
              ElementsAre("Unit1.TForm1.Click(Sender)", "Unit1"));
}

class CallStackOptions : public ::testing::Test {
 protected:
  void SetUp() override { binding.emplace(session.Services()); }
  void TearDown() override { binding.reset(); }

  // Draws a received stack with the options the host gives.
  std::int32_t Draw(const std::string& text) {
    settings::TTypeMemoryStream stream;
    stream.Write(text.data(), std::int32_t(text.size()));
    const CallStackFilter filter = CallStackFilter::FromHost(host::Services::Of(session.Services()));
    return sequence::DrawReceivedCallStack(host::Services::Of(session.Services()), stream, filter, [](const std::string&) {});
  }
  std::vector<std::string> Roles() {
    std::vector<std::string> roles;
    for (const auto* s : session.Project().diagrams.back()->symbols)
      roles.push_back(mmapi::cxx::ToUtf8(s->name));
    return roles;
  }

  modelhost::HostSession session;
  std::optional<host::HostBinding> binding;
};

TEST_F(CallStackOptions, ThePlugInReadsTheHostsOptionsThroughItsInterface) {
  session.CallStacks() = {3, {"T*"}, {"TLog", "TTrace*"}};
  const CallStackFilter filter = CallStackFilter::FromHost(host::Services::Of(session.Services()));
  EXPECT_EQ(filter.depthLimit, 3u);
  EXPECT_THAT(filter.include, ElementsAre("T*"));
  EXPECT_THAT(filter.exclude, ElementsAre("TLog", "TTrace*"));
}

TEST_F(CallStackOptions, AReceivedStackIsDrawnAsTheHostFiltersIt) {
  ASSERT_GE(Draw("Z.z\r\nLog.w\r\nY.y\r\nX.x\r\n"), 0);
  EXPECT_THAT(Roles(), ElementsAre("System", "X", "Y", "Log", "Z"));
  session.CallStacks() = {2, {}, {"Log"}};
  ASSERT_GE(Draw("Z.z\r\nLog.w\r\nY.y\r\nX.x\r\n"), 0);
  EXPECT_THAT(Roles(), ElementsAre("System", "Y", "Z"));
}

TEST_F(CallStackOptions, AStackTheFilterEmptiesIsNotDrawn) {
  session.CallStacks() = {0, {"TOrder*"}, {}};
  const auto before = session.Project().diagrams.size();
  EXPECT_EQ(Draw("Z.z\r\nY.y\r\n"), -1);
  EXPECT_EQ(session.Project().diagrams.size(), before);
}

}  // namespace
