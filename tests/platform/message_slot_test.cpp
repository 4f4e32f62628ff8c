// The message slot itself, as the mailbox and senders rely on it on every
// system: whole messages, empty and largest ones, time-outs, waking a reader.
#include <future>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/message_slot.h"
#include "support/test_support.h"

namespace {

using drvx::platform::kMaxSlotMessage;
using drvx::platform::MessageSlot;
using drvx::platform::SendToSlot;
using drvx::platform::SlotPath;
using ::testing::HasSubstr;

std::string UniquePath() {
  static int count = 0;
  return SlotPath("DrvxSlotTest-" + std::to_string(drvx::test::ProcessId()) + "-" +
                  std::to_string(++count));
}

std::string ReadOne(MessageSlot& slot, MessageSlot::Result expected = MessageSlot::Result::Message) {
  std::vector<std::uint8_t> buffer;
  std::string note;
  EXPECT_EQ(slot.Read(buffer, kMaxSlotMessage, note), expected) << note;
  return std::string(buffer.begin(), buffer.end());
}

TEST(MessageSlot, KeepsMessagesWholeFromEmptyToTheLargest) {
  const std::string path = UniquePath();
  auto slot = MessageSlot::Create(path, 2000);
  const std::string largest(kMaxSlotMessage, 'L');
  SendToSlot(path, "first\r\n");
  SendToSlot(path, "");
  SendToSlot(path, largest);
  SendToSlot(path, "last");
  EXPECT_EQ(ReadOne(*slot), "first\r\n");
  EXPECT_EQ(ReadOne(*slot), "");
  EXPECT_EQ(ReadOne(*slot), largest);
  EXPECT_EQ(ReadOne(*slot), "last");
}

TEST(MessageSlot, AReadWithNothingToReadTimesOutAndWakeEndsAWaitingRead) {
  const std::string path = UniquePath();
  auto quick = MessageSlot::Create(path, 100);
  ReadOne(*quick, MessageSlot::Result::TimedOut);
  // A reader waiting for a minute is woken at once, without a message.
  auto slow = MessageSlot::Create(UniquePath(), 60000);
  auto reader = std::async(std::launch::async, [&] { return ReadOne(*slow, MessageSlot::Result::Woken); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  slow->Wake();
  EXPECT_EQ(reader.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  reader.get();
}

TEST(MessageSlot, SendingSaysWhyNothingWasSent) {
  const std::string path = UniquePath();
  try {
    SendToSlot(path, "x");
    FAIL() << "sent without a receiver";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("no receiver holds the slot " + path));
  }
  auto slot = MessageSlot::Create(path, 100);
  try {
    SendToSlot(path, std::string(kMaxSlotMessage + 1, 'x'));
    FAIL() << "sent more than a slot takes";
  } catch (const std::runtime_error& e) {
    EXPECT_THAT(e.what(), HasSubstr("a slot takes at most 65536"));
  }
  EXPECT_THROW(MessageSlot::Create(path, 100), std::runtime_error);  // held already
}

}  // namespace
