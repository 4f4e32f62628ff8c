#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>

namespace drvx::fuzz {

void Wrong(const std::string& what) {
  std::fprintf(stderr, "wrong result: %s\n", what.c_str());
  std::abort();
}

}  // namespace drvx::fuzz
