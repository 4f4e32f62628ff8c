#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "diagram_generator.h"
#include "drvx/platform/forms.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/text.h"
#include "drvx/platform/ui_loop.h"
#include "host_session.h"
#include "mailbox.h"
#include "mmapi/cxx/utf.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using sequence::TZkMailBox;

std::string Text(settings::TTypeMemoryStream& stream) {
  stream.SetPosition(0);
  std::string text(std::size_t(stream.Size()), '\0');
  stream.Read(text.data(), stream.Size());
  return text;
}

class MailBox : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UiLoop::Instance().AttachToThisThread();
    platform::SetDialogs(&dialogs);
    platform::SetLogSink([this](const std::string& line) {
      std::lock_guard lock(logMutex);
      log.push_back(line);
    });
  }
  void TearDown() override {
    platform::SetLogSink(nullptr);
    platform::SetDialogs(nullptr);
  }
  // A slot name no other test process uses.
  std::string Name() {
    return "DrvxTest-" + std::to_string(test::ProcessId()) + "-" + std::to_string(++slots);
  }
  // Sends through the drvx-send program, as another process would.
  int SendFromAnotherProcess(const std::string& name, const std::string& text) {
    test::WriteText(dir / "stack.txt", text);
    const std::string command =
        std::string(DRVX_SEND_PATH) + " --slot " + name + " " + (dir / "stack.txt").string();
    return std::system(command.c_str());
  }
  bool Pump(const std::function<bool()>& done) {
    return platform::UiLoop::Instance().RunUntil(done, 5000ms);
  }
  std::vector<std::string> Log() {
    std::lock_guard lock(logMutex);
    return log;
  }

  test::TempDir dir;
  platform::ScriptedDialogs dialogs;
  std::mutex logMutex;
  std::vector<std::string> log;
  int slots = 0;
};

