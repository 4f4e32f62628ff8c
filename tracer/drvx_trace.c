/* The per-thread call stacks, the message text and the counts. */
#define _POSIX_C_SOURCE 200809L /* strnlen */

#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "drvx_trace.h"
#include "drvx_trace_system.h"

#if (DRVX_TRACE_MAX_DEPTH & (DRVX_TRACE_MAX_DEPTH - 1)) != 0
#error "DRVX_TRACE_MAX_DEPTH must be a power of two"
#endif

enum { kMaxSlotName = 64 };

struct frame {
  unsigned char length;
  char name[DRVX_TRACE_MAX_NAME + 1];
};

/* A ring of the innermost calls. Call i (0 = outermost) lives in
 * frames[i % DRVX_TRACE_MAX_DEPTH] until a deeper call takes its place; the
 * calls below `cut` have lost their place so. */
struct stack {
  size_t depth;
  size_t cut;
  struct frame frames[DRVX_TRACE_MAX_DEPTH];
};

static _Thread_local struct stack thread_stack;

static atomic_ullong counts[DRVX_TRACE_FAILED + 1];
static atomic_ullong cut_messages;

void drvx_trace_push(const char* name) {
  struct stack* s = &thread_stack;
  if (s->depth >= DRVX_TRACE_MAX_DEPTH && s->cut < s->depth - DRVX_TRACE_MAX_DEPTH + 1)
    s->cut = s->depth - DRVX_TRACE_MAX_DEPTH + 1;
  struct frame* f = &s->frames[s->depth & (DRVX_TRACE_MAX_DEPTH - 1)];
  const size_t length = name ? strnlen(name, DRVX_TRACE_MAX_NAME) : 0;
  memcpy(f->name, name ? name : "", length);
  f->length = (unsigned char)length;
  ++s->depth;
}

void drvx_trace_pop(void) {
  struct stack* s = &thread_stack;
  if (s->depth == 0) return;
  --s->depth;
  if (s->cut > s->depth) s->cut = s->depth;
}

size_t drvx_trace_depth(void) { return thread_stack.depth; }

/* Where a message is written; with no buffer it is only measured. */
struct writer {
  char* at;
  size_t length;
};

static void append(struct writer* w, const char* text, size_t length) {
  if (w->at) memcpy(w->at + w->length, text, length);
  w->length += length;
}

/* A name as one line: CR and LF become blanks, an empty name "(unnamed)". */
static void append_name(struct writer* w, const struct frame* f) {
  if (f->length == 0) {
    append(w, "(unnamed)", 9);
    return;
  }
  char* at = w->at ? w->at + w->length : NULL;
  append(w, f->name, f->length);
  for (size_t k = 0; at && k < f->length; ++k)
    if (at[k] == '\r' || at[k] == '\n') at[k] = ' ';
}

static void write_message(const struct stack* s, struct writer* w) {
  for (size_t i = s->depth; i > s->cut; --i) {
    append_name(w, &s->frames[(i - 1) & (DRVX_TRACE_MAX_DEPTH - 1)]);
    append(w, "\r\n", 2);
  }
  if (s->cut > 0) {
    char line[48];
    const int n = snprintf(line, sizeof line, "(%zu outer calls cut)\r\n", s->cut);
    append(w, line, (size_t)n);
  }
}

size_t drvx_trace_format(char* buffer, size_t size) {
  struct writer measure = {NULL, 0};
  write_message(&thread_stack, &measure);
  if (buffer && size >= measure.length) {
    struct writer out = {buffer, 0};
    write_message(&thread_stack, &out);
  }
  return measure.length;
}

static int valid_slot_name(const char* slot) {
  size_t n = 0;
  for (; slot[n]; ++n) {
    const char c = slot[n];
    const int letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const int digit = c >= '0' && c <= '9';
    if (n == kMaxSlotName || !(letter || digit || c == '.' || c == '_' || c == '-')) return 0;
  }
  return n > 0 && strspn(slot, ".") != n; /* not "." or ".." */
}

static enum drvx_trace_result counted(enum drvx_trace_result result) {
  atomic_fetch_add_explicit(&counts[result], 1, memory_order_relaxed);
  return result;
}

enum drvx_trace_result drvx_trace_send_to(const char* slot) {
  if (!slot || !valid_slot_name(slot)) return counted(DRVX_TRACE_FAILED);
  if (thread_stack.depth == 0) return counted(DRVX_TRACE_EMPTY);
  const size_t length = drvx_trace_format(NULL, 0);
  char* message = malloc(length);
  if (!message) return counted(DRVX_TRACE_FAILED);
  struct writer out = {message, 0};
  write_message(&thread_stack, &out);
  const enum drvx_trace_result result = drvx_trace_system_send(slot, message, length);
  free(message);
  if (result == DRVX_TRACE_SENT && thread_stack.cut > 0)
    atomic_fetch_add_explicit(&cut_messages, 1, memory_order_relaxed);
  return counted(result);
}

enum drvx_trace_result drvx_trace_send(void) { return drvx_trace_send_to(DRVX_TRACE_DEFAULT_SLOT); }

void drvx_trace_get_counts(struct drvx_trace_counts* out) {
  if (!out) return;
  out->sent = atomic_load(&counts[DRVX_TRACE_SENT]);
  out->no_receiver = atomic_load(&counts[DRVX_TRACE_NO_RECEIVER]);
  out->queue_full = atomic_load(&counts[DRVX_TRACE_QUEUE_FULL]);
  out->too_large = atomic_load(&counts[DRVX_TRACE_TOO_LARGE]);
  out->empty = atomic_load(&counts[DRVX_TRACE_EMPTY]);
  out->failed = atomic_load(&counts[DRVX_TRACE_FAILED]);
  out->cut = atomic_load(&cut_messages);
}
