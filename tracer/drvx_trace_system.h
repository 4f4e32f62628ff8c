/* The one part of drvx_trace that differs between the systems: handing a
 * message to the slot. drvx_trace_linux.c and drvx_trace_win.c implement it. */
#ifndef DRVX_TRACE_SYSTEM_H
#define DRVX_TRACE_SYSTEM_H

#include <stddef.h>

#include "drvx_trace.h"

/* One piece of a message: `size` bytes at `data`. */
struct drvx_trace_piece {
  const char* data;
  size_t size;
};

/* Sends the `count` pieces, `size` bytes in all, as one message to the slot
 * `slot` (a name already checked: letters, digits, '.', '_', '-', at most 64
 * of them), without waiting and without retrying. Allocates nothing and
 * takes no lock (on Linux it is async-signal-safe). */
enum drvx_trace_result drvx_trace_system_send(const char* slot, const struct drvx_trace_piece* pieces,
                                              size_t count, size_t size);

/* Who sends a recording's batch: the process, the calling thread, and the
 * program's file name without its folder. */
struct drvx_trace_identity {
  unsigned long long process;
  unsigned long long thread;
  char program[64];
};
void drvx_trace_system_identity(struct drvx_trace_identity* out);

/* Calls `end(value)` when the calling thread ends; a NULL `end` cancels
 * the call set before. */
void drvx_trace_system_at_thread_end(void (*end)(void*), void* value);

/* Sends the pieces to the slot as drvx_trace_send_to does, after checking
 * the slot's name, and counts what it did (drvx_trace_get_counts); `cut`
 * outer calls are not in it. For the sends of the hook mode. */
enum drvx_trace_result drvx_trace_counted_send(const char* slot, const struct drvx_trace_piece* pieces,
                                               size_t count, size_t size, size_t cut);

/* Copies the `count` pieces, `length` bytes in all, into `buffer` when
 * `size` holds them; returns `length` either way (drvx_trace_format's
 * contract). */
size_t drvx_trace_join(const struct drvx_trace_piece* pieces, size_t count, size_t length,
                       char* buffer, size_t size);

/* "(N outer calls cut)\r\n" in `line`; returns its length. */
size_t drvx_trace_cut_line(size_t cut, char line[48]);

#endif /* DRVX_TRACE_SYSTEM_H */
