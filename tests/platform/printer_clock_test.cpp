#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "drvx/platform/clock.h"
#include "drvx/platform/file_version.h"
#include "drvx/platform/files.h"
#include "drvx/platform/paths.h"
#include "drvx/platform/printer.h"
#include "support/test_support.h"

DRVX_FILE_VERSION_NOTE(DRVX_FILE_VERSION);  // "3.2.1.77", given by the build

namespace {

using namespace drvx::platform;
using ::testing::ElementsAre;

TEST(TextPrinter, MeasuresWithWordWrapInItsCharacterCell) {
  TextPrinter printer;
  const PrintRect bounds{0, 0, 10 * TextPrinter::kCellWidth, 1000};
  EXPECT_EQ(printer.MeasureText("one two three four", bounds),
            (PrintRect{0, 0, 10 * 8, 2 * 16}));  // "one two" / "three four"
  EXPECT_EQ(printer.MeasureText("a\r\nb\r\n", bounds), (PrintRect{0, 0, 8, 2 * 16}));
  EXPECT_EQ(printer.MeasureText("abcdefghijklmno", bounds).bottom, 2 * 16);  // cut word
}

TEST(TextPrinter, DrawsPagesClippedAtTheBottomAndWritesTheJob) {
  drvx::test::TempDir dir;
  TextPrinter printer;
  printer.SetFolder(dir.Path());
  printer.BeginJob("doc");
  printer.SetFont("Courier New", 10);
  printer.DrawText("Diagram : Main\r\n&amp;\r\nlost below", {16, 0, 400, 2 * 16});
  printer.NewPage();
  printer.DrawText("second page", {0, 16, 400, 200});
  printer.EndJob();
  ASSERT_EQ(printer.Jobs().size(), 1u);
  const auto& job = printer.Jobs()[0];
  EXPECT_EQ(job.font, "Courier New 10");
  ASSERT_EQ(job.pages.size(), 2u);
  EXPECT_THAT(job.pages[0], ElementsAre("  Diagram : Main", "  &amp;"));
  EXPECT_THAT(job.pages[1], ElementsAre("", "second page"));
  EXPECT_EQ(ReadWholeFile(dir / "print-1.txt", kMaxListFile),
            "--- page 1 ---\n  Diagram : Main\n  &amp;\n--- page 2 ---\n\nsecond page\n");
  EXPECT_THROW(printer.NewPage(), std::runtime_error);
}

TEST(TextPrinter, ReportsItsPaperAndMargins) {
  const PrinterMetrics m = TextPrinter().Metrics();
  EXPECT_EQ(m.dpiX, 96);
  EXPECT_EQ(m.physicalWidth, 794);
  EXPECT_EQ(m.offsetY, 12);
}

TEST(Clock, AFixedMomentIsWhatEveryoneSees) {
  FixClock(DateTime{2006, 4, 8, 9, 21, 0});
  EXPECT_EQ(ShortDate(Now()), "08.04.2006");
  EXPECT_EQ(LongTime(Now()), "09:21:00");
  FixClock(std::nullopt);
  EXPECT_GE(Now().year, 2024);
}

TEST(Clock, ParsesOnlyRealMoments) {
  EXPECT_EQ(ParseDateTime("2024-02-29 23:59:59"), (DateTime{2024, 2, 29, 23, 59, 59}));
  EXPECT_EQ(ParseDateTime("2024-02-29T00:00:00"), (DateTime{2024, 2, 29, 0, 0, 0}));
  EXPECT_EQ(ParseDateTime("2023-02-29 00:00:00"), std::nullopt);
  EXPECT_EQ(ParseDateTime("2023-13-01 00:00:00"), std::nullopt);
  EXPECT_EQ(ParseDateTime("2023-1-01 00:00:00"), std::nullopt);
  EXPECT_EQ(ParseDateTime("yesterday"), std::nullopt);
}

TEST(FileVersion, IsReadBackFromTheBinaryThatCarriesIt) {
  EXPECT_EQ(FileVersionText(ExecutablePath()), "3.2.1.77");
}

TEST(FileVersion, AFileWithoutANoteOrNoFileGivesNone) {
  drvx::test::TempDir dir;
  drvx::test::WriteText(dir / "plain.bin", "no version here");
  EXPECT_EQ(FileVersionText(dir / "plain.bin"), std::nullopt);
  EXPECT_EQ(FileVersionText(dir / "missing.bin"), std::nullopt);
}

TEST(FileVersion, ASectionTablePointingOutsideTheFileGivesNone) {
  drvx::test::TempDir dir;
  std::string header(64, '\0');
  header.replace(0, 5, "\x7f" "ELF\x02");
  header[0x28] = '\x7f';  // section table far beyond the end
  header[0x3a] = 64;      // section header size
  header[0x3c] = 3;       // three sections
  header[0x3e] = 1;       // names in the second
  const auto file = dir / drvx::test::LibraryFile("bad");
  drvx::test::WriteText(file, header);
  EXPECT_EQ(FileVersionText(file), std::nullopt);
}

}  // namespace
