// drvx_trace_auto in a program built with the compiler's function hooks (this
// file is): the line form of real names, the stacks the hooks keep, their
// repair after exceptions and longjmp, threads, the unwound stack, and the
// triggers the environment sets (run as a test of its own with it set), and
// recordings: between two marks, or below a function the environment names.
#include <unistd.h>

#include <chrono>
#include <csetjmp>
#include <map>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/message_slot.h"
#include "drvx/platform/text.h"
#include "drvx_trace_auto.h"
#include "recording_batch.h"

std::vector<std::string> CatalogLookUp(std::vector<std::string> (*look)());

namespace {

using ::testing::ElementsAre;

std::string LineForm(const char* name, const char* module = "/usr/bin/shop") {
  char out[DRVX_TRACE_MAX_NAME];
  const std::size_t n = drvx_trace_line_form(name, module, out, sizeof out);
  return std::string(out, std::min(n, sizeof out));
}

TEST(LineForm, DemangledNamesBecomeRoleAndMessage) {
  const std::pair<const char*, const char*> table[] = {
      {"TOrder::Submit()", "TOrder.Submit"},
      {"shop::TOrder::Submit(int, std::__cxx11::basic_string<char, std::char_traits<char>, "
       "std::allocator<char> > const&) const",
       "shop::TOrder.Submit"},
      {"shop::TOrder::Line::price() const &", "shop::TOrder::Line.price"},
      {"std::vector<shop::Item, std::allocator<shop::Item> >::push_back(shop::Item const&)",
       "std::vector<shop::Item, std::allocator<shop::Item> >.push_back"},
      {"void shop::Store<int>::put<long>(long)", "shop::Store<int>.put<long>"},
      {"shop::Money::operator<(shop::Money const&) const", "shop::Money.operator<"},
      {"shop::Money::operator<<=(int)", "shop::Money.operator<<="},
      {"shop::Money::operator()(int)", "shop::Money.operator()"},
      {"shop::Pool::operator new(unsigned long)", "shop::Pool.operator new"},
      {"shop::Money::operator double() const", "shop::Money.operator double"},
      {"shop::TOrder::Submit()::{lambda(int)#2}::operator()(int) const",
       "shop::TOrder.Submit::lambda#2"},
      {"(anonymous namespace)::Hidden::run()", "(anonymous namespace)::Hidden.run"},
      {"shop::TOrder::~TOrder()", "shop::TOrder.~TOrder"},
      {"shop::parse(char const*)", "shop.parse"},
      {"shop::TOrder::Submit() [clone .cold]", "shop::TOrder.Submit"},
      {"main", "shop.main"},
      {"helper.part.0", "shop.helper"},
      {"compute(int) [clone .isra.0]", "shop.compute"},
  };
  for (const auto& [name, form] : table) EXPECT_EQ(LineForm(name), form) << name;
  EXPECT_EQ(LineForm("main", "/usr/lib/libshop.so.2"), "libshop_so_2.main");
  EXPECT_EQ(LineForm("main", nullptr), "(global).main");
  EXPECT_EQ(LineForm(""), "shop.(unnamed)");
}

TEST(LineForm, ALongNameIsCutAndTheLengthSaysHowLongItWas) {
  const std::string name = "shop::" + std::string(300, 'A') + "::run()";
  char out[40];
  EXPECT_EQ(drvx_trace_line_form(name.c_str(), nullptr, out, sizeof out), 6u + 300 + 4);
  EXPECT_EQ(std::string(out, sizeof out), "shop::" + std::string(34, 'A'));
}

// The innermost `n` lines of the hook mode's message for the caller (the
// line of this function itself, innermost, is left out).
__attribute__((noinline)) std::vector<std::string> Innermost(std::size_t n) {
  std::string text(drvx_trace_auto_format(nullptr, 0), '\0');
  drvx_trace_auto_format(text.data(), text.size());
  std::vector<std::string> lines = drvx::platform::SplitLines(text);
  EXPECT_FALSE(lines.empty());
  if (lines.empty()) return lines;
  EXPECT_EQ(lines.front(), "(anonymous namespace).Innermost");
  lines.erase(lines.begin());
  if (lines.size() > n) lines.resize(n);
  return lines;
}

struct Shop {
  __attribute__((noinline)) static std::vector<std::string> Checkout() { return Pay(); }
  __attribute__((noinline)) static std::vector<std::string> Pay() { return Innermost(2); }
};

__attribute__((noinline)) static std::vector<std::string> StaticHelper() { return Innermost(1); }

}  // namespace

