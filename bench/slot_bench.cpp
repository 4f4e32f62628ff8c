// The message slot under load: four sender processes, each 10,000 messages
// of 200 bytes and 1,000 of 60 KiB, received by the mailbox (a handler that
// only counts) and by a bare datagram-socket receiver in the same run; and
// call stacks drawn as diagrams end to end.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "diagram_generator.h"
#include "drvx/platform/message_slot.h"
#include "drvx/platform/scripted_dialogs.h"
#include "drvx/platform/text.h"
#include "drvx/platform/ui_loop.h"
#include "host_call.h"
#include "host_session.h"
#include "mailbox.h"
#include "slot_file.h"

namespace {

using namespace drvx;
using Clock = std::chrono::steady_clock;

constexpr int kSenders = 4;
constexpr int kSmall = 10000;
constexpr int kLarge = 1000;
constexpr std::size_t kSmallSize = 200;
constexpr std::size_t kLargeSize = 60 * 1024;
constexpr int kPerSender = kSmall + kLarge;

// A message: sender, sequence number, payload, and the payload's checksum.
std::string Message(std::uint32_t sender, std::uint32_t seq, std::size_t size) {
  std::string m(size, '\0');
  std::memcpy(m.data(), &sender, 4);
  std::memcpy(m.data() + 4, &seq, 4);
  std::uint32_t sum = 0;
  for (std::size_t i = 8; i + 4 < size; ++i) {
    m[i] = char((seq * 31 + i) & 0xFF);
    sum += std::uint8_t(m[i]);
  }
  std::memcpy(m.data() + size - 4, &sum, 4);
  return m;
}

// Per sender: messages in order, each checksum right.
struct Tally {
  std::uint32_t next[kSenders] = {};
  std::uint64_t bytes = 0;
  int total = 0;
  bool sound = true;

  void Take(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sender = 0, seq = 0, sum = 0, expected = 0;
    std::memcpy(&sender, data, 4);
    std::memcpy(&seq, data + 4, 4);
    std::memcpy(&expected, data + size - 4, 4);
    for (std::size_t i = 8; i + 4 < size; ++i) sum += data[i];
    if (sender >= kSenders || seq != next[sender] || sum != expected) sound = false;
    if (sender < kSenders) next[sender] = seq + 1;
    bytes += size;
    ++total;
  }
};

// Forks the senders; they wait for a byte on the pipe, then send.
std::vector<pid_t> StartSenders(const std::string& path, int go) {
  std::vector<pid_t> children;
  for (int s = 0; s < kSenders; ++s) {
    const pid_t child = ::fork();
    if (child == 0) {
      char byte = 0;
      if (::read(go, &byte, 1) != 1) ::_exit(2);
      for (int i = 0; i < kPerSender; ++i)
        platform::SendToSlot(path, Message(std::uint32_t(s), std::uint32_t(i),
                                           i < kSmall ? kSmallSize : kLargeSize));
      ::_exit(0);
    }
    children.push_back(child);
  }
  return children;
}

void Go(int fd) {
  const char bytes[kSenders] = {};
  [[maybe_unused]] auto n = ::write(fd, bytes, kSenders);
}

void Reap(std::vector<pid_t>& children) {
  for (pid_t c : children) ::waitpid(c, nullptr, 0);
}

using drvx::bench::SlotFile;

// Receives everything with a plain socket bound where the senders send;
// returns the seconds it took.
double BareReceiver(const std::string& name, Tally& tally) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  int s = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  const std::string file = SlotFile(name);
  if (file.size() >= sizeof a.sun_path) return -1;
  std::memcpy(a.sun_path, file.c_str(), file.size() + 1);
  ::unlink(file.c_str());
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) return -1;
  auto children = StartSenders(platform::SlotPath(name), pipeFds[0]);
  std::vector<std::uint8_t> buffer(65536);
  const auto start = Clock::now();
  Go(pipeFds[1]);
  while (tally.total < kSenders * kPerSender) {
    const ssize_t n = ::recv(s, buffer.data(), buffer.size(), 0);
    if (n > 0) tally.Take(buffer.data(), std::size_t(n));
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  Reap(children);
  ::close(s);
  ::unlink(file.c_str());
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  return seconds;
}

