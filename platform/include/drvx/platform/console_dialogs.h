// Dialogs at a text console: each dialog is printed and its answer read as a
// line. At the end of the input a dialog takes its default (as the scripted
// dialogs do), so a closed input never hangs.
#pragma once

#include <istream>
#include <ostream>

#include "drvx/platform/dialogs.h"

namespace drvx::platform {

class DRVX_PLATFORM_API ConsoleDialogs : public Dialogs {
 public:
  ConsoleDialogs(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  void ShowMessage(MessageKind kind, std::string_view text) override;
  bool Confirm(std::string_view text) override;
  std::optional<std::string> InputBox(std::string_view caption, std::string_view prompt,
                                      std::string_view value) override;
  std::optional<std::filesystem::path> OpenFile(const FileDialogOptions& options) override;
  std::optional<std::filesystem::path> SaveFile(const FileDialogOptions& options) override;

 private:
  std::optional<std::string> ReadLine();
  std::optional<std::filesystem::path> File(const char* title, const FileDialogOptions& options);

  std::istream& in_;
  std::ostream& out_;
};

}  // namespace drvx::platform
