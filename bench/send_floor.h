// What a send to the slot is measured against: a plain socket bound where
// the tracer sends (so that only the sender differs), and a connected pair
// of sockets for the bare datagram send of the same bytes; each receiving
// end is drained by a thread of its own.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace drvx::bench {

class SendFloor {
 public:
  explicit SendFloor(const std::string& slot);
  ~SendFloor();
  SendFloor(const SendFloor&) = delete;
  SendFloor& operator=(const SendFloor&) = delete;

  // Whether both receivers run; if not, the benchmark is ended with what
  // failed.
  bool Ready(benchmark::State& state) const {
    if (failure_.empty()) return true;
    state.SkipWithError(failure_.c_str());
    return false;
  }
  // Sends the message once on the pair, without waiting; false when dropped.
  bool SendBare(const std::string& message) const;

 private:
  class Drain {
   public:
    explicit Drain(std::function<void()> readOne);
    ~Drain();

   private:
    std::atomic<bool> stop_ = false;
    std::function<void()> read_;
    std::thread thread_;
  };

  std::string path_;
  std::string failure_;
  int slotReceiver_ = -1;
  int pair_[2] = {-1, -1};
  std::vector<char> slotBuffer_, pairBuffer_;
  std::vector<std::unique_ptr<Drain>> drains_;
};

}  // namespace drvx::bench
