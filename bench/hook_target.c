/* The program the hook mode is measured against uftrace with: N calls of a
 * function that does almost nothing. Built plain, with drvx_trace_auto's
 * hooks, and with -pg for uftrace. */
#include <stdlib.h>

__attribute__((noinline)) void work(volatile int* sink) { *sink = *sink + 1; }

int main(int argc, char** argv) {
  volatile int sink = 0;
  const long calls = argc > 1 ? atol(argv[1]) : 1000;
  for (long i = 0; i < calls; ++i) work(&sink);
  return sink == calls ? 0 : 1;
}
