/* A C translation unit that traces, for the tests. */
#ifndef DRVX_TESTS_C_USAGE_H
#define DRVX_TESTS_C_USAGE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Builds the stack Main.run > Worker.finish (after a Worker.step came and
 * went), formats it into `buffer`, and leaves the stack empty again. */
size_t FormatStackOfACProgram(char* buffer, size_t size);

#ifdef __cplusplus
}
#endif

#endif
