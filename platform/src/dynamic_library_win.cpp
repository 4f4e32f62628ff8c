#include <windows.h>

#include <stdexcept>

#include "drvx/platform/dynamic_library.h"
#include "system_error_win.h"

namespace drvx::platform {

const char* SharedLibrarySuffix() { return ".dll"; }

// The library's own folder is searched for what it needs, then the program's
// folder and the system's, as for a library beside its dependencies.
DynamicLibrary::DynamicLibrary(const std::filesystem::path& path)
    : handle_(LoadLibraryExW(std::filesystem::absolute(path).c_str(), nullptr,
                             LOAD_WITH_ALTERED_SEARCH_PATH)) {
  if (!handle_) throw std::runtime_error("cannot load " + path.string() + ": " + LastErrorText());
}

DynamicLibrary::~DynamicLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* DynamicLibrary::Symbol(const char* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

// A function lies in executable memory; an exported variable does not.
bool DynamicLibrary::IsFunction(void* symbol) {
  MEMORY_BASIC_INFORMATION memory{};
  if (!symbol || VirtualQuery(symbol, &memory, sizeof memory) == 0) return false;
  return (memory.Protect & (PAGE_EXECUTE | PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                            PAGE_EXECUTE_WRITECOPY)) != 0;
}

}  // namespace drvx::platform
