/* The one part of drvx_trace that differs between the systems: handing a
 * message to the slot. drvx_trace_linux.c and drvx_trace_win.c implement it. */
#ifndef DRVX_TRACE_SYSTEM_H
#define DRVX_TRACE_SYSTEM_H

#include <stddef.h>

#include "drvx_trace.h"

/* Sends `size` bytes as one message to the slot `slot` (a name already
 * checked: letters, digits, '.', '_', '-', at most 64 of them), without
 * waiting and without retrying. */
enum drvx_trace_result drvx_trace_system_send(const char* slot, const char* data, size_t size);

#endif /* DRVX_TRACE_SYSTEM_H */
