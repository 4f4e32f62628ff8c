// drvx_trace's costs against their floors, measured in the same run: a
// traced call (push and pop) against a plain call of a function that does
// nothing, and sending a stack of 12 calls to the slot against a bare
// datagram send of the same bytes on a connected socket. Both receivers are
// plain sockets that a thread drains, so that only the senders differ.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "drvx/platform/message_slot.h"
#include "slot_file.h"
#include "drvx_trace.h"

namespace {

using Clock = std::chrono::steady_clock;

__attribute__((noinline)) void PlainCall(int& sink) { benchmark::DoNotOptimize(++sink); }

__attribute__((noinline)) void TracedCall(int& sink) {
  DRVX_TRACE_SCOPE("TOrderProcessor.CheckStock(aOrder)");
  benchmark::DoNotOptimize(++sink);
}

double NanosecondsEach(Clock::duration d, std::size_t n) {
  return std::chrono::duration<double, std::nano>(d).count() / double(n);
}

// Both loops in each iteration, alternating, so that both see the same machine.
void BM_TracedCallToPlainCall(benchmark::State& state) {
  constexpr std::size_t kCalls = 1'000'000;
  DRVX_TRACE_SCOPE("TShopApp.Run");  // a stack to push onto, as in a program
  int sink = 0;
  Clock::duration plain{}, traced{};
  for (auto _ : state) {
    auto start = Clock::now();
    for (std::size_t i = 0; i < kCalls; ++i) PlainCall(sink);
    plain += Clock::now() - start;
    start = Clock::now();
    for (std::size_t i = 0; i < kCalls; ++i) TracedCall(sink);
    traced += Clock::now() - start;
  }
  const std::size_t n = kCalls * state.iterations();
  state.counters["plain_ns"] = NanosecondsEach(plain, n);
  state.counters["traced_ns"] = NanosecondsEach(traced, n);
  state.counters["push_pop_ns"] = NanosecondsEach(traced - plain, n);
  state.counters["ratio"] = double(traced.count()) / double(plain.count());
}
BENCHMARK(BM_TracedCallToPlainCall)->Unit(benchmark::kMillisecond)->Iterations(10);

// Reads and discards messages until stopped, so that no queue fills.
class Drain {
 public:
  explicit Drain(std::function<void()> readOne)
      : read_(std::move(readOne)), thread_([this] {
          while (!stop_) read_();
        }) {}
  ~Drain() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_ = false;
  std::function<void()> read_;
  std::thread thread_;
};

// A socket closed when it goes (after the threads that read it).
struct Socket {
  int fd;
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
};

void BM_TraceSendToBareDatagram(benchmark::State& state) {
  constexpr std::size_t kSends = 2000;
  const std::string slot = "DrvxTraceBench-" + std::to_string(::getpid());
  const std::string path = drvx::bench::SlotFile(slot);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    state.SkipWithError("the slot path is too long for a socket address");
    return;
  }
  path.copy(address.sun_path, path.size());
  const Socket slotSocket{::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  const int slotReceiver = slotSocket.fd;
  ::unlink(path.c_str());
  if (::bind(slotReceiver, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    state.SkipWithError("cannot bind the slot");
    return;
  }
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, pair) != 0) {
    state.SkipWithError("no socket pair");
    return;
  }
  const Socket sender{pair[0]}, pairReceiver{pair[1]};
  timeval timeout{0, 20000};
  ::setsockopt(pair[1], SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  ::setsockopt(slotReceiver, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::vector<char> bare(drvx::platform::kMaxSlotMessage), received(bare.size());
  Drain pairDrain([&] { [[maybe_unused]] auto n = ::recv(pair[1], bare.data(), bare.size(), 0); });
  Drain slotDrain(
      [&] { [[maybe_unused]] auto n = ::recv(slotReceiver, received.data(), received.size(), 0); });

  for (int i = 0; i < 12; ++i)
    drvx_trace_push(("TLayer" + std::to_string(i) + ".Call(aArgument)").c_str());
  std::string message(drvx_trace_format(nullptr, 0), '\0');
  drvx_trace_format(message.data(), message.size());

  drvx_trace_counts before{};
  drvx_trace_get_counts(&before);
  Clock::duration traced{}, plain{};
  std::size_t bareDropped = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    for (std::size_t i = 0; i < kSends; ++i)
      bareDropped += ::send(pair[0], message.data(), message.size(), MSG_DONTWAIT) < 0;
    plain += Clock::now() - start;
    start = Clock::now();
    for (std::size_t i = 0; i < kSends; ++i)
      benchmark::DoNotOptimize(drvx_trace_send_to(slot.c_str()));
    traced += Clock::now() - start;
  }
  for (int i = 0; i < 12; ++i) drvx_trace_pop();
  drvx_trace_counts after{};
  drvx_trace_get_counts(&after);
  ::unlink(path.c_str());
  const std::size_t n = kSends * state.iterations();
  state.counters["bare_us"] = NanosecondsEach(plain, n) / 1000;
  state.counters["send_us"] = NanosecondsEach(traced, n) / 1000;
  state.counters["ratio"] = double(traced.count()) / double(plain.count());
  state.counters["bytes"] = double(message.size());
  state.counters["dropped"] = double(after.queue_full - before.queue_full);
  if (after.sent + after.queue_full == before.sent + before.queue_full)
    state.SkipWithError("no stack reached the slot's receiver");
  state.counters["not_delivered"] =
      double((after.no_receiver - before.no_receiver) + (after.failed - before.failed));
  state.counters["bare_dropped"] = double(bareDropped);
}
BENCHMARK(BM_TraceSendToBareDatagram)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
