// The clipboard (plain text). User-interface thread only.
#pragma once

#include <string>
#include <string_view>

#include "drvx/platform/export.h"

namespace drvx::platform {

class DRVX_PLATFORM_API Clipboard {
 public:
  virtual ~Clipboard();
  virtual void SetText(std::string_view text) = 0;  // replaces the content
  virtual std::string Text() const = 0;
};

// Keeps the text in memory; the headless clipboard.
class DRVX_PLATFORM_API MemoryClipboard : public Clipboard {
 public:
  void SetText(std::string_view text) override { text_ = text; }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

// The process's clipboard; a MemoryClipboard until SetClipboard is called.
DRVX_PLATFORM_API Clipboard& CurrentClipboard();
DRVX_PLATFORM_API void SetClipboard(Clipboard* clipboard);  // not owned; null restores

}  // namespace drvx::platform
