#include "drvx/platform/printer.h"

#include <algorithm>
#include <stdexcept>

#include "drvx/platform/files.h"
#include "drvx/platform/text.h"

namespace drvx::platform {
namespace {

Printer*& Installed() {
  static Printer* installed = nullptr;
  return installed;
}

constexpr PrinterMetrics kA4At96Dpi{96, 96, 794, 1123, 12, 12};

}  // namespace

Printer::~Printer() = default;

Printer& CurrentPrinter() {
  static TextPrinter initial;
  Printer* p = Installed();
  return p ? *p : initial;
}

void SetPrinter(Printer* printer) { Installed() = printer; }

PrinterMetrics TextPrinter::Metrics() const { return kA4At96Dpi; }

TextPrinter::Job& TextPrinter::Current() {
  if (!inJob_) throw std::runtime_error("the printer has no job started");
  return jobs_.back();
}

void TextPrinter::BeginJob(std::string_view title) {
  if (inJob_) throw std::runtime_error("a print job is already running");
  jobs_.push_back({std::string(title), font_, {{}}, {}, {}});
  inJob_ = true;
}

void TextPrinter::NewPage() { Current().pages.emplace_back(); }

void TextPrinter::EndJob() {
  Job& job = Current();
  inJob_ = false;
  if (!folder_.empty()) {
    const std::string stem = "print-" + std::to_string(jobs_.size());
    job.file = folder_ / (stem + ".txt");
    WriteFileAtomically(job.file, Render(job));
    for (std::size_t k = 0; k < job.pictures.size(); ++k) {
      Picture& picture = job.pictures[k];
      picture.file = folder_ / (stem + "-" + std::to_string(k + 1) + ".svg");
      WriteFileAtomically(picture.file, picture.svg);
    }
  }
}

void TextPrinter::DrawPicture(std::string_view title, std::string_view svg) {
  Current().pictures.push_back({std::string(title), std::string(svg), {}});
}

void TextPrinter::SetFont(std::string_view name, int points) {
  font_ = std::string(name) + " " + std::to_string(points);
  if (inJob_) jobs_.back().font = font_;
}

std::vector<std::string> TextPrinter::Wrap(std::string_view text, const PrintRect& bounds) const {
  const std::size_t columns =
      std::max<std::size_t>(1, std::size_t(std::max(0, bounds.right - bounds.left) / kCellWidth));
  std::vector<std::string> rows;
  for (const std::string& line : SplitLines(text)) {
    std::string rest = line;
    while (rest.size() > columns) {
      // Break after the last blank that fits; a word longer than a row is cut.
      std::size_t cut = rest.rfind(' ', columns);
      std::size_t next = cut;
      if (cut == std::string::npos || cut == 0) {
        cut = next = columns;
      } else {
        next = cut + 1;
      }
      rows.push_back(rest.substr(0, cut));
      rest.erase(0, next);
    }
    rows.push_back(std::move(rest));
  }
  return rows;
}

PrintRect TextPrinter::MeasureText(std::string_view text, const PrintRect& bounds) {
  const auto rows = Wrap(text, bounds);
  std::size_t widest = 0;
  for (const auto& r : rows) widest = std::max(widest, r.size());
  return {bounds.left, bounds.top, bounds.left + int(widest) * kCellWidth,
          bounds.top + int(rows.size()) * kCellHeight};
}

void TextPrinter::DrawText(std::string_view text, const PrintRect& bounds) {
  auto& page = Current().pages.back();
  const int firstRow = bounds.top / kCellHeight;
  const int lastRow = bounds.bottom / kCellHeight;  // exclusive: clipped below
  const std::size_t column = std::size_t(std::max(0, bounds.left / kCellWidth));
  const auto rows = Wrap(text, bounds);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row = firstRow + int(i);
    if (row >= lastRow) break;
    if (page.size() <= std::size_t(row)) page.resize(std::size_t(row) + 1);
    std::string& target = page[std::size_t(row)];
    if (target.size() < column) target.resize(column, ' ');
    target.replace(column, std::min(rows[i].size(), target.size() - column), rows[i]);
  }
}

std::string TextPrinter::Render(const Job& job) {
  std::string text;
  for (std::size_t p = 0; p < job.pages.size(); ++p) {
    text += "--- page " + std::to_string(p + 1) + " ---\n";
    for (const auto& row : job.pages[p]) text += row + "\n";
  }
  return text;
}

}  // namespace drvx::platform
