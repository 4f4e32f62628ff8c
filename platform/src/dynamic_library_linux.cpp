#include <dlfcn.h>
#include <link.h>

#include <stdexcept>

#include "drvx/platform/dynamic_library.h"

namespace drvx::platform {

const char* SharedLibrarySuffix() { return ".so"; }

DynamicLibrary::DynamicLibrary(const std::filesystem::path& path)
    : handle_(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
  if (!handle_) {
    const char* reason = ::dlerror();
    throw std::runtime_error(reason ? reason : "cannot load " + path.string());
  }
}

DynamicLibrary::~DynamicLibrary() { ::dlclose(handle_); }

void* DynamicLibrary::Symbol(const char* name) const { return ::dlsym(handle_, name); }

bool DynamicLibrary::IsFunction(void* symbol) {
  Dl_info info{};
  void* entryAddress = nullptr;
  if (!symbol || ::dladdr1(symbol, &info, &entryAddress, RTLD_DL_SYMENT) == 0 || !entryAddress)
    return false;
  const auto* entry = static_cast<const ElfW(Sym)*>(entryAddress);
  const int type = ELF64_ST_TYPE(entry->st_info);
  return type == STT_FUNC || type == STT_GNU_IFUNC;
}

}  // namespace drvx::platform
