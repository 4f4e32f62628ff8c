// The message slot under hostile load: several senders send junk
// datagrams with valid call stacks among them.
#include <chrono>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/forms.h"
#include "drvx/platform/message_slot.h"
#include "drvx/platform/ui_loop.h"
#include "e2e/fresh_host.h"
#include "e2e/junk_senders.h"
#include "mmapi/cxx/utf.h"

namespace {

using namespace drvx;
using namespace std::chrono_literals;

constexpr int kSenders = 4;
constexpr int kPerSender = 2500;
constexpr int kValidEvery = 25;  // every 25th datagram is a valid call stack

// One sender's datagrams: random bytes, empty ones, invalid UTF-8,
// the largest size, over-size, and valid call stacks of roles named after
// the sender and the number.
// Sent raw: the platform's sender refuses what the receiver would drop.
void Flood(int sender) {
  std::mt19937 random(unsigned(sender) * 7919u);
  for (int i = 0; i < kPerSender; ++i) {
    std::string bytes;
    if (i % kValidEvery == 0) {
      bytes = "Valid" + std::to_string(sender) + "x" + std::to_string(i) + ".m\r\nCaller.c\r\n";
    } else {
      switch (i % 6) {
        case 0: break;  // empty
        case 1: bytes.assign(std::size_t(1 + random() % 300), '\xff'); break;
        case 2: bytes.resize(i % 600 == 2 ? platform::kMaxSlotMessage : 1 + random() % 2000); break;
        case 3: bytes.resize(platform::kMaxSlotMessage + 1 + random() % 1000); break;
        default: bytes.resize(1 + random() % 400); break;
      }
      for (std::size_t k = 0; i % 6 >= 2 && k < bytes.size(); ++k) bytes[k] = char(random());
    }
    // A valid call stack is sent again until the slot takes it, as a
    // careful sender does where a full queue refuses a write.
    while (!test::SendRawToSlot("MbDRVX", bytes) && i % kValidEvery == 0)
      std::this_thread::sleep_for(1ms);
  }
}

TEST(JunkFlood, EveryValidCallStackIsDrawnAndTheReportsStayFew) {
  platform::UiLoop::Instance().AttachToThisThread();
  std::vector<std::string> notes;
  platform::SetLogSink([&](const std::string& line) { notes.push_back(line); });
  {
    test::FreshHost host;
    const auto start = std::chrono::steady_clock::now();
    test::JunkSenders senders(kSenders, Flood);
    auto validDrawn = [&] {
      int n = 0;
      for (const auto& d : host.session.Project().diagrams)
        for (const auto* symbol : d->symbols)
          n += mmapi::cxx::ToUtf8(symbol->name).starts_with("Valid");
      return n;
    };
    const int valid = kSenders * ((kPerSender + kValidEvery - 1) / kValidEvery);
    // Runs the loop until every sender has ended (a sender waits while the
    // slot's queue is full, and the queue empties only while the loop runs)
    // and every valid call stack is drawn, or nothing has moved for a while.
    auto& loop = platform::UiLoop::Instance();
    std::size_t running = kSenders;
    auto lastMove = std::chrono::steady_clock::now();
    int lastDrawn = 0;
    while ((running > 0 || validDrawn() < valid) &&
           std::chrono::steady_clock::now() - lastMove < 30s) {
      loop.RunUntil([] { return false; }, 100ms);
      if (const std::size_t now = senders.Running(); now != running) {
        running = now;
        lastMove = std::chrono::steady_clock::now();
      }
      if (const int drawn = validDrawn(); drawn != lastDrawn) {
        lastDrawn = drawn;
        lastMove = std::chrono::steady_clock::now();
      }
    }
    EXPECT_EQ(running, 0u);
    EXPECT_EQ(senders.Failures(), 0u);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(validDrawn(), valid);
    // One report of each kind at once, then one summary per kind and ten
    // seconds; never one per datagram.
    const std::size_t bound = 4 * (2 + std::size_t(seconds.count()) / 10);
    EXPECT_LE(host.dialogs.Shown().size(), bound) << seconds.count() << " s";
    EXPECT_LE(notes.size(), bound) << seconds.count() << " s";

    std::cout << kSenders * kPerSender << " datagrams, " << valid << " valid call stacks drawn in "
              << seconds.count() << " s; " << host.dialogs.Shown().size() << " message boxes, "
              << notes.size() << " log lines\n";
  }
  platform::SetLogSink(nullptr);
}

}  // namespace
