#include "drvx/platform/console_dialogs.h"

#include <string>

namespace drvx::platform {

std::optional<std::string> ConsoleDialogs::ReadLine() {
  out_.flush();
  std::string line;
  if (!std::getline(in_, line)) {
    out_ << "(end of input)\n";
    return std::nullopt;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

void ConsoleDialogs::ShowMessage(MessageKind kind, std::string_view text) {
  out_ << "[" << MessageKindName(kind) << "] " << text << "\n[OK] press Enter ";
  ReadLine();
}

bool ConsoleDialogs::Confirm(std::string_view text) {
  for (;;) {
    out_ << "[confirm] " << text << "\n[Yes/No] ";
    const auto line = ReadLine();
    if (!line) return false;
    if (*line == "y" || *line == "Y" || *line == "yes" || *line == "Yes") return true;
    if (*line == "n" || *line == "N" || *line == "no" || *line == "No") return false;
  }
}

std::optional<std::string> ConsoleDialogs::InputBox(std::string_view caption,
                                                    std::string_view prompt,
                                                    std::string_view value) {
  out_ << "[" << caption << "] " << prompt << " (Enter keeps \"" << value
       << "\", a single . cancels)\n> ";
  const auto line = ReadLine();
  if (!line || *line == ".") return std::nullopt;
  return line->empty() ? std::string(value) : *line;
}

std::optional<std::filesystem::path> ConsoleDialogs::File(const char* title,
                                                          const FileDialogOptions& options) {
  out_ << "[" << title << "] in " << options.initialFolder.string();
  if (!options.defaultExtension.empty()) out_ << " (" << options.defaultExtension << ")";
  out_ << "; a file name, or an empty line to cancel\n> ";
  const auto line = ReadLine();
  if (!line || line->empty()) return std::nullopt;
  std::filesystem::path path = *line;
  return path.is_absolute() || options.initialFolder.empty() ? path : options.initialFolder / path;
}

std::optional<std::filesystem::path> ConsoleDialogs::OpenFile(const FileDialogOptions& options) {
  return File("open file", options);
}

std::optional<std::filesystem::path> ConsoleDialogs::SaveFile(const FileDialogOptions& options) {
  return File("save file", options);
}

}  // namespace drvx::platform
