// drvx_trace as a traced program uses it: the per-thread stacks, the message
// text byte for byte, and sending that never blocks.
#include <stdexcept>
#include <string>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "c_usage.h"
#include "drvx/platform/message_slot.h"
#include "drvx_trace.h"
#include "support/test_support.h"

namespace {

using drvx::platform::MessageSlot;
using drvx::platform::SlotPath;
using ::testing::HasSubstr;

std::string Message() {
  std::string text(drvx_trace_format(nullptr, 0), '\0');
  EXPECT_EQ(drvx_trace_format(text.data(), text.size()), text.size());
  return text;
}

drvx_trace_counts Counts() {
  drvx_trace_counts counts{};
  drvx_trace_get_counts(&counts);
  return counts;
}

std::string UniqueSlot() {
  static int count = 0;
  return "DrvxTraceTest-" + std::to_string(drvx::test::ProcessId()) + "-" + std::to_string(++count);
}

// Every test leaves the thread's stack as it found it: empty.
class Trace : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(drvx_trace_depth(), 0u) << "a test left calls on the stack"; }
};

void Throws() {
  DRVX_TRACE_SCOPE("TOrder.Submit");
  throw std::runtime_error("empty order");
}

TEST_F(Trace, NestedScopesGiveTheInnermostCallFirstEachLineEndingInCrLf) {
  EXPECT_EQ(Message(), "");
  DRVX_TRACE_SCOPE("TShopApp.Run");
  {
    DRVX_TRACE_SCOPE("TOrderProcessor.Process(aOrder)");
    DRVX_TRACE_SCOPE("TStock.Reserve(aCode, aQuantity)");
    EXPECT_EQ(drvx_trace_depth(), 3u);
    EXPECT_EQ(Message(),
              "TStock.Reserve(aCode, aQuantity)\r\nTOrderProcessor.Process(aOrder)\r\n"
              "TShopApp.Run\r\n");
  }
  EXPECT_EQ(Message(), "TShopApp.Run\r\n");
}

TEST_F(Trace, AnExceptionLeavingAScopePopsItsCall) {
  DRVX_TRACE_SCOPE("TOrderProcessor.Process");
  EXPECT_THROW(Throws(), std::runtime_error);
  EXPECT_EQ(Message(), "TOrderProcessor.Process\r\n");
}

TEST_F(Trace, ACProgramPushesAndPopsWithFunctions) {
  char text[64] = {};
  const std::size_t length = FormatStackOfACProgram(text, sizeof text);
  EXPECT_EQ(std::string(text, length), "Worker.finish\r\nMain.run\r\n");
}

TEST_F(Trace, EachThreadHasItsOwnStack) {
  DRVX_TRACE_SCOPE("Main.Run");
  std::string seen[2];
  auto worker = [&seen](int i) {
    DRVX_TRACE_SCOPE(i == 0 ? "TLeft.Work" : "TRight.Work");
    DRVX_TRACE_SCOPE("TShared.Step");
    seen[i] = Message();
  };
  std::thread left(worker, 0), right(worker, 1);
  left.join();
  right.join();
  EXPECT_EQ(seen[0], "TShared.Step\r\nTLeft.Work\r\n");
  EXPECT_EQ(seen[1], "TShared.Step\r\nTRight.Work\r\n");
  EXPECT_EQ(Message(), "Main.Run\r\n");
}

TEST_F(Trace, NamesAreCopiedCutToTheirLimitAndKeptToOneLine) {
  std::string name = "TFirst.Name";
  drvx_trace_push(name.c_str());
  name = "TOverwritten.Name";  // the stack keeps its own copy
  const std::string longName = "T" + std::string(DRVX_TRACE_MAX_NAME + 40, 'x');
  drvx_trace_push(longName.c_str());
  drvx_trace_push("TBroken.Line\r\nSecond");
  drvx_trace_push("");
  drvx_trace_push(nullptr);
  EXPECT_EQ(Message(), "(unnamed)\r\n(unnamed)\r\nTBroken.Line  Second\r\n" +
                           longName.substr(0, DRVX_TRACE_MAX_NAME) + "\r\nTFirst.Name\r\n");
  for (int i = 0; i < 5; ++i) drvx_trace_pop();
  drvx_trace_pop();  // one pop too many does nothing
  EXPECT_EQ(drvx_trace_depth(), 0u);
}

TEST_F(Trace, AStackDeeperThanTheBoundKeepsItsInnermostCallsAndSaysHowManyWereCut) {
  const std::size_t deep = DRVX_TRACE_MAX_DEPTH + 44;
  for (std::size_t i = 0; i < deep; ++i) drvx_trace_push(("T.Call" + std::to_string(i)).c_str());
  std::string expected;
  for (std::size_t i = deep; i > 44; --i) expected += "T.Call" + std::to_string(i - 1) + "\r\n";
  EXPECT_EQ(Message(), expected + "(44 outer calls cut)\r\n");
  EXPECT_EQ(drvx_trace_depth(), deep);
  // Back below the bound: the calls that lost their place stay cut.
  for (std::size_t i = 0; i < deep - 10; ++i) drvx_trace_pop();
  EXPECT_EQ(Message(), "(10 outer calls cut)\r\n");
  for (int i = 0; i < 10; ++i) drvx_trace_pop();
  drvx_trace_push("T.Fresh");
  EXPECT_EQ(Message(), "T.Fresh\r\n");
  drvx_trace_pop();
}

