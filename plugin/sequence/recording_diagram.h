// RecordingDiagram: draws a recording's folded calls (CallFolder) into the
// host as sequence diagrams, through the same operations as the other
// sequence diagrams: a lifeline per role (linked to the model's class of
// that name), a call message per call, a return message ("mkReturn") to
// the caller for each return seen (a call of a role on itself has none),
// activations from call to return, and the symbols of class
// "sequenceframe": a loop's frame ("FrameKind" "loop", captioned with its
// count) around the iteration drawn, and a gap's marker ("FrameKind"
// "lost") across the lifelines. A note above the heads says what the
// recording holds.
//
// Past `pageMessages` messages the drawing goes on in a new diagram, named
// "<name> (2)", "<name> (3)", ..., whose heads repeat every role so far; a
// frame that crosses pages is drawn on each of them. A loop's count is
// written when the changes are flushed, not at every iteration.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "call_folding.h"
#include "sequence_model.h"

namespace drvx::sequence {

class RecordingDiagram final : public RecordingCanvas {
 public:
  RecordingDiagram(host::Services services, std::string name, std::size_t pageMessages);

  void Entered(CallNode& node, const CallNode& caller) override;
  void Left(CallNode& node, const CallNode& caller) override;
  void Recounted(const CallNode& loop) override;
  void Forgot(const CallNode& node) override;

  // Writes the activations as they stand and the summary into the notes of
  // the first page and of the pages drawn on since the last flush (of every
  // page when `everyPage`), and applies the changes.
  void Flush(const std::string& summary, bool everyPage);

 private:
  struct Activations {
    std::string closed;           // "(a,b)" pairs
    std::vector<std::int32_t> open;  // the starts of those still open
    bool changed = false;
  };
  struct Page {
    std::unique_ptr<TSequenceDiagram> model;
    host::Shape note;
    std::int32_t time = 40;     // of the next message
    std::int32_t lastEnd = 40;  // of the last message
    std::size_t messages = 0;
    std::map<std::string, Activations> activations;  // by role
  };

  Page& Current() { return *pages_.back(); }
  // The current page, a new one when it holds its messages already.
  Page& PageForMessage();
  void NewPage();
  TSqDgRole& Role(Page& page, const std::string& name);
  void Message(Page& page, const std::string& from, const std::string& to,
               const std::string& caption, const char* kind);
  void Frame(Page& page, const char* kind, std::int32_t start, std::int32_t end,
             const std::string& caption, std::vector<host::Shape>* shapes);
  static std::string LoopCaption(std::uint32_t count);
  struct LoopFrames;
  // Writes a loop's count into its frames when it grew since.
  static void Recaption(LoopFrames& frames);

  host::Services services_;
  std::string name_;
  std::size_t pageMessages_;
  std::vector<std::unique_ptr<Page>> pages_;
  std::size_t flushed_ = 0;  // pages before the last one flushed are done
  std::vector<std::string> roles_;  // every role so far, left to right
  struct LoopFrames {
    std::vector<host::Shape> shapes;
    std::uint32_t count;  // as the shapes show it
    std::uint32_t now;    // as the loop has it
  };
  std::unordered_map<const CallNode*, LoopFrames> frames_;  // of drawn loops
};

}  // namespace drvx::sequence
