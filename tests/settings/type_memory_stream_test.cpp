#include <gtest/gtest.h>

#include "drvx/platform/files.h"
#include "support/test_support.h"
#include "type_memory_stream.h"

namespace {

using drvx::settings::TTypeMemoryStream;

TEST(TypedStream, ValuesComeBackInTheirOrderAndTakeTheirBytes) {
  TTypeMemoryStream s;
  s.WriteBoolean(true);
  s.WriteInteger(7);
  s.WriteString("ab");
  s.WriteString("");
  s.WriteBoolean(false);
  EXPECT_EQ(s.Size(), 16);
  s.SetPosition(0);
  EXPECT_TRUE(s.ReadBoolean());
  EXPECT_EQ(s.ReadInteger(), 7);
  EXPECT_EQ(s.ReadString(), "ab");
  EXPECT_EQ(s.ReadString(), "");
  EXPECT_FALSE(s.ReadBoolean());
  EXPECT_EQ(s.Position(), 16);
}

TEST(TypedStream, WritesLittleEndianWithoutPadding) {
  TTypeMemoryStream s;
  s.WriteString("cs");
  s.WriteBoolean(true);
  s.WriteInteger(-2);
  EXPECT_EQ(s.Bytes(), (std::vector<std::uint8_t>{2, 0, 0, 0, 'c', 's', 1, 0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST(TypedStream, AnyNonZeroByteIsTrueAndLineBreaksSurvive) {
  TTypeMemoryStream s;
  const std::uint8_t two = 2;
  s.Write(&two, 1);
  s.WriteString("line 1\r\nline 2\r\n");
  s.SetPosition(0);
  EXPECT_TRUE(s.ReadBoolean());
  EXPECT_EQ(s.ReadString(), "line 1\r\nline 2\r\n");
}

TEST(TypedStream, ReadingPastTheEndGivesZerosAndEmptyStrings) {
  TTypeMemoryStream s;
  EXPECT_EQ(s.ReadInteger(), 0);
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.ReadString(), "");
  EXPECT_FALSE(s.ReadBoolean());
  const std::uint8_t partial[2] = {0x34, 0x12};
  s.Write(partial, 2);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadInteger(), 0x1234);
}

TEST(TypedStream, ANegativeLengthReadsAsEmptyAndTakesOnlyItsFourBytes) {
  TTypeMemoryStream s;
  s.WriteInteger(-1);
  s.WriteInteger(42);
  s.SetPosition(0);
  EXPECT_EQ(s.ReadString(), "");
  EXPECT_EQ(s.Position(), 4);
  EXPECT_EQ(s.ReadInteger(), 42);
}

TEST(TypedStream, ALengthBeyondTheDataAllocatesOnlyWhatIsThere) {
  TTypeMemoryStream s;
  s.WriteInteger(0x7FFFFFFF);
  s.Write("abc", 3);
  s.SetPosition(0);
  std::string value;
  EXPECT_FALSE(s.ReadStringChecked(value));
  EXPECT_EQ(value, "abc");
  EXPECT_EQ(s.Position(), 7);
}

TEST(TypedStream, SavesItsWholeContentAndLoadsItBack) {
  drvx::test::TempDir dir;
  TTypeMemoryStream s;
  s.WriteString("hello");
  s.SetPosition(2);
  s.SaveToFile(dir / "a.bin");
  TTypeMemoryStream t;
  t.LoadFromFile(dir / "a.bin", 1024);
  EXPECT_EQ(t.Position(), 0);
  EXPECT_EQ(t.ReadString(), "hello");
  s.SetSize(0);
  s.SaveToFile(dir / "a.bin");
  EXPECT_EQ(drvx::test::ReadText(dir / "a.bin"), "");
  EXPECT_THROW(t.LoadFromFile(dir / "missing.bin", 1024), std::runtime_error);
}

}  // namespace
