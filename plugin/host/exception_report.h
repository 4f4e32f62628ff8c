// The one report of the plug-in's guarded operations:
// "Exception in <Class>.<operation>:<message>", shown in a plain message box.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace drvx::host {

std::string ExceptionText(std::string_view className, std::string_view operation,
                          const std::exception& error);

// Shows the text in a plain message box. A failure to show it is swallowed:
// the guarded operation's neutral result still tells its caller.
void ShowReport(const std::string& text) noexcept;

// ExceptionText, shown; returns the text (the operation's FExMsg).
std::string ReportException(std::string_view className, std::string_view operation,
                            const std::exception& error);

}  // namespace drvx::host