namespace hidden {
namespace {
struct Vault {
  __attribute__((noinline)) std::vector<std::string> Open() { return Innermost(1); }
};
}  // namespace
}  // namespace hidden

namespace {

const char kAnon[] = "(anonymous namespace)";

std::string Free(const char* name) { return std::string(kAnon) + "." + name; }

TEST(Hooks, EveryInstrumentedCallIsKeptAndNamedWhenSent) {
  EXPECT_THAT(Shop::Checkout(), ElementsAre(std::string(kAnon) + "::Shop.Pay",
                                            std::string(kAnon) + "::Shop.Checkout"));
  EXPECT_THAT(StaticHelper(), ElementsAre(Free("StaticHelper")));
  EXPECT_THAT(hidden::Vault().Open(),
              ElementsAre("hidden::(anonymous namespace)::Vault.Open"));
}

__attribute__((noinline)) std::vector<std::string> LookFromTheLibrary() { return Innermost(3); }

TEST(Hooks, CallsInASharedLibraryAreKeptAndNamedFromItsSymbols) {
  EXPECT_THAT(CatalogLookUp(LookFromTheLibrary),
              ElementsAre(Free("LookFromTheLibrary"), "catalog::Shelf.Find",
                          "libdrvx_trace_auto_test_library_so.CatalogLookUp"));
}

[[noreturn]] __attribute__((noinline)) void Fail() { throw std::runtime_error("out of stock"); }
__attribute__((noinline)) void Reserve() { Fail(); }
__attribute__((noinline)) void Check() { Reserve(); }
__attribute__((noinline)) std::vector<std::string> AfterTheCatch() { return Innermost(2); }

__attribute__((noinline)) std::vector<std::string> CatchThreeUp() {
  try {
    Check();
  } catch (const std::runtime_error&) {
  }
  return AfterTheCatch();
}

TEST(Hooks, AfterAnExceptionCaughtThreeLevelsUpTheStackIsTheTrueOne) {
  const std::size_t depth = drvx_trace_auto_depth();
  EXPECT_THAT(CatchThreeUp(), ElementsAre(Free("AfterTheCatch"), Free("CatchThreeUp")));
  EXPECT_EQ(drvx_trace_auto_depth(), depth);
}

std::jmp_buf jump;
[[noreturn]] __attribute__((noinline)) void JumpBack() { std::longjmp(jump, 1); }
__attribute__((noinline)) void Deeper() { JumpBack(); }
__attribute__((noinline)) std::vector<std::string> AfterTheJump() { return Innermost(2); }

__attribute__((noinline)) std::vector<std::string> JumpFromTwoDown() {
  if (setjmp(jump) == 0) Deeper();
  return AfterTheJump();
}

TEST(Hooks, AfterALongjmpTheStackIsTheTrueOne) {
  const std::size_t depth = drvx_trace_auto_depth();
  EXPECT_THAT(JumpFromTwoDown(), ElementsAre(Free("AfterTheJump"), Free("JumpFromTwoDown")));
  EXPECT_EQ(drvx_trace_auto_depth(), depth);
}

__attribute__((noinline)) std::vector<std::string> OnAThread(int n, std::size_t lines) {
  return n == 0 ? Innermost(lines) : OnAThread(n - 1, lines);
}

TEST(Hooks, EachThreadKeepsItsOwnCalls) {
  std::vector<std::string> seen[2];
  std::thread a([&] { seen[0] = OnAThread(1, 3); });
  std::thread b([&] { seen[1] = OnAThread(2, 4); });
  a.join();
  b.join();
  const std::string call = Free("OnAThread");
  const std::string body = std::string(kAnon) + "::Hooks_EachThreadKeepsItsOwnCalls_Test.TestBody";
  EXPECT_THAT(seen[0], ElementsAre(call, call, body + "::lambda#1"));
  EXPECT_THAT(seen[1], ElementsAre(call, call, call, body + "::lambda#2"));
}

std::string Receive(drvx::platform::MessageSlot& receiver) {
  std::vector<std::uint8_t> buffer;
  std::string note;
  EXPECT_EQ(receiver.Read(buffer, drvx::platform::kMaxSlotMessage, note),
            drvx::platform::MessageSlot::Result::Message)
      << note;
  return std::string(buffer.begin(), buffer.end());
}

__attribute__((noinline)) std::string Unwound(const std::string& slot) {
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  EXPECT_EQ(drvx_trace_send_backtrace_to(slot.c_str()), DRVX_TRACE_SENT);
  return Receive(*receiver);
}

TEST(Backtrace, TheRealStackIsSentFromAnyPoint) {
  const std::vector<std::string> lines =
      drvx::platform::SplitLines(Unwound("DrvxAutoBacktrace-" + std::to_string(::getpid())));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], Free("Unwound"));
  EXPECT_EQ(lines[1], std::string(kAnon) + "::Backtrace_TheRealStackIsSentFromAnyPoint_Test.TestBody");
  EXPECT_EQ(lines.back(), "drvx_trace_auto_tests.main");
}

