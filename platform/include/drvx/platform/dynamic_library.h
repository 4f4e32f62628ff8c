// A shared library loaded at run time.
#pragma once

#include <filesystem>
#include <string>

#include "drvx/platform/export.h"

namespace drvx::platform {

// The file name ending of shared libraries on this platform (".so", ".dll").
DRVX_PLATFORM_API const char* SharedLibrarySuffix();

class DRVX_PLATFORM_API DynamicLibrary {
 public:
  // Loads the library; throws std::runtime_error with the system's reason.
  explicit DynamicLibrary(const std::filesystem::path& path);
  ~DynamicLibrary();  // unloads
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // The exported symbol, or null when the library has none of that name.
  void* Symbol(const char* name) const;
  // Whether an exported symbol is a function, not data (the symbol's type
  // in the library's symbol table).
  static bool IsFunction(void* symbol);

 private:
  void* handle_;
};

}  // namespace drvx::platform
