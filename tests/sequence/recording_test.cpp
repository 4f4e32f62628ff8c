// Recordings, from the traced program's calls to the diagrams in the host:
// the tracer's batches read back through the slot, folded and drawn.
#include <stdexcept>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/message_slot.h"
#include "drvx_trace.h"
#include "mmapi/cxx/utf.h"
#include "modelhost/bound_session.h"
#include "recording_receiver.h"
#include "recording_script.h"
#include "support/test_support.h"

namespace {

using namespace drvx;
using drvx::platform::MessageSlot;
using mmapi::cxx::ToUtf8;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

class Recording : public test::BoundSession {
 protected:
  void Receive(const std::string& batch, std::size_t pageMessages = 400) {
    receiver.Receive(batch, filter, pageMessages, [this](const std::string& text) { failures.push_back(text); });
  }
  void Receive(const sequence::RecordingBatch& batch, std::size_t pageMessages = 400) {
    Receive(sequence::RecordingBatchText(batch), pageMessages);
  }
  // Every batch that reached the slot until it stays quiet.
  std::vector<std::string> Batches(MessageSlot& slot) {
    std::vector<std::string> batches;
    std::vector<std::uint8_t> buffer;
    std::string note;
    while (slot.Read(buffer, platform::kMaxSlotMessage, note) == MessageSlot::Result::Message)
      batches.emplace_back(buffer.begin(), buffer.end());
    return batches;
  }
  const modelhost::ModelDiagram* Diagram(const std::string& name) {
    for (const auto& d : session.Project().diagrams)
      if (ToUtf8(d->name) == name) return d.Get();
    return nullptr;
  }
  std::vector<std::string> DiagramNames() {
    std::vector<std::string> names;
    for (const auto& d : session.Project().diagrams) names.push_back(ToUtf8(d->name));
    return names;
  }
  static std::string Note(const modelhost::ModelDiagram& d) {
    for (const auto* s : d.symbols)
      if (s->ClassName() == u"NoteSymbol") return ToUtf8(s->name);
    return "(no note)";
  }
  static std::string Slot() {
    static int count = 0;
    return "DrvxRecordingTest-" + std::to_string(test::ProcessId()) + "-" + std::to_string(++count);
  }
  static sequence::RecordingBatch Batch(std::uint64_t number) {
    sequence::RecordingBatch batch;
    batch.process = 10, batch.thread = 11, batch.recording = 1, batch.batch = number;
    batch.program = "shop";
    return batch;
  }
  static void Call(sequence::RecordingBatch& batch, std::uint32_t id) {
    batch.events.push_back({sequence::RecordingEvent::Call, id});
  }
  static void Return(sequence::RecordingBatch& batch) {
    batch.events.push_back({sequence::RecordingEvent::Return, 0});
  }