// A recording's events as "+Name" for a call and "-" for a return, from
// the batches the slot got; "E" at the recording's end.
std::vector<std::string> Recorded(drvx::platform::MessageSlot& receiver) {
  std::vector<std::string> events;
  for (bool end = false; !end;) {
    const auto batch = drvx::sequence::ParseRecordingBatch(Receive(receiver));
    std::map<std::uint32_t, std::string> names(batch.names.begin(), batch.names.end());
    for (const auto& event : batch.events)
      events.push_back(event.kind == drvx::sequence::RecordingEvent::Return ? "-" : "+" + names[event.id]);
    if (batch.end) events.push_back("E");
    end = batch.end || batch.events.empty();
  }
  return events;
}

__attribute__((noinline)) void Tick() {}
__attribute__((noinline)) void Walk(int depth) {
  if (depth > 1) Walk(depth - 1);
}
[[noreturn]] __attribute__((noinline)) void Refuse() { throw 1; }
__attribute__((noinline)) void Book() { Refuse(); }
__attribute__((noinline)) void Order() { Book(); }
__attribute__((noinline)) void TryToOrder() {
  try {
    Order();
  } catch (int) {
  }
  Tick();
}

// Between the marks nothing but these functions runs instrumented (the
// test's own code would be recorded too).
__attribute__((noinline)) bool RecordTheScenario(const char* slot) {
  if (!drvx_trace_record_begin_to(slot)) return false;
  for (int i = 0; i < 1000; ++i) Tick();
  Walk(3);
  TryToOrder();
  drvx_trace_record_end();
  return true;
}

// Every instrumented call between the marks, with its return: also those
// an exception unwinds, three levels of them.
TEST(Recording, BetweenTheMarksEveryCallAndReturnIsRecorded) {
  const std::string slot = "DrvxAutoRecord-" + std::to_string(getpid());
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  ASSERT_TRUE(RecordTheScenario(slot.c_str()));
  std::vector<std::string> expected;
  for (int i = 0; i < 1000; ++i) expected.insert(expected.end(), {"+" + Free("Tick"), "-"});
  for (int i = 0; i < 3; ++i) expected.push_back("+" + Free("Walk"));
  expected.insert(expected.end(), {"-", "-", "-", "+" + Free("TryToOrder"), "+" + Free("Order"),
                                   "+" + Free("Book"), "+" + Free("Refuse"), "-", "-", "-",
                                   "+" + Free("Tick"), "-", "-", "E"});
  EXPECT_THAT(Recorded(*receiver), ::testing::ElementsAreArray(expected));
}

// Run with DRVX_TRACE_RECORD="*.Deliver" and DRVX_TRACE_SLOT naming the
// slot: entering Deliver begins a recording, leaving it ends it.
__attribute__((noinline)) void Load() {}
__attribute__((noinline)) void Deliver() {
  for (int i = 0; i < 3; ++i) Load();
}

