// Dialogs answered ahead of time: every dialog shown is recorded, and takes the
// next queued answer. With no answer queued it asks the fallback dialogs if
// there are any, else takes its default and logs a line saying so:
//   message box: OK;  confirmation: No;  input box and file dialogs: Cancel.
// An answer that does not fit the dialog (Yes for an input box) is used up,
// logged, and the default taken. Nothing ever waits for input.
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "drvx/platform/dialogs.h"

namespace drvx::platform {

struct DialogAnswer {
  enum class Kind { Ok, Yes, No, Cancel, Text, File };
  Kind kind = Kind::Ok;
  std::string value;  // the text or the path, for Text and File

  static DialogAnswer Ok() { return {Kind::Ok, {}}; }
  static DialogAnswer Yes() { return {Kind::Yes, {}}; }
  static DialogAnswer No() { return {Kind::No, {}}; }
  static DialogAnswer Cancel() { return {Kind::Cancel, {}}; }
  static DialogAnswer Text(std::string t) { return {Kind::Text, std::move(t)}; }
  static DialogAnswer File(std::string p) { return {Kind::File, std::move(p)}; }
};

DRVX_PLATFORM_API std::string DescribeAnswer(const DialogAnswer& answer);

// One dialog as it was shown and answered.
struct DialogRecord {
  std::string dialog;  // "message (information)", "confirm", "input", "open file", "save file"
  std::string text;    // the message, question or prompt (with caption and preset for input)
  std::string answer;  // "OK", "Yes", "No", "Cancel", "text \"...\"", "file \"...\""
};

class DRVX_PLATFORM_API ScriptedDialogs : public Dialogs {
 public:
  explicit ScriptedDialogs(Dialogs* fallback = nullptr) : fallback_(fallback) {}

  void Queue(DialogAnswer answer) { answers_.push_back(std::move(answer)); }
  std::size_t Pending() const { return answers_.size(); }
  void SetFallback(Dialogs* fallback) { fallback_ = fallback; }
  // Called with each line about a default taken or an answer that did not fit.
  void SetLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }

  const std::vector<DialogRecord>& Shown() const { return shown_; }
  void ClearShown() { shown_.clear(); }

  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool Confirm(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view value) override;
  std::optional<std::filesystem::path> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> SaveFile(const FileDialogOptions& options) override;

 private:
  struct Taken {
    bool queued = false;               // an answer was waiting (and is used up now)
    std::optional<DialogAnswer> fit;   // that answer, when it fits the dialog
  };
  // Takes the next answer; one that does not fit is logged.
  Taken Take(const std::string& dialog, std::initializer_list<DialogAnswer::Kind> fitting);
  // Logs that the dialog takes its default for want of an answer.
  void NoAnswer(const std::string& what, const char* answer);
  std::optional<std::filesystem::path> File(const char* dialog, const FileDialogOptions& options,
                                            bool save);
  void Note(const std::string& line);

  Dialogs* fallback_;
  std::deque<DialogAnswer> answers_;
  std::vector<DialogRecord> shown_;
  std::function<void(const std::string&)> log_;
};

}  // namespace drvx::platform