TEST_F(MailBox, MessagesFromAnotherProcessArriveInOrderOnTheUiThread) {
  TZkMailBox box(true);
  box.SetBufferSize(65536);
  box.SetSlotName(Name());
  std::vector<std::string> received;
  std::vector<std::thread::id> threads;
  box.SetOnMessage([&](TZkMailBox& sender, settings::TTypeMemoryStream& stream) {
    EXPECT_EQ(&sender, &box);
    received.push_back(Text(stream));
    threads.push_back(std::this_thread::get_id());
  });
  box.SetActive(true);
  ASSERT_TRUE(box.Active());
  for (const char* text : {"first", "second\r\nline", "third"})
    ASSERT_EQ(SendFromAnotherProcess(box.SlotName(), text), 0);
  ASSERT_TRUE(Pump([&] { return received.size() == 3; }));
  EXPECT_THAT(received, ElementsAre("first", "second\r\nline", "third"));
  for (auto id : threads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(MailBox, ASecondMailBoxOfTheSameNameCannotOpenTheSlot) {
  const std::string name = Name();
  TZkMailBox first(true);
  first.SetSlotName(name);
  first.SetActive(true);
  TZkMailBox second(true);
  second.SetSlotName(name);
  int code = 0;
  second.SetOnError([&](TZkMailBox&, std::uint8_t c) { code = c; });
  second.SetActive(true);
  EXPECT_EQ(code, TZkMailBox::kHeldByAnother);
  EXPECT_EQ(second.LastError(), "another receiver holds the slot " + platform::SlotPath(name));
  EXPECT_FALSE(second.Active());
  TZkMailBox third(true);
  third.SetSlotName(name);
  third.SetActive(true);  // no error handler: a message box
  EXPECT_FALSE(third.Active());
  EXPECT_EQ(third.LastError(),
            "Exception: Exception in TZkMailBox.SetActive:can not create Mailslot " + name);
  ASSERT_EQ(dialogs.Shown().size(), 1u);
  EXPECT_EQ(dialogs.Shown()[0].text, third.LastError());
}

TEST_F(MailBox, AMessageLargerThanTheBufferIsDroppedAndTheReaderGoesOn) {
  TZkMailBox box(true);
  box.SetSlotName(Name());
  std::vector<std::string> received;
  box.SetOnMessage(
      [&](TZkMailBox&, settings::TTypeMemoryStream& stream) { received.push_back(Text(stream)); });
  box.SetActive(true);  // the default buffer: 1024 bytes
  ASSERT_EQ(SendFromAnotherProcess(box.SlotName(), std::string(2000, 'x')), 0);
  ASSERT_EQ(SendFromAnotherProcess(box.SlotName(), "small"), 0);
  ASSERT_TRUE(Pump([&] { return received.size() == 1; }));
  EXPECT_THAT(received, ElementsAre("small"));
  EXPECT_THAT(Log(), ElementsAre("a message of 2000 bytes is larger than the 1024-byte buffer; it "
                                 "was dropped"));
}

TEST_F(MailBox, DeactivationNeverWaitsForAPendingHandOver) {
  TZkMailBox box(true);
  box.SetSlotName(Name());
  int delivered = 0;
  box.SetOnMessage([&](TZkMailBox&, settings::TTypeMemoryStream&) { ++delivered; });
  for (int round = 0; round < 10; ++round) {
    box.SetActive(true);
    ASSERT_TRUE(box.Active());
    platform::SendToSlot(platform::SlotPath(box.SlotName()), "A.x");
    std::this_thread::sleep_for(20ms);  // the reader now waits for the busy UI thread
    std::atomic<bool> finished = false;
    std::thread watchdog([&] {
      for (int i = 0; i < 100 && !finished; ++i) std::this_thread::sleep_for(10ms);
      if (!finished) {
        std::fprintf(stderr, "deactivation took over a second\n");
        std::abort();
      }
    });
    const auto start = std::chrono::steady_clock::now();
    box.SetActive(false);
    finished = true;
    watchdog.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_FALSE(box.Active());
  }
  EXPECT_EQ(delivered, 0);
  platform::UiLoop::Instance().ProcessPending();
  EXPECT_EQ(delivered, 0);  // an abandoned hand-over never runs later
  // A message the reader had not yet taken when the slot closed goes with
  // the slot (a loaded machine may take longer than the 20 ms); each one it
  // had taken is told as dropped.
  EXPECT_GE(Log().size(), 1u);
  EXPECT_LE(Log().size(), 10u);
  for (const auto& line : Log()) EXPECT_THAT(line, HasSubstr("arrived while the mailbox was closing; it was dropped"));
}

TEST_F(MailBox, DeliveryOnTheReaderThreadWhenNotSynchronised) {
  TZkMailBox box(false);
  box.SetSlotName(Name());
  std::atomic<int> count = 0;
  std::thread::id reader;
  box.SetOnMessage([&](TZkMailBox&, settings::TTypeMemoryStream&) {
    reader = std::this_thread::get_id();
    ++count;
  });
  box.SetActive(true);
  platform::SendToSlot(platform::SlotPath(box.SlotName()), "x");
  for (int i = 0; i < 500 && count == 0; ++i) std::this_thread::sleep_for(10ms);
  box.SetActive(false);
  EXPECT_EQ(count, 1);
  EXPECT_NE(reader, std::this_thread::get_id());
}

TEST_F(MailBox, RenamingReopensAndTheSameNameChangesNothing) {
  TZkMailBox box(true);
  const std::string first = Name(), second = Name();
  box.SetSlotName(first);
  box.SetActive(true);
  box.SetSlotName(first);
  EXPECT_TRUE(box.Active());
  box.SetSlotName(second);
  EXPECT_TRUE(box.Active());
  EXPECT_THROW(platform::SendToSlot(platform::SlotPath(first), "x"), std::runtime_error);
  EXPECT_NO_THROW(platform::SendToSlot(platform::SlotPath(second), "x"));
}

// Another user's process can neither send to the slot nor take its name: the
// slot lives in the user's private folder.
TEST_F(MailBox, AnotherUserCanNeitherSendNorTakeTheSlot) {
#ifdef _WIN32
  GTEST_SKIP() << "acting as another user needs a second Windows account";
#else
  if (::geteuid() != 0) GTEST_SKIP() << "only root can act as another user";
  TZkMailBox box(true);
  box.SetSlotName(Name());
  int delivered = 0;
  box.SetOnMessage([&](TZkMailBox&, settings::TTypeMemoryStream&) { ++delivered; });
  box.SetActive(true);
  const std::string path = platform::SlotPath(box.SlotName());  // no allocation after fork
  const std::string other = platform::SlotPath(Name());
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setuid(65534) != 0) ::_exit(9);
    int refused = 0;
    try {
      platform::SendToSlot(path, "A.x");
    } catch (const std::exception&) {
      refused |= 1;
    }
    try {
      platform::MessageSlot::Create(other, 10);
    } catch (const std::exception&) {
      refused |= 2;
    }
    ::_exit(refused);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 3 /* both refused */);
  platform::UiLoop::Instance().RunUntil([] { return false; }, 100ms);
  EXPECT_EQ(delivered, 0);
#endif
}

TEST_F(MailBox, ACallStackBecomesASequenceDiagramOfTheReversedCalls) {
  modelhost::HostSession session;
  host::HostBinding binding(session.Services());
  TZkMailBox box(true);
  box.SetBufferSize(65536);
  box.SetSlotName(Name());
  box.SetOnMessage([&session](TZkMailBox&, settings::TTypeMemoryStream& stream) {
    sequence::DrawReceivedCallStack(host::Services::Of(session.Services()), stream, {}, nullptr);
  });
  box.SetActive(true);
  ASSERT_EQ(SendFromAnotherProcess(box.SlotName(), "Z.z\r\nY.y\r\nX.x\r\n"), 0);
  ASSERT_TRUE(Pump([&] { return !session.Project().diagrams.empty(); }));
  box.SetActive(false);
  const auto& d = *session.Project().diagrams[0];
  EXPECT_EQ(d.name, u"sqDelphiCallStack");
  std::vector<std::string> roles, messages;
  for (const auto* s : d.symbols) roles.push_back(mmapi::cxx::ToUtf8(s->name));
  for (const auto* s : d.associations) messages.push_back(mmapi::cxx::ToUtf8(s->name));
  EXPECT_THAT(roles, ElementsAre("System", "X", "Y", "Z"));
  EXPECT_THAT(messages, ElementsAre("x", "y", "z"));
}

}  // namespace
