#include <dlfcn.h>

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

}  // namespace drvx::platform
