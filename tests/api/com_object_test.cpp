#include <gtest/gtest.h>

#include "mmapi/cxx/com_object.h"
#include "mmapi/cxx/status_error.h"
#include "mmapi/diagram.h"

namespace {

using namespace mmapi;
using mmapi::cxx::ComPtr;

// Counts destructions so the tests see when an object dies.
int destroyed = 0;

// A minimal diagram that only answers what these tests need.
class FakeDiagram final : public cxx::ComObject<IMMDiagram> {
 public:
  ~FakeDiagram() override { ++destroyed; }
  MMStatus MMCALL Name(MMStrView* out) override { return *out = {}, MM_OK; }
  MMStatus MMCALL Id(std::int32_t* out) override { return *out = 7, MM_OK; }
  MMStatus MMCALL Kind(std::int32_t* out) override { return *out = 6, MM_OK; }
  MMStatus MMCALL SetName(const char16_t*, std::uint32_t) override { return MM_OK; }
  MMStatus MMCALL Explorer(IMMShapeExplorer** out) override { return *out = nullptr, MM_OK; }
  MMStatus MMCALL Print() override { return MM_OK; }
};

TEST(ComObject, AnswersItsInterfaceAndEveryInterfaceItExtends) {
  auto diagram = cxx::MakeCom<FakeDiagram>();
  EXPECT_TRUE(diagram.Query<IMMDiagram>());
  EXPECT_TRUE(diagram.Query<IMMElement>());
  EXPECT_TRUE(diagram.Query<IMMUnknown>());
  std::int32_t id = 0;
  ASSERT_EQ(diagram.Query<IMMElement>()->Id(&id), MM_OK);
  EXPECT_EQ(id, 7);
}

TEST(ComObject, RefusesOtherInterfacesAndClearsTheOutPointer) {
  auto diagram = cxx::MakeCom<FakeDiagram>();
  void* out = reinterpret_cast<void*>(0x1234);
  EXPECT_EQ(diagram->QueryInterface(IMMShape::IID, &out), MM_E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(diagram->QueryInterface(IMMShape::IID, nullptr), MM_E_POINTER);
}

TEST(ComObject, LivesWhileCountedReferencesExist) {
  destroyed = 0;
  ComPtr<IMMElement> element;
  {
    auto diagram = cxx::MakeCom<FakeDiagram>();
    element = diagram.Query<IMMElement>();
  }
  EXPECT_EQ(destroyed, 0);
  element.Reset();
  EXPECT_EQ(destroyed, 1);
}

TEST(ComPtr, ShareCountsAndAdoptTakesOver) {
  destroyed = 0;
  auto* raw = new FakeDiagram;  // count 1, owned by `adopted`
  {
    auto adopted = ComPtr<FakeDiagram>::Adopt(raw);
    auto shared = ComPtr<FakeDiagram>::Share(raw);
    EXPECT_EQ(raw->AddRef(), 3u);
    raw->Release();
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(ComPtr, PutReleasesWhatItHeldFirst) {
  auto held = cxx::MakeCom<FakeDiagram>();
  destroyed = 0;
  FakeDiagram** slot = held.Put();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(*slot, nullptr);
}

TEST(Guard, TurnsEachKindOfFailureIntoAStatusAndAText) {
  std::string text;
  auto report = [&](const char* t) { text = t; };
  EXPECT_EQ(cxx::Guard([] {}, report), MM_OK);
  EXPECT_EQ(cxx::Guard([] { throw cxx::StatusError(MM_E_BOUNDS, "index 9"); }, report),
            MM_E_BOUNDS);
  EXPECT_EQ(text, "index 9");
  EXPECT_EQ(cxx::Guard([] { throw std::runtime_error("plain"); }, report), MM_E_UNEXPECTED);
  EXPECT_EQ(text, "plain");
  EXPECT_EQ(cxx::Guard([] { throw 42; }, report), MM_E_UNEXPECTED);
  EXPECT_EQ(text, "unknown error");
  EXPECT_EQ(cxx::Guard([] { throw std::bad_alloc(); }, report), MM_E_OUTOFMEMORY);
}

TEST(Guard, AFixedFailureStatusReplacesTheErrorsOwn) {
  auto status = cxx::Guard([] { throw cxx::StatusError(MM_E_BOUNDS, "x"); },
                           [](const char*) {}, MM_E_UNEXPECTED);
  EXPECT_EQ(status, MM_E_UNEXPECTED);
}

TEST(Guard, AReportThatThrowsStillGivesTheStatus) {
  auto status = cxx::Guard([] { throw std::runtime_error("x"); },
                           [](const char*) { throw std::runtime_error("report broke"); });
  EXPECT_EQ(status, MM_E_UNEXPECTED);
}

TEST(Guid, IsBuiltFromItsRegistryForm) {
  constexpr MMGuid g = MakeGuid("{4494D382-D2DF-11D2-AA22-204C4F4F5020}");
  EXPECT_EQ(g.data1, 0x4494D382u);
  EXPECT_EQ(g.data2, 0xD2DF);
  EXPECT_EQ(g.data3, 0x11D2);
  EXPECT_EQ(g.data4[0], 0xAA);
  EXPECT_EQ(g.data4[7], 0x20);
  EXPECT_FALSE(g == IMMUnknown::IID);
}

}  // namespace
