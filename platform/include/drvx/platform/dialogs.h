// Modal dialogs: message boxes, Yes/No confirmations, input boxes and file
// dialogs. The process has one current implementation (SetDialogs); headless
// ones answer from a script or a console, Qt ones (later) show windows.
//
// User-interface thread only.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

enum class MessageKind { Information, Warning, Error, Plain };

DRVX_PLATFORM_API const char* MessageKindName(MessageKind kind);

struct FileDialogOptions {
  std::filesystem::path initialFolder;
  std::string defaultExtension;  // for example "*.txt"; empty for none
  std::string filter;            // empty for none
};

class DRVX_PLATFORM_API Dialogs {
 public:
  virtual ~Dialogs();

  // A message box with an OK button.
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;
  // A Yes/No question; true for Yes.
  virtual bool Confirm(std::string_view text) = 0;
  // An input box; none when cancelled.
  virtual std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                              std::string_view value) = 0;
  // File dialogs; none when cancelled.
  virtual std::optional<std::filesystem::path> OpenFile(const FileDialogOptions& options) = 0;
  virtual std::optional<std::filesystem::path> SaveFile(const FileDialogOptions& options) = 0;
};

// The process's dialogs. Until SetDialogs is called, a scripted implementation
// without answers (every dialog takes its default, see scripted_dialogs.h).
DRVX_PLATFORM_API Dialogs& CurrentDialogs();
// Installs dialogs (not owned; null restores the initial ones).
DRVX_PLATFORM_API void SetDialogs(Dialogs* dialogs);

}  // namespace drvx::platform
