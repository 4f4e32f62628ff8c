// Functions built with the compiler's function hooks, for the hook-mode
// benchmarks (hook_calls.cpp).
#pragma once

namespace drvx::bench {

// Counts one call, as PlainCall does without hooks.
__attribute__((noinline)) void HookedCall(int& sink);
// `depth` nested calls of itself, then innermost(data) in the deepest.
__attribute__((noinline)) void HookedChain(int depth, void (*innermost)(void*), void* data);

}  // namespace drvx::bench