TEST_F(Trace, AFormatBufferTooSmallIsLeftAloneAndTheLengthSaysWhatIsNeeded) {
  DRVX_TRACE_SCOPE("TOrder.Submit");
  char text[8] = "unused";
  EXPECT_EQ(drvx_trace_format(text, sizeof text), 15u);
  EXPECT_STREQ(text, "unused");
}

TEST_F(Trace, WithoutAReceiverTheStackIsDroppedAndCounted) {
  DRVX_TRACE_SCOPE("TOrder.Submit");
  const drvx_trace_counts before = Counts();
  EXPECT_EQ(drvx_trace_send_to(UniqueSlot().c_str()), DRVX_TRACE_NO_RECEIVER);
  EXPECT_EQ(Counts().no_receiver, before.no_receiver + 1);
  EXPECT_EQ(Counts().sent, before.sent);
}

TEST_F(Trace, NothingIsSentForAnEmptyStackOrABadSlotName) {
  const drvx_trace_counts before = Counts();
  EXPECT_EQ(drvx_trace_send_to(UniqueSlot().c_str()), DRVX_TRACE_EMPTY);
  DRVX_TRACE_SCOPE("TOrder.Submit");
  for (const char* bad : {"", ".", "..", "../MbDRVX", "a\\b", "with blank"})
    EXPECT_EQ(drvx_trace_send_to(bad), DRVX_TRACE_FAILED) << bad;
  EXPECT_EQ(drvx_trace_send_to(nullptr), DRVX_TRACE_FAILED);
  EXPECT_EQ(Counts().empty, before.empty + 1);
  EXPECT_EQ(Counts().failed, before.failed + 7);
}

TEST_F(Trace, TheReceiverGetsTheMessageTextAsOneMessage) {
  const std::string slot = UniqueSlot();
  auto receiver = MessageSlot::Create(SlotPath(slot), 5000);
  const drvx_trace_counts before = Counts();
  for (std::size_t i = 0; i < DRVX_TRACE_MAX_DEPTH + 3; ++i)
    drvx_trace_push((std::string(DRVX_TRACE_MAX_NAME - 8, 'N') + ".M" + std::to_string(i)).c_str());
  const std::string sent = Message();
  EXPECT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_SENT);
  for (std::size_t i = 0; i < DRVX_TRACE_MAX_DEPTH + 3; ++i) drvx_trace_pop();
  std::vector<std::uint8_t> buffer;
  std::string note;
  ASSERT_EQ(receiver->Read(buffer, drvx::platform::kMaxSlotMessage, note),
            MessageSlot::Result::Message)
      << note;
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), sent);
  EXPECT_LE(sent.size(), drvx::platform::kMaxSlotMessage);  // the largest stack fits the slot
  EXPECT_THAT(sent, HasSubstr("(3 outer calls cut)"));
  EXPECT_EQ(Counts().sent, before.sent + 1);
  EXPECT_EQ(Counts().cut, before.cut + 1);
}

// A thread keeps its way to the slot between sends; when the receiver ends,
// a send says so, and once another receiver holds the slot the next send
// reaches that one.
TEST_F(Trace, ASendAfterTheReceiverChangedReachesTheNewOne) {
  const std::string slot = UniqueSlot();
  DRVX_TRACE_SCOPE("TOrder.Submit");
  std::vector<std::uint8_t> buffer;
  std::string note;
  {
    auto first = MessageSlot::Create(SlotPath(slot), 5000);
    ASSERT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_SENT);
    ASSERT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_SENT);
    ASSERT_EQ(first->Read(buffer, drvx::platform::kMaxSlotMessage, note),
              MessageSlot::Result::Message);
  }
  EXPECT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_NO_RECEIVER);
  auto second = MessageSlot::Create(SlotPath(slot), 5000);
  ASSERT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_SENT);
  ASSERT_EQ(second->Read(buffer, drvx::platform::kMaxSlotMessage, note),
            MessageSlot::Result::Message)
      << note;
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "TOrder.Submit\r\n");
}

// A receiver that does not read: sending goes on failing at once, never
// waiting for room.
TEST_F(Trace, AFullQueueDropsTheStackWithoutWaiting) {
#ifdef _WIN32
  GTEST_SKIP() << "a mailslot's queue has no limit";
#else
  const std::string slot = UniqueSlot();
  auto receiver = MessageSlot::Create(SlotPath(slot), 5000);
  DRVX_TRACE_SCOPE("TOrder.Submit");
  const drvx_trace_counts before = Counts();
  drvx_trace_result result = DRVX_TRACE_SENT;
  int sends = 0;
  while (result == DRVX_TRACE_SENT && sends < 100000) {
    result = drvx_trace_send_to(slot.c_str());
    ++sends;
  }
  EXPECT_EQ(result, DRVX_TRACE_QUEUE_FULL) << "after " << sends << " sends";
  EXPECT_EQ(drvx_trace_send_to(slot.c_str()), DRVX_TRACE_QUEUE_FULL);
  EXPECT_EQ(Counts().queue_full, before.queue_full + 2);
  EXPECT_EQ(Counts().sent, before.sent + std::uint64_t(sends - 1));
#endif
}

}  // namespace
