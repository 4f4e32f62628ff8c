// Folding while the run grows: what is drawn when, and what the tree keeps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "call_folding.h"

namespace {

using namespace drvx::sequence;
using ::testing::ElementsAre;

// Notes what is drawn, in order.
class Log final : public RecordingCanvas {
 public:
  void Entered(CallNode& node, const CallNode& caller) override {
    if (node.kind == CallNode::Call) lines.push_back(caller.role + "->" + node.role + " " + node.message);
    else if (node.kind == CallNode::Gap) lines.push_back("! " + node.message);
  }
  void Left(CallNode& node, const CallNode& caller) override {
    if (node.kind == CallNode::Call && node.returned) lines.push_back(node.role + "-->" + caller.role);
    if (node.kind == CallNode::Loop) lines.push_back("loop x" + std::to_string(node.count));
  }
  void Recounted(const CallNode& loop) override { lines.push_back("now x" + std::to_string(loop.count)); }
  void Forgot(const CallNode&) override {}
  std::vector<std::string> Take() { return std::exchange(lines, {}); }

  std::vector<std::string> lines;
};

TEST(CallFolding, ACallIsDrawnAtOnceUnlessItMayRepeatAndALoopsCountGrowsOnTheCanvas) {
  Log log;
  CallFolder folder(log, 4);
  folder.Call("TShop", "Run");
  folder.Call("TStock", "Check");
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre("System->TShop Run", "TShop->TStock Check"));
  folder.Return();
  folder.Call("TStock", "Check");  // may repeat the first: it waits
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre("TStock-->TShop"));
  folder.Return();
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre("loop x2"));
  folder.Call("TStock", "Check");
  folder.Return();
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre("now x3"));
  folder.Call("TStock", "Check");
  folder.Call("TLog", "Write");  // the Check may still repeat the others: it waits
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre());
  folder.Return();
  folder.Return();
  folder.Call("TLog", "Flush");  // like nothing before it: drawn while open
  folder.Draw();
  EXPECT_THAT(log.Take(), ElementsAre("TShop->TStock Check", "TStock->TLog Write", "TLog-->TStock",
                                      "TStock-->TShop", "TShop->TLog Flush"));
  folder.Gap("lost: batch 2");
  folder.End();  // what is open is left: its return was not seen
  EXPECT_THAT(log.Take(), ElementsAre("! lost: batch 2"));
}

TEST(CallFolding, WithoutAWindowEveryCallIsDrawn) {
  Log log;
  CallFolder folder(log, 0);
  for (int i = 0; i < 3; ++i) folder.Call("A", "x"), folder.Return();
  folder.End();
  EXPECT_THAT(log.Take(), ElementsAre("System->A x", "A-->System", "System->A x", "A-->System",
                                      "System->A x", "A-->System"));
}

// A long run keeps what can still fold, not what is drawn: the tree stays
// small whether the calls repeat or not.
TEST(CallFolding, ALongRunKeepsFewNodes) {
  for (const bool alike : {true, false}) {
    Log log;
    CallFolder folder(log, 4);
    folder.Call("TServer", "Serve");
    for (int i = 0; i < 100000; ++i) {
      folder.Call("TRequest", alike ? "Handle" : "Handle" + std::to_string(i));
      folder.Call("TLog", "Write");
      folder.Return();
      folder.Return();
      if (i % 10 == 0) folder.Draw();
    }
    folder.Return();
    folder.End();
    EXPECT_LT(folder.MostNodes(), 100u) << (alike ? "alike" : "distinct");
    std::erase_if(log.lines, [](const std::string& line) { return line.starts_with("now"); });
    EXPECT_EQ(log.lines.size(), alike ? 7u : 4u * 100000 + 2) << (alike ? "alike" : "distinct");
  }
}

}  // namespace
