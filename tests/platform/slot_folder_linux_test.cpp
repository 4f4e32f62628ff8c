// The slot's folder and files on Linux as another user, a careless one or a
// hostile one, meets them: a runtime folder exchanged under the sender, the
// reasons a slot cannot be made, files in the way, and a queue nobody reads.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/message_slot.h"
#include "drvx_trace.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using drvx::platform::MessageSlot;
using drvx::platform::SendToSlot;
using drvx::platform::SlotPath;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr uid_t kOtherUser = 65534;  // nobody

std::string UniqueName() {
  static int count = 0;
  return "DrvxFolderTest-" + std::to_string(::getpid()) + "-" + std::to_string(++count);
}

// XDG_RUNTIME_DIR set for one test, and what it was put back afterwards.
class RuntimeFolder {
 public:
  explicit RuntimeFolder(const std::string& value) {
    if (const char* was = std::getenv("XDG_RUNTIME_DIR")) was_ = was, had_ = true;
    drvx::test::SetEnvironment("XDG_RUNTIME_DIR", value);
  }
  ~RuntimeFolder() {
    if (had_) drvx::test::SetEnvironment("XDG_RUNTIME_DIR", was_);
    else drvx::test::UnsetEnvironment("XDG_RUNTIME_DIR");
  }

 private:
  std::string was_;
  bool had_ = false;
};

fs::path PrivateFolder(const fs::path& path) {
  fs::create_directories(path);
  ::chmod(path.c_str(), 0700);
  return path;
}

