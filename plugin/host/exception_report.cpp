#include "exception_report.h"

#include "drvx/platform/dialogs.h"

namespace drvx::host {

std::string ExceptionText(std::string_view className, std::string_view operation,
                          const std::exception& error) {
  std::string text = "Exception in ";
  text.append(className).append(".").append(operation).append(":").append(error.what());
  return text;
}

void ShowReport(const std::string& text) noexcept {
  try {
    platform::CurrentDialogs().ShowMessage(platform::MessageKind::Plain, text);
  } catch (...) {
    // Nothing more to tell it with.
  }
}

std::string ReportException(std::string_view className, std::string_view operation,
                            const std::exception& error) {
  std::string text = ExceptionText(className, operation, error);
  ShowReport(text);
  return text;
}

}  // namespace drvx::host