  sequence::RecordingReceiver receiver{host::Services::Of(session.Services())};
  sequence::CallStackFilter filter;
  std::vector<std::string> failures;
};

// ---- a known program, traced with the manual scopes

void Fail() {
  DRVX_TRACE_SCOPE("TOrder.Fail");
  throw std::runtime_error("no stock");
}
void Check() {
  DRVX_TRACE_SCOPE("TOrder.Check");
  Fail();
}
void Submit() {
  DRVX_TRACE_SCOPE("TOrder.Submit(aOrder)");
  Check();
}
void Walk(int depth) {
  DRVX_TRACE_SCOPE("TTree.Walk");
  if (depth > 1) Walk(depth - 1);
}
void RunTheShop() {
  DRVX_TRACE_SCOPE("TShop.Run");
  for (int i = 0; i < 1000; ++i) DRVX_TRACE_SCOPE("TStock.Check");
  for (int i = 0; i < 50; ++i) {
    { DRVX_TRACE_SCOPE("TOrder.Add"); }
    { DRVX_TRACE_SCOPE("TOrder.Price"); }
    { DRVX_TRACE_SCOPE("TOrder.Tax"); }
  }
  for (int page = 0; page < 3; ++page) {
    DRVX_TRACE_SCOPE("TReport.Page");
    for (int line = 0; line < 4; ++line) DRVX_TRACE_SCOPE("TReport.Line");
  }
  Walk(3);
  try {
    Submit();
  } catch (const std::runtime_error&) {
  }
}

TEST_F(Recording, AKnownProgramGivesExactlyItsMessagesLoopsAndCounts) {
  const std::string slot = Slot();
  auto receiving = MessageSlot::Create(platform::SlotPath(slot), 500);
  drvx_trace_record_counts before{};
  drvx_trace_get_record_counts(&before);
  ASSERT_TRUE(drvx_trace_record_begin_to(slot.c_str()));
  EXPECT_FALSE(drvx_trace_record_begin_to(slot.c_str())) << "a thread records once at a time";
  RunTheShop();
  drvx_trace_record_end();
  {
    drvx_trace_record_counts after{};
    drvx_trace_get_record_counts(&after);
    EXPECT_EQ(after.events - before.events, 2u * (1 + 1000 + 150 + 3 + 12 + 3 + 3));
    EXPECT_EQ(after.batches_lost, before.batches_lost);
  }
  const std::vector<std::string> batches = Batches(*receiving);
  ASSERT_FALSE(batches.empty());
  for (const std::string& batch : batches) Receive(batch);
  EXPECT_THAT(failures, ElementsAre());
  EXPECT_EQ(receiver.Following(), 0u) << "the end mark ends the recording";
  const std::string name = "sqRecording " + sequence::ParseRecordingBatch(batches[0]).program + " " +
                           std::to_string(sequence::ParseRecordingBatch(batches[0]).thread);
  const modelhost::ModelDiagram* d = Diagram(name);
  ASSERT_NE(d, nullptr) << name;
  EXPECT_THAT(test::RecordingScript(*d),
              ElementsAreArray({"System->TShop Run",
                                "[loop \xC3\x97" "1000", "TShop->TStock Check", "TStock-->TShop", "]",
                                "[loop \xC3\x97" "50", "TShop->TOrder Add", "TOrder-->TShop",
                                "TShop->TOrder Price", "TOrder-->TShop", "TShop->TOrder Tax",
                                "TOrder-->TShop", "]",
                                "[loop \xC3\x97" "3", "TShop->TReport Page",
                                "[loop \xC3\x97" "4", "TReport->TReport Line", "]", "TReport-->TShop", "]",
                                "TShop->TTree Walk", "TTree->TTree Walk", "TTree->TTree Walk",
                                "TTree-->TShop",
                                "TShop->TOrder Submit(aOrder)", "TOrder->TOrder Check",
                                "TOrder->TOrder Fail", "TOrder-->TShop",
                                "TShop-->System"}));
  EXPECT_THAT(Note(*d), HasSubstr("ended: 2344 events, no batch lost"));
}

// A recording longer than a batch goes out in full batches, numbered, its
// names only in the first; drawn whole.
TEST_F(Recording, ALongRecordingGoesOutInFullBatchesWithItsNamesOnce) {
  const std::string slot = Slot();
  auto receiving = MessageSlot::Create(platform::SlotPath(slot), 500);
  drvx_trace_record_counts before{};
  drvx_trace_get_record_counts(&before);
  ASSERT_TRUE(drvx_trace_record_begin_to(slot.c_str()));
  {
    DRVX_TRACE_SCOPE("TServer.Serve");
    for (int i = 0; i < 12000; ++i) DRVX_TRACE_SCOPE("TRequest.Handle(aRequest)");
  }
  drvx_trace_record_end();
  drvx_trace_record_counts after{};
  drvx_trace_get_record_counts(&after);
  EXPECT_EQ(after.batches_lost, before.batches_lost);
  const std::vector<std::string> batches = Batches(*receiving);
  ASSERT_EQ(batches.size(), after.batches_sent - before.batches_sent);
  ASSERT_GE(batches.size(), 2u);
  for (std::size_t i = 0; i < batches.size(); ++i) {
    const auto batch = sequence::ParseRecordingBatch(batches[i]);
    EXPECT_EQ(batch.batch, i + 1);
    EXPECT_EQ(batch.names.size(), i == 0 ? 2u : 0u) << "batch " << i + 1;
    EXPECT_LE(batches[i].size(), std::size_t(DRVX_TRACE_BATCH_SIZE));
    Receive(batches[i]);
  }
  EXPECT_GT(batches[0].size(), std::size_t(DRVX_TRACE_BATCH_SIZE) / 2);
  const auto& d = *session.Project().diagrams.back();
  EXPECT_THAT(test::RecordingScript(d),
              ElementsAre("System->TServer Serve", "[loop \xC3\x97" "12000", "TServer->TRequest Handle(aRequest)",
                          "TRequest-->TServer", "]", "TServer-->System"));
}

TEST_F(Recording, TwoThreadsGiveTwoDiagrams) {
  const std::string slot = Slot();
  auto receiving = MessageSlot::Create(platform::SlotPath(slot), 500);
  auto record = [&slot](const char* name, int calls) {
    drvx_trace_record_begin_to(slot.c_str());
    for (int i = 0; i < calls; ++i) {
      DRVX_TRACE_SCOPE(name);
      DRVX_TRACE_SCOPE("TLog.Write");
    }
  };  // the thread's end ends its recording
  std::thread first(record, "TPicker.Pick", 2), second(record, "TPacker.Pack", 1);
  first.join();
  second.join();
  for (const std::string& batch : Batches(*receiving)) Receive(batch);
  std::vector<std::vector<std::string>> scripts;
  for (const auto& d : session.Project().diagrams) scripts.push_back(test::RecordingScript(*d));
  EXPECT_THAT(scripts, ::testing::UnorderedElementsAre(
                           ElementsAre("[loop \xC3\x97" "2", "System->TPicker Pick", "TPicker->TLog Write",
                                       "TLog-->TPicker", "TPicker-->System", "]"),
                           ElementsAre("System->TPacker Pack", "TPacker->TLog Write", "TLog-->TPacker",
                                       "TPacker-->System")));
  EXPECT_EQ(receiver.Following(), 0u);
}

// Batches 2 and 3 did not come: the gap is drawn where the run stood, and
// batch 4's open calls put it back (TStock.Reserve was entered meanwhile).
TEST_F(Recording, LostBatchesAreDrawnAndCounted) {
  auto first = Batch(1);
  first.names = {{1, "TShop.Run"}, {2, "TOrder.Add"}, {3, "TStock.Reserve"}, {4, "TLog.Write"}};
  Call(first, 1), Call(first, 2);
  Receive(first);
  auto fourth = Batch(4);
  fourth.open = sequence::OpenCalls{2, {1, 3}};
  Call(fourth, 4), Return(fourth), Return(fourth), Return(fourth);
  fourth.end = true;
  Receive(fourth);
  const auto* d = Diagram("sqRecording shop 11");
  ASSERT_NE(d, nullptr);
  EXPECT_THAT(test::RecordingScript(*d),
              ElementsAre("System->TShop Run", "TShop->TOrder Add",
                          "! lost: batches 2\xE2\x80\x93" "3", "TShop->TStock Reserve",
                          "TStock->TLog Write", "TLog-->TStock", "TStock-->TShop", "TShop-->System"));
  EXPECT_THAT(Note(*d), HasSubstr("ended: 6 events, 2 batches lost"));
}

TEST_F(Recording, BadAndRepeatedBatchesAreLeftOut) {
  auto first = Batch(1);
  first.names = {{1, "TShop.Run"}};
  Call(first, 1);
  Receive(first);
  Receive(first);  // again: left out
  Receive(".drvx-recording 1\r\nB 10 11 1 2 shop\r\nC x\r\n");  // not read: a gap
  auto third = Batch(3);
  Return(third);
  third.end = true;
  Receive(third);
  Receive(".drvx-recording 2\r\nB 10 11 1 1 shop\r\n");  // a later version
  auto late = Batch(4);
  Call(late, 1);
  Receive(late);  // after the end: not begun again
  EXPECT_THAT(test::RecordingScript(*Diagram("sqRecording shop 11")),
              ElementsAre("System->TShop Run", "! lost: batch 2", "TShop-->System"));
  EXPECT_EQ(session.Project().diagrams.size(), 1u);
  EXPECT_THAT(failures, ElementsAre());
}

// Past the page's messages the run goes on in "... (2)", whose heads repeat
// every role so far; a loop across the cut is framed on both pages.
TEST_F(Recording, ALongRecordingGoesOnInPagesWithTheRolesRepeated) {
  auto batch = Batch(1);
  batch.names = {{1, "TShop.Run"}, {2, "TStock.Check"}, {3, "TOrder.Add"}, {4, "TLog.Write"}};
  Call(batch, 1);
  for (std::uint32_t id : {2u, 3u}) Call(batch, id), Return(batch);
  Call(batch, 4);
  for (int i = 0; i < 2; ++i) Call(batch, 2), Call(batch, 3), Return(batch), Return(batch);
  Return(batch), Return(batch);
  batch.end = true;
  Receive(batch, 4);
  EXPECT_THAT(DiagramNames(), ElementsAre("sqRecording shop 11", "sqRecording shop 11 (2)",
                                          "sqRecording shop 11 (3)"));
  auto heads = [](const modelhost::ModelDiagram& d) {
    std::vector<std::string> names;
    for (const auto* s : d.symbols)
      if (s->IsRole()) names.push_back(ToUtf8(s->name));
    return names;
  };
  EXPECT_THAT(test::RecordingScript(*Diagram("sqRecording shop 11")),
              ElementsAre("System->TShop Run", "TShop->TStock Check", "TStock-->TShop", "TShop->TOrder Add"));
  EXPECT_THAT(test::RecordingScript(*Diagram("sqRecording shop 11 (2)")),
              ElementsAre("TOrder-->TShop", "TShop->TLog Write", "[loop \xC3\x97" "2", "TLog->TStock Check",
                          "TStock->TOrder Add", "]"));
  EXPECT_THAT(test::RecordingScript(*Diagram("sqRecording shop 11 (3)")),
              ElementsAre("[loop \xC3\x97" "2", "TOrder-->TStock", "TStock-->TLog", "]", "TLog-->TShop",
                          "TShop-->System"));
  EXPECT_THAT(heads(*Diagram("sqRecording shop 11 (2)")),
              ElementsAre("System", "TShop", "TStock", "TOrder", "TLog"));
  EXPECT_THAT(heads(*Diagram("sqRecording shop 11 (3)")),
              ElementsAre("System", "TShop", "TStock", "TOrder", "TLog"));
  EXPECT_THAT(Note(*Diagram("sqRecording shop 11 (2)")), HasSubstr("page 2 of 3"));
}

// The host's call-stack filter: a class left out is not drawn (what it
// calls is drawn as called by its caller), nor a call deeper than the limit.
TEST_F(Recording, TheCallStackFilterAppliesToRecordings) {
  filter.exclude = {"TLog"};
  filter.depthLimit = 2;
  auto batch = Batch(1);
  batch.names = {{1, "TShop.Run"}, {2, "TLog.Write"}, {3, "TFile.Flush"}, {4, "TDisk.Sync"}};
  Call(batch, 1), Call(batch, 2), Call(batch, 3), Call(batch, 4);
  for (int i = 0; i < 4; ++i) Return(batch);
  batch.end = true;
  Receive(batch);
  EXPECT_THAT(test::RecordingScript(*Diagram("sqRecording shop 11")),
              ElementsAre("System->TShop Run", "TShop->TFile Flush", "TFile-->TShop", "TShop-->System"));
}
}  // namespace
