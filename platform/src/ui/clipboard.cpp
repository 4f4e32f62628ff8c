#include "drvx/platform/clipboard.h"

namespace drvx::platform {
namespace {

Clipboard*& Installed() {
  static Clipboard* installed = nullptr;
  return installed;
}

}  // namespace

Clipboard::~Clipboard() = default;

Clipboard& CurrentClipboard() {
  static MemoryClipboard initial;
  Clipboard* c = Installed();
  return c ? *c : initial;
}

void SetClipboard(Clipboard* clipboard) { Installed() = clipboard; }

}  // namespace drvx::platform
