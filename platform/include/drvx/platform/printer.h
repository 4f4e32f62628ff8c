// The printer as a canvas: device units, a font, text measured and drawn with
// word wrapping, pages and jobs. User-interface thread only.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "drvx/platform/export.h"

namespace drvx::platform {

struct PrinterMetrics {
  int dpiX, dpiY;                         // resolution
  int physicalWidth, physicalHeight;      // the paper, in device units
  int offsetX, offsetY;                   // of the printable area from the paper's edge
};

struct PrintRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const PrintRect&, const PrintRect&) = default;
};

class DRVX_PLATFORM_API Printer {
 public:
  virtual ~Printer();
  virtual PrinterMetrics Metrics() const = 0;
  virtual void BeginJob(std::string_view title) = 0;
  virtual bool InJob() const = 0;
  virtual void NewPage() = 0;
  virtual void EndJob() = 0;
  virtual void SetFont(std::string_view name, int points) = 0;
  // The rectangle the text takes when wrapped at blanks within the width of
  // `bounds` (lines break at CR LF, CR or LF), from bounds' top left corner.
  // Every character is printed as it is (no prefix characters).
  virtual PrintRect MeasureText(std::string_view text, const PrintRect& bounds) = 0;
  // Draws the wrapped text into bounds; what falls below bounds is clipped.
  virtual void DrawText(std::string_view text, const PrintRect& bounds) = 0;
  // Prints a picture (a diagram) on a page of its own, given as an SVG
  // document.
  virtual void DrawPicture(std::string_view title, std::string_view svg) = 0;
};

// The headless printer: a fixed character cell (8 x 16 device units at
// 96 dpi, A4 paper with 12 units of offset). A finished job's pages are kept
// and, when a folder is set, written to "<folder>/print-<n>.txt".
class DRVX_PLATFORM_API TextPrinter : public Printer {
 public:
  static constexpr int kCellWidth = 8;
  static constexpr int kCellHeight = 16;

  struct Picture {
    std::string title;
    std::string svg;
    std::filesystem::path file;  // empty when not written
  };
  struct Job {
    std::string title;
    std::string font;
    std::vector<std::vector<std::string>> pages;  // rows of characters
    std::filesystem::path file;                   // empty when not written
    std::vector<Picture> pictures;                // "print-<n>-<k>.svg" beside the pages
  };

  void SetFolder(std::filesystem::path folder) { folder_ = std::move(folder); }
  const std::vector<Job>& Jobs() const { return jobs_; }
  bool InJob() const override { return inJob_; }
  // A job as text: its pages one after another under "--- page N ---".
  static std::string Render(const Job& job);

  PrinterMetrics Metrics() const override;
  void BeginJob(std::string_view title) override;
  void NewPage() override;
  void EndJob() override;
  void SetFont(std::string_view name, int points) override;
  PrintRect MeasureText(std::string_view text, const PrintRect& bounds) override;
  void DrawText(std::string_view text, const PrintRect& bounds) override;
  void DrawPicture(std::string_view title, std::string_view svg) override;

 private:
  std::vector<std::string> Wrap(std::string_view text, const PrintRect& bounds) const;
  Job& Current();

  std::filesystem::path folder_;
  std::vector<Job> jobs_;
  std::string font_ = "Courier New 10";
  bool inJob_ = false;
};

// The process's printer; a TextPrinter until SetPrinter is called.
DRVX_PLATFORM_API Printer& CurrentPrinter();
DRVX_PLATFORM_API void SetPrinter(Printer* printer);  // not owned; null restores

}  // namespace drvx::platform
