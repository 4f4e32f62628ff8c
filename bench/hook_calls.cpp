// The functions the hook-mode benchmarks call: this file alone is compiled
// with the compiler's function hooks (see CMakeLists.txt).
#include "hook_calls.h"

namespace drvx::bench {

void HookedCall(int& sink) {
  volatile int& counted = sink;
  counted = counted + 1;
}

void HookedChain(int depth, void (*innermost)(void*), void* data) {
  if (depth <= 1) {
    innermost(data);
    return;
  }
  HookedChain(depth - 1, innermost, data);
}

}  // namespace drvx::bench
