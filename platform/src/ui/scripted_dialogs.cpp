#include "drvx/platform/scripted_dialogs.h"

namespace drvx::platform {
namespace {

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

const char* KindWord(DialogAnswer::Kind kind) {
  switch (kind) {
    case DialogAnswer::Kind::Ok: return "OK";
    case DialogAnswer::Kind::Yes: return "Yes";
    case DialogAnswer::Kind::No: return "No";
    case DialogAnswer::Kind::Cancel: return "Cancel";
    case DialogAnswer::Kind::Text: return "text";
    case DialogAnswer::Kind::File: return "file";
  }
  return "?";
}

}  // namespace

std::string DescribeAnswer(const DialogAnswer& answer) {
  if (answer.kind == DialogAnswer::Kind::Text || answer.kind == DialogAnswer::Kind::File)
    return std::string(KindWord(answer.kind)) + " " + Quoted(answer.value);
  return KindWord(answer.kind);
}

void ScriptedDialogs::Note(const std::string& line) {
  if (log_) log_(line);
}

ScriptedDialogs::Taken ScriptedDialogs::Take(const std::string& dialog,
                                             std::initializer_list<DialogAnswer::Kind> fitting) {
  Taken taken;
  if (answers_.empty()) return taken;
  taken.queued = true;
  DialogAnswer answer = std::move(answers_.front());
  answers_.pop_front();
  for (auto kind : fitting)
    if (answer.kind == kind) taken.fit = std::move(answer);
  if (!taken.fit)
    Note("the answer " + DescribeAnswer(answer) + " does not fit a " + dialog +
         " dialog; it takes its default");
  return taken;
}

void ScriptedDialogs::NoAnswer(const std::string& what, const char* answer) {
  Note("no answer queued for " + what + "; it takes " + answer);
}

void ScriptedDialogs::ShowMessage(MessageKind kind, std::string_view text) {
  const std::string dialog = std::string("message (") + MessageKindName(kind) + ")";
  if (!Take(dialog, {DialogAnswer::Kind::Ok}).queued && fallback_) fallback_->ShowMessage(kind, text);
  shown_.push_back({dialog, std::string(text), "OK"});
}

bool ScriptedDialogs::Confirm(std::string_view text) {
  const Taken taken = Take("confirm", {DialogAnswer::Kind::Yes, DialogAnswer::Kind::No});
  bool yes = false;
  if (taken.fit)
    yes = taken.fit->kind == DialogAnswer::Kind::Yes;
  else if (!taken.queued && fallback_)
    yes = fallback_->Confirm(text);
  else if (!taken.queued)
    NoAnswer("the question " + Quoted(text), "No");
  shown_.push_back({"confirm", std::string(text), yes ? "Yes" : "No"});
  return yes;
}

std::optional<std::string> ScriptedDialogs::InputBox(std::string_view caption,
                                                     std::string_view prompt,
                                                     std::string_view value) {
  const Taken taken = Take("input", {DialogAnswer::Kind::Text, DialogAnswer::Kind::Cancel});
  std::optional<std::string> result;
  if (taken.fit) {
    if (taken.fit->kind == DialogAnswer::Kind::Text) result = taken.fit->value;
  } else if (!taken.queued && fallback_) {
    result = fallback_->InputBox(caption, prompt, value);
  } else if (!taken.queued) {
    NoAnswer("the input box " + Quoted(caption), "Cancel");
  }
  shown_.push_back({"input", Quoted(caption) + " " + Quoted(prompt) + " preset " + Quoted(value),
                    result ? "text " + Quoted(*result) : "Cancel"});
  return result;
}

std::optional<std::filesystem::path> ScriptedDialogs::File(const char* dialog,
                                                           const FileDialogOptions& options,
                                                           bool save) {
  const Taken taken = Take(dialog, {DialogAnswer::Kind::File, DialogAnswer::Kind::Cancel});
  std::optional<std::filesystem::path> result;
  if (taken.fit) {
    if (taken.fit->kind == DialogAnswer::Kind::File) result = taken.fit->value;
  } else if (!taken.queued && fallback_) {
    result = save ? fallback_->SaveFile(options) : fallback_->OpenFile(options);
  } else if (!taken.queued) {
    NoAnswer(std::string("the ") + dialog + " dialog", "Cancel");
  }
  std::string text = "in " + Quoted(options.initialFolder.string());
  if (!options.defaultExtension.empty()) text += " extension " + Quoted(options.defaultExtension);
  if (!options.filter.empty()) text += " filter " + Quoted(options.filter);
  shown_.push_back({dialog, text, result ? "file " + Quoted(result->string()) : "Cancel"});
  return result;
}

std::optional<std::filesystem::path> ScriptedDialogs::OpenFile(const FileDialogOptions& options) {
  return File("open file", options, false);
}

std::optional<std::filesystem::path> ScriptedDialogs::SaveFile(const FileDialogOptions& options) {
  return File("save file", options, true);
}

}  // namespace drvx::platform
