#include "recording_batch.h"

#include <charconv>
#include <stdexcept>

#include "drvx/platform/text.h"

namespace drvx::sequence {
namespace {

class LineReader {
 public:
  LineReader(std::string_view line, std::size_t number) : line_(line), number_(number) {}

  [[noreturn]] void Fail(const std::string& what) const {
    std::string shown(line_.substr(0, 60));
    if (line_.size() > 60) shown += "...";
    throw std::invalid_argument("line " + std::to_string(number_) + ": \"" + shown + "\": " + what);
  }
  // A blank, then a decimal number without sign or leading zeros.
  template <typename T>
  T Number(const char* what) {
    if (at_ >= line_.size() || line_[at_] != ' ') Fail(std::string("a blank and ") + what + " expected");
    ++at_;
    const char* first = line_.data() + at_;
    const char* last = line_.data() + line_.size();
    T value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error == std::errc::result_out_of_range) Fail(std::string(what) + " is too large");
    if (error != std::errc() || end == first || (*first == '0' && end - first > 1))
      Fail(std::string(what) + " is not a decimal number");
    at_ += std::size_t(end - first);
    return value;
  }
  // A blank, then the rest of the line.
  std::string Rest(const char* what) {
    if (at_ >= line_.size() || line_[at_] != ' ') Fail(std::string("a blank and ") + what + " expected");
    std::string rest(line_.substr(at_ + 1));
    at_ = line_.size();
    return rest;
  }
  bool AtEnd() const { return at_ == line_.size(); }
  void End() const {
    if (!AtEnd()) Fail("more than the line may hold");
  }

 private:
  std::string_view line_;
  std::size_t number_;
  std::size_t at_ = 1;  // after the line's letter
};

}  // namespace

bool IsRecordingBatch(std::string_view message) {
  if (message.substr(0, kRecordingMark.size()) != kRecordingMark) return false;
  if (message.size() == kRecordingMark.size()) return true;
  const char next = message[kRecordingMark.size()];
  return next == ' ' || next == '\r' || next == '\n';
}

RecordingBatch ParseRecordingBatch(std::string_view text) {
  const std::vector<std::string> lines = platform::SplitLines(text);
  if (lines.empty() || !IsRecordingBatch(lines[0]))
    throw std::invalid_argument("line 1: not a recording's batch (it must begin with \"" +
                                std::string(kRecordingMark) + "\")");
  if (lines[0] != kRecordingLine)
    throw std::invalid_argument("line 1: \"" + lines[0].substr(0, 60) +
                                "\": a version this plug-in does not read (it reads \"" +
                                std::string(kRecordingLine) + "\")");
  if (lines.size() < 2 || lines[1].substr(0, 1) != "B")
    throw std::invalid_argument("line 2: the batch's \"B\" line expected");
  RecordingBatch batch;
  {
    LineReader line(lines[1], 2);
    batch.process = line.Number<std::uint64_t>("the process");
    batch.thread = line.Number<std::uint64_t>("the thread");
    batch.recording = line.Number<std::uint64_t>("the recording's number");
    batch.batch = line.Number<std::uint64_t>("the batch's number");
    batch.program = line.Rest("the program's name");
    if (batch.batch == 0) line.Fail("batches are numbered from 1");
  }
  for (std::size_t i = 2; i < lines.size(); ++i) {
    const std::string_view text = lines[i];
    LineReader line(text, i + 1);
    if (text.empty()) line.Fail("an empty line");
    if (batch.end) line.Fail("a line after the recording's end \"E\"");
    switch (text[0]) {
      case 'N': {
        const auto id = line.Number<std::uint32_t>("the id");
        if (id == 0) line.Fail("the id 0 names no function");
        batch.names.emplace_back(id, line.Rest("the name"));
        break;
      }
      case 'C': {
        const auto id = line.Number<std::uint32_t>("the id");
        if (id == 0) batch.inlineNames.push_back(line.Rest("the name"));
        else line.End();
        batch.events.push_back({RecordingEvent::Call, id});
        break;
      }
      case 'R':
        line.End();
        batch.events.push_back({RecordingEvent::Return, 0});
        break;
      case 'S': {
        if (batch.open || !batch.events.empty()) line.Fail("the open calls come once, before any call or return");
        OpenCalls open;
        open.depth = line.Number<std::uint64_t>("the depth");
        while (!line.AtEnd()) open.ids.push_back(line.Number<std::uint32_t>("an id"));
        if (open.ids.size() > open.depth) line.Fail("more ids than calls open");
        batch.open = std::move(open);
        break;
      }
      case 'E':
        line.End();
        batch.end = true;
        break;
      default:
        line.Fail("not a line of a batch (N, C, R, S or E)");
    }
  }
  return batch;
}

std::string RecordingBatchText(const RecordingBatch& batch) {
  std::string text(kRecordingLine);
  text += "\r\nB ";
  for (const std::uint64_t n : {batch.process, batch.thread, batch.recording, batch.batch})
    text += std::to_string(n) + ' ';
  text += batch.program + "\r\n";
  for (const auto& [id, name] : batch.names) {
    text += "N " + std::to_string(id) + ' ' + name + "\r\n";
  }
  if (batch.open) {
    text += "S " + std::to_string(batch.open->depth);
    for (const std::uint32_t id : batch.open->ids) text += ' ' + std::to_string(id);
    text += "\r\n";
  }
  std::size_t inlineName = 0;
  for (const RecordingEvent& event : batch.events) {
    if (event.kind == RecordingEvent::Return) {
      text += "R\r\n";
      continue;
    }
    text += "C " + std::to_string(event.id);
    if (event.id == 0) text += ' ' + batch.inlineNames.at(inlineName++);
    text += "\r\n";
  }
  if (batch.end) text += "E\r\n";
  return text;
}

}  // namespace drvx::sequence
