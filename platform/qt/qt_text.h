// The platform's UTF-8 texts as Qt strings.
#pragma once

#include <QString>
#include <string_view>

namespace drvx::platform::qt {

inline QString ToQ(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace drvx::platform::qt