TEST(RecordAt, EnteringAMatchingFunctionRecordsEverythingBelowItUntilItIsLeft) {
  const char* slot = std::getenv("DRVX_TRACE_SLOT");
  if (!slot || !std::getenv("DRVX_TRACE_RECORD")) GTEST_SKIP() << "run with DRVX_TRACE_RECORD and DRVX_TRACE_SLOT";
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  Tick();
  Deliver();
  Tick();
  EXPECT_THAT(Recorded(*receiver), ElementsAre("+" + Free("Deliver"), "+" + Free("Load"), "-",
                                               "+" + Free("Load"), "-", "+" + Free("Load"), "-", "-", "E"));
}

// Run with DRVX_TRACE_SEND_AT="*.Pack;*.Ship", DRVX_TRACE_EXCLUDE="*.Wrap" and
// DRVX_TRACE_SLOT naming the slot.
__attribute__((noinline)) void Ship() {}
__attribute__((noinline)) void Wrap() { Ship(); }
__attribute__((noinline)) void Pack() { Wrap(); }

TEST(Triggers, EnteringAMatchingFunctionSendsTheStackAndExcludedOnesAreLeftOut) {
  const char* slot = std::getenv("DRVX_TRACE_SLOT");
  if (!slot) GTEST_SKIP() << "run with DRVX_TRACE_SEND_AT, DRVX_TRACE_EXCLUDE and DRVX_TRACE_SLOT";
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  Pack();
  const auto first = drvx::platform::SplitLines(Receive(*receiver));
  const auto second = drvx::platform::SplitLines(Receive(*receiver));
  const std::string body = std::string(kAnon) +
                           "::Triggers_EnteringAMatchingFunctionSendsTheStackAndExcludedOnesAreLeft"
                           "Out_Test.TestBody";
  ASSERT_GE(first.size(), 2u);
  ASSERT_GE(second.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(first.begin(), first.begin() + 2),
              ElementsAre(Free("Pack"), body));
  // Wrap, between the two, is excluded.
  EXPECT_THAT(std::vector<std::string>(second.begin(), second.begin() + 3),
              ElementsAre(Free("Ship"), Free("Pack"), body));
}

// Run with DRVX_TRACE_ON_THROW=1 as well.
[[noreturn]] __attribute__((noinline)) void Raise() { throw std::logic_error("no stock"); }

TEST(Triggers, EveryThrowSendsTheStackOfTheFunctionThatThrows) {
  const char* slot = std::getenv("DRVX_TRACE_SLOT");
  if (!slot) GTEST_SKIP() << "run with DRVX_TRACE_ON_THROW=1 and DRVX_TRACE_SLOT";
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  EXPECT_THROW(Raise(), std::logic_error);
  const auto lines = drvx::platform::SplitLines(Receive(*receiver));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], Free("Raise"));
  EXPECT_EQ(lines[1], std::string(kAnon) +
                          "::Triggers_EveryThrowSendsTheStackOfTheFunctionThatThrows_Test.TestBody");
}

TEST(Triggers, AFloodOfTriggersIsThrottledAndCountedWithoutWaiting) {
  const char* slot = std::getenv("DRVX_TRACE_SLOT");
  if (!slot) GTEST_SKIP() << "run with DRVX_TRACE_SEND_AT and DRVX_TRACE_SLOT";
  auto receiver = drvx::platform::MessageSlot::Create(drvx::platform::SlotPath(slot), 5000);
  drvx_trace_counts before{};
  drvx_trace_get_counts(&before);
  const unsigned long long skippedBefore = drvx_trace_auto_skipped();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 500; ++i) Pack();  // two triggers each: Pack and Ship
  const auto elapsed = std::chrono::steady_clock::now() - start;
  drvx_trace_counts after{};
  drvx_trace_get_counts(&after);
  const unsigned long long sent = after.sent - before.sent;
  const unsigned long long skipped = drvx_trace_auto_skipped() - skippedBefore;
  EXPECT_EQ(sent + (after.queue_full - before.queue_full) + skipped, 1000u);
  EXPECT_GT(skipped, 0u);
  const auto windows = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() /
                           DRVX_TRACE_AUTO_PERIOD_MS + 2;
  EXPECT_LE(sent, std::uint64_t(DRVX_TRACE_AUTO_BURST * windows));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