std::string CreateError(const std::string& path) {
  try {
    MessageSlot::Create(path, 10);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "made";
}

// A socket bound at `file`; -1 when it cannot be.
int BoundSocket(const fs::path& file) {
  const int s = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, file.c_str(), sizeof a.sun_path - 1);
  if (s < 0 || ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
  return s;
}

// Counts what arrives at the socket until a byte arrives on `stop`.
int CountUntilStopped(int s, int stop) {
  int received = 0;
  char buffer[70000];
  for (;;) {
    pollfd fds[2] = {{s, POLLIN, 0}, {stop, POLLIN, 0}};
    ::poll(fds, 2, 1000);
    while (::recv(s, buffer, sizeof buffer, MSG_DONTWAIT) >= 0) ++received;
    if (fds[1].revents) return received;
  }
}

TEST(SlotFolder, AFolderExchangedAfterItsCheckNeverReceivesWhatIsSent) {
  if (::geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  // The user's runtime folder lies in a folder another user may write: he
  // keeps exchanging it with a folder of his own that holds his socket.
  drvx::test::TempDir dir;
  const fs::path shared = dir / "shared";
  fs::create_directory(shared);
  ASSERT_EQ(::chown(shared.c_str(), kOtherUser, kOtherUser), 0);
  ::chmod(dir.Path().c_str(), 0755);
  const fs::path runtime = PrivateFolder(shared / "run");
  const fs::path own = shared / "own";
  fs::create_directory(own);
  ::chmod(own.c_str(), 0700);
  ASSERT_EQ(::chown(own.c_str(), kOtherUser, kOtherUser), 0);
  const std::string name = UniqueName();
  const std::string socketName = "mailslot." + name;
  RuntimeFolder env(runtime.string());
  auto slot = MessageSlot::Create(SlotPath(name), 10);
  std::atomic<bool> sending = true;
  std::thread reader([&] {
    std::vector<std::uint8_t> buffer;
    std::string note;
    while (sending) slot->Read(buffer, 100, note);
  });

  int stop[2];
  ASSERT_EQ(::pipe(stop), 0);
  const pid_t other = ::fork();
  if (other == 0) {
    ::close(stop[1]);
    if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0) ::_exit(201);
    const int socket = BoundSocket(own / socketName);
    if (socket < 0) ::_exit(200);
    const pid_t swapper = ::fork();
    if (swapper == 0) {
      for (;;) {
        ::renameat2(AT_FDCWD, runtime.c_str(), AT_FDCWD, own.c_str(), RENAME_EXCHANGE);
        pollfd p{stop[0], POLLIN, 0};
        if (::poll(&p, 1, 0) > 0) ::_exit(0);
      }
    }
    const int received = CountUntilStopped(socket, stop[0]);
    ::waitpid(swapper, nullptr, 0);
    ::_exit(std::min(received, 199));
  }
  ::close(stop[0]);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // his socket is bound
  int sent = 0;
  for (int i = 0; i < 20000; ++i) {
    try {
      SendToSlot(SlotPath(name), "A.a\r\n", 0);
      ++sent;
    } catch (const std::exception&) {
    }
    drvx_trace_push("B.b");
    sent += drvx_trace_send_to(name.c_str()) == DRVX_TRACE_SENT;
    drvx_trace_pop();
  }
  sending = false;
  reader.join();
  ASSERT_EQ(::write(stop[1], "x", 1), 1);
  int status = 0;
  ::waitpid(other, &status, 0);
  ::close(stop[1]);
  ::renameat2(AT_FDCWD, runtime.c_str(), AT_FDCWD, own.c_str(), 0);  // whatever the last swap left
  EXPECT_GT(sent, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "messages the other user received";
}

TEST(SlotFolder, ARelativeRuntimeFolderIsIgnored) {
  drvx::test::TempDir dir;
  const fs::path cwd = fs::current_path();
  fs::current_path(dir.Path());
  PrivateFolder(dir / "relative");
  const std::string name = UniqueName();
  {
    RuntimeFolder env("relative");
    auto slot = MessageSlot::Create(SlotPath(name), 10);
    EXPECT_FALSE(fs::exists(dir / "relative" / ("mailslot." + name)));
    EXPECT_TRUE(fs::exists("/tmp/dravolex-" + std::to_string(::geteuid()) + "/mailslot." + name));
    SendToSlot(SlotPath(name), "x");
  }
  fs::current_path(cwd);
}

TEST(SlotFolder, ASlotThatCannotBeMadeSaysWhy) {
  drvx::test::TempDir dir;
  const std::string name = UniqueName();
  const std::string path = SlotPath(name);
  {
    const fs::path open = dir / "open";
    fs::create_directory(open);
    ::chmod(open.c_str(), 0755);
    RuntimeFolder env(open.string());
    EXPECT_THAT(CreateError(path), HasSubstr("is not this user's private folder"));
  }
  {
    RuntimeFolder env((dir / "missing").string());
    EXPECT_THAT(CreateError(path), HasSubstr("No such file or directory"));
  }
  {
    const fs::path real = PrivateFolder(dir / "real");
    fs::create_directory_symlink(real, dir / "link");
    RuntimeFolder env((dir / "link").string());
    EXPECT_THAT(CreateError(path), HasSubstr("is a symbolic link"));
  }
  const fs::path runtime = PrivateFolder(dir / "run");
  RuntimeFolder env(runtime.string());
  fs::create_directory(runtime / ("mailslot." + name + ".lock"));
  EXPECT_THAT(CreateError(path), HasSubstr("Is a directory"));
  fs::remove(runtime / ("mailslot." + name + ".lock"));
  fs::create_symlink(dir / "elsewhere", runtime / ("mailslot." + name + ".lock"));
  EXPECT_THAT(CreateError(path), HasSubstr("symbolic link"));
  EXPECT_FALSE(fs::exists(dir / "elsewhere"));
  fs::remove(runtime / ("mailslot." + name + ".lock"));
  // Something that is not a socket where the socket goes stays, and is named.
  drvx::test::WriteText(runtime / ("mailslot." + name), "not a socket");
  EXPECT_THAT(CreateError(path), HasSubstr("is not a socket"));
  EXPECT_EQ(drvx::test::ReadText(runtime / ("mailslot." + name)), "not a socket");
  fs::remove(runtime / ("mailslot." + name));
  auto holder = MessageSlot::Create(path, 10);
  try {
    MessageSlot::Create(path, 10);
    ADD_FAILURE() << "made twice";
  } catch (const drvx::platform::SlotHeld& e) {
    EXPECT_THAT(e.what(), HasSubstr("another receiver holds the slot"));
  }
}

TEST(SlotFolder, AFolderPathLongerThanASocketAddressStillHoldsTheSlot) {
  drvx::test::TempDir dir;
  fs::path deep = dir.Path();
  while (deep.string().size() < 150) deep /= "a-rather-long-folder-name";
  PrivateFolder(deep);
  RuntimeFolder env(deep.string());
  const std::string path = SlotPath(UniqueName());
  auto slot = MessageSlot::Create(path, 2000);
  SendToSlot(path, "Deep.Call");
  std::vector<std::uint8_t> buffer;
  std::string note;
  ASSERT_EQ(slot->Read(buffer, 100, note), MessageSlot::Result::Message) << note;
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "Deep.Call");
}

TEST(SlotFolder, TheReceiverRemovesOnlyTheSocketItMade) {
  drvx::test::TempDir dir;
  const fs::path runtime = PrivateFolder(dir / "run");
  RuntimeFolder env(runtime.string());
  const std::string name = UniqueName();
  const fs::path file = runtime / ("mailslot." + name);
  auto slot = MessageSlot::Create(SlotPath(name), 10);
  fs::remove(file);
  drvx::test::WriteText(file, "another program's file");
  slot.reset();
  EXPECT_EQ(drvx::test::ReadText(file), "another program's file");
  fs::remove(file);
  slot = MessageSlot::Create(SlotPath(name), 10);
  slot.reset();
  EXPECT_FALSE(fs::exists(file));
}

TEST(SlotFolder, MessagesSentWhileTheReceiverStartsAreNeverTakenForAnotherUsers) {
  drvx::test::TempDir dir;
  const fs::path runtime = PrivateFolder(dir / "run");
  RuntimeFolder env(runtime.string());
  const std::string name = UniqueName();
  std::atomic<bool> done = false;
  auto flood = [&] {
    while (!done) {
      try {
        SendToSlot(SlotPath(name), "F.f", 0);
      } catch (const std::exception&) {
      }
    }
  };
  std::thread floods[] = {std::thread(flood), std::thread(flood)};
  int dropped = 0;
  for (int start = 0; start < 3000 && dropped == 0; ++start) {
    auto slot = MessageSlot::Create(SlotPath(name), 10);
    std::vector<std::uint8_t> buffer;
    std::string note;
    for (int i = 0; i < 3; ++i)
      if (slot->Read(buffer, 100, note) == MessageSlot::Result::Dropped) ++dropped;
  }
  done = true;
  for (auto& t : floods) t.join();
  EXPECT_EQ(dropped, 0);
}

TEST(SlotFolder, ASendToAReceiverThatDoesNotReadGivesUpInTime) {
  drvx::test::TempDir dir;
  const fs::path runtime = PrivateFolder(dir / "run");
  RuntimeFolder env(runtime.string());
  const std::string path = SlotPath(UniqueName());
  auto slot = MessageSlot::Create(path, 10);  // never read
  std::atomic<int> sent = 0;
  std::string error;
  std::thread sender([&] {
    try {
      for (int i = 0; i < 1000; ++i, ++sent) SendToSlot(path, "Q.q", 200);
    } catch (const std::exception& e) {
      error = e.what();
    }
  });
  // Bounded here, so a sender that blocks fails the test instead of hanging it.
  for (int i = 0; i < 200 && sent < 1000 && error.empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (error.empty()) slot.reset();  // a blocked send ends when the slot goes
  sender.join();
  EXPECT_LT(sent, 1000);
  EXPECT_THAT(error, HasSubstr("did not take the message within 200 ms"));
}

}  // namespace

namespace {

// drvx-send to a host that holds the slot but does not read: from the
// message that finds the queue full, it gives up after --timeout with its
// own exit status.
TEST(SlotFolder, DrvxSendGivesUpOnAReceiverThatDoesNotRead) {
  drvx::test::TempDir dir;
  const fs::path runtime = PrivateFolder(dir / "run");
  RuntimeFolder env(runtime.string());
  const std::string name = UniqueName();
  auto slot = MessageSlot::Create(SlotPath(name), 10);  // never read
  drvx::test::WriteText(dir / "stack.txt", "B.b\r\nA.a\r\n");
  const std::string command = std::string(DRVX_SEND_PATH) + " --slot " + name +
                              " --timeout 100 " + (dir / "stack.txt").string() + " 2>" +
                              (dir / "err.txt").string();
  int status = 0, sent = 0;
  for (; sent < 100 && (status = std::system(command.c_str())) == 0; ++sent) {
  }
  EXPECT_LT(sent, 100);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_THAT(drvx::test::ReadText(dir / "err.txt"),
              HasSubstr("did not take the message within 100 ms"));
}

}  // namespace