// Receives everything through the mailbox, counting on its reader thread.
double MailBoxReceiver(const std::string& name, Tally& tally) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) return -1;
  auto children = StartSenders(platform::SlotPath(name), pipeFds[0]);
  std::mutex mutex;
  std::atomic<int> received = 0;
  sequence::TZkMailBox box(false);
  box.SetBufferSize(65536);
  box.SetSlotName(name);
  box.SetOnMessage([&](sequence::TZkMailBox&, settings::TTypeMemoryStream& stream) {
    std::lock_guard lock(mutex);
    tally.Take(stream.Bytes().data(), std::size_t(stream.Size()));
    ++received;
  });
  box.SetActive(true);
  const auto start = Clock::now();
  Go(pipeFds[1]);
  while (received < kSenders * kPerSender) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  box.SetActive(false);
  Reap(children);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  return seconds;
}

void BM_SlotUnderLoad(benchmark::State& state) {
  const std::string name = "DrvxBench-" + std::to_string(::getpid());
  double bare = 0, mailbox = 0;
  Tally bareTally, boxTally;
  for (auto _ : state) {
    bareTally = {};
    boxTally = {};
    const double bareSeconds = BareReceiver(name + "-bare", bareTally);
    if (bareSeconds < 0) {
      state.SkipWithError("the bare receiver could not bind its socket");
      break;
    }
    bare += bareSeconds;
    mailbox += MailBoxReceiver(name, boxTally);
    if (!bareTally.sound || !boxTally.sound) state.SkipWithError("a message was lost or reordered");
  }
  const double n = double(state.iterations());
  const double messages = double(kSenders * kPerSender);
  const double megabytes = double(boxTally.bytes) / 1e6;
  state.counters["mailbox_msg_per_s"] = messages * n / mailbox;
  state.counters["mailbox_MB_per_s"] = megabytes * n / mailbox;
  state.counters["bare_msg_per_s"] = messages * n / bare;
  state.counters["bare_MB_per_s"] = megabytes * n / bare;
  state.counters["mailbox_to_bare"] = bare / mailbox;
  state.counters["in_order_and_intact"] = bareTally.sound && boxTally.sound ? 1 : 0;
}
BENCHMARK(BM_SlotUnderLoad)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// Call stacks of ten lines sent by another process, drawn as diagrams on the
// user-interface thread.
void BM_CallStacksToDiagrams(benchmark::State& state) {
  constexpr int kStacks = 500;
  platform::UiLoop::Instance().AttachToThisThread();
  platform::ScriptedDialogs dialogs;
  platform::SetDialogs(&dialogs);
  modelhost::HostSession session;
  host::HostBinding binding(session.Services());
  const std::string name = "DrvxBenchStacks-" + std::to_string(::getpid());
  std::string stack;
  for (int i = 9; i >= 0; --i) stack += "TRole" + std::to_string(i % 4) + ".Call" + std::to_string(i) + "\r\n";
  double seconds = 0;
  for (auto _ : state) {
    const std::size_t before = session.Project().diagrams.size();
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) break;
    const std::string path = platform::SlotPath(name);
    const pid_t child = ::fork();
    if (child == 0) {
      char byte = 0;
      if (::read(pipeFds[0], &byte, 1) != 1) ::_exit(2);
      for (int i = 0; i < kStacks; ++i) platform::SendToSlot(path, stack);
      ::_exit(0);
    }
    sequence::TZkMailBox box(true);
    box.SetBufferSize(65536);
    box.SetSlotName(name);
    box.SetOnMessage([&session](sequence::TZkMailBox&, settings::TTypeMemoryStream& stream) {
      sequence::DrawReceivedCallStack(host::Services::Of(session.Services()), stream, {}, nullptr);
    });
    box.SetActive(true);
    const auto start = Clock::now();
    Go(pipeFds[1]);
    platform::UiLoop::Instance().RunUntil(
        [&] { return session.Project().diagrams.size() >= before + kStacks; },
        std::chrono::milliseconds(60000));
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    box.SetActive(false);
    ::waitpid(child, nullptr, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
  }
  state.counters["diagrams_per_s"] = double(kStacks) * double(state.iterations()) / seconds;
  platform::SetDialogs(nullptr);
}
BENCHMARK(BM_CallStacksToDiagrams)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
