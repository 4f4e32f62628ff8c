// A recording's batch as it comes on the message slot: the text format
// that docs/recording-format.md describes, read and written. Its first line
// begins with ".", which no call-sequence list may, so a batch is never
// taken for a call stack and a call stack never for a batch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace drvx::sequence {

// The first line of a batch of the version read here; the first line of a
// batch of any version begins with kRecordingMark.
inline constexpr std::string_view kRecordingLine = ".drvx-recording 1";
inline constexpr std::string_view kRecordingMark = ".drvx-recording";

// Whether a message is a recording's batch (of any version): its first line
// begins with kRecordingMark followed by a blank or the line's end.
bool IsRecordingBatch(std::string_view message);

struct RecordingEvent {
  enum Kind : std::uint8_t { Call, Return } kind = Call;
  // Of a call: its name's id; 0 for a call that names itself (the next of
  // RecordingBatch::inlineNames).
  std::uint32_t id = 0;
  bool operator==(const RecordingEvent&) const = default;
};

// The calls open where the batch begins, sent after a lost batch: how many
// there are, and the ids of the innermost of them, outermost first.
struct OpenCalls {
  std::uint64_t depth = 0;
  std::vector<std::uint32_t> ids;
  bool operator==(const OpenCalls&) const = default;
};

struct RecordingBatch {
  std::uint64_t process = 0;
  std::uint64_t thread = 0;
  std::uint64_t recording = 0;
  std::uint64_t batch = 0;  // from 1, one more for each batch of the recording
  std::string program;
  std::vector<std::pair<std::uint32_t, std::string>> names;  // as their lines come
  std::optional<OpenCalls> open;
  std::vector<RecordingEvent> events;
  std::vector<std::string> inlineNames;  // of the calls with id 0, in order
  bool end = false;  // the recording's last batch
  bool operator==(const RecordingBatch&) const = default;
};

// Reads a batch; throws std::invalid_argument naming the line and what is
// wrong with it ("line 4: \"C x\": the id is not a number").
RecordingBatch ParseRecordingBatch(std::string_view text);

// The batch's text, lines ended by CR LF: names first, then the open calls,
// the events and the end. Reading it gives the batch again.
std::string RecordingBatchText(const RecordingBatch& batch);

}  // namespace drvx::sequence
