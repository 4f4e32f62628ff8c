/* drvx_trace used from C: the stack a C program builds with push and pop. */
#include "drvx_trace.h"

#include "c_usage.h"

size_t FormatStackOfACProgram(char* buffer, size_t size) {
  drvx_trace_push("Main.run");
  drvx_trace_push("Worker.step");
  drvx_trace_pop();
  drvx_trace_push("Worker.finish");
  const size_t length = drvx_trace_format(buffer, size);
  drvx_trace_pop();
  drvx_trace_pop();
  return length;
}
