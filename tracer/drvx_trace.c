/* The per-thread call stacks, the message text and the counts. */
#define _POSIX_C_SOURCE 200809L /* strnlen */

#include <signal.h>
#include <stdatomic.h>
#include <string.h>

#include "drvx_trace.h"
#include "drvx_trace_record.h"
#include "drvx_trace_system.h"

#if (DRVX_TRACE_MAX_DEPTH & (DRVX_TRACE_MAX_DEPTH - 1)) != 0
#error "DRVX_TRACE_MAX_DEPTH must be a power of two"
#endif

enum { kMaxSlotName = 64 };

/* A call as the line it is sent as: the name (an empty one as "(unnamed)";
 * CR and LF in it are made blanks when it is sent) and CR LF. `ready` is set once the line is whole: a
 * signal handler that interrupts a push or a pop of its thread sends only
 * the whole lines below it. */
struct frame {
  volatile sig_atomic_t ready;
  unsigned char length; /* of the line, CR LF included */
  char line[DRVX_TRACE_MAX_NAME + 2];
};

/* A ring of the innermost calls. Call i (0 = outermost) lives in
 * frames[i % DRVX_TRACE_MAX_DEPTH] until a deeper call takes its place; the
 * calls below `cut` have lost their place so.
 *
 * A handler that interrupts its thread works on the same stack: a push
 * first takes its place (depth), then writes the line and marks it ready,
 * so a handler's push lands above it and never writes into the same line;
 * a pop first marks the line not ready, then gives its place back. The
 * signal fences keep the compiler to that order. */
struct stack {
  volatile size_t depth;
  volatile size_t cut;
  struct frame frames[DRVX_TRACE_MAX_DEPTH];
};

static _Thread_local struct stack thread_stack;

static atomic_ullong counts[DRVX_TRACE_FAILED + 1];
static atomic_ullong cut_messages;

#define DRVX_TRACE_FENCE() atomic_signal_fence(memory_order_seq_cst)

void drvx_trace_push(const char* name) {
  struct stack* s = &thread_stack;
  const size_t i = s->depth;
  struct frame* f = &s->frames[i & (DRVX_TRACE_MAX_DEPTH - 1)];
  f->ready = 0;
  DRVX_TRACE_FENCE();
  if (i >= DRVX_TRACE_MAX_DEPTH && s->cut < i - DRVX_TRACE_MAX_DEPTH + 1)
    s->cut = i - DRVX_TRACE_MAX_DEPTH + 1;
  s->depth = i + 1;
  DRVX_TRACE_FENCE();
  size_t length = name ? strnlen(name, DRVX_TRACE_MAX_NAME) : 0;
  if (length == 0) {
    memcpy(f->line, "(unnamed)", 9);
    length = 9;
  } else {
    memcpy(f->line, name, length); /* CR and LF in it become blanks when it is sent */
  }
  f->line[length] = '\r';
  f->line[length + 1] = '\n';
  f->length = (unsigned char)(length + 2);
  DRVX_TRACE_FENCE();
  f->ready = 1;
  if (drvx_trace_recording())
    drvx_trace_record_call(drvx_trace_name_key(f->line, length), f->line, length, NULL);
}

void drvx_trace_pop(void) {
  struct stack* s = &thread_stack;
  const size_t depth = s->depth;
  if (depth == 0) return;
  drvx_trace_record_return();
  s->frames[(depth - 1) & (DRVX_TRACE_MAX_DEPTH - 1)].ready = 0;
  DRVX_TRACE_FENCE();
  s->depth = depth - 1;
  if (s->cut > depth - 1) s->cut = depth - 1;
}

size_t drvx_trace_depth(void) { return thread_stack.depth; }

/* The message for a stack as pieces: the whole lines, innermost first, then
 * "(N outer calls cut)" in `cut_line` when calls are cut. Returns the
 * number of pieces; *size is their length in bytes. */
enum { kMaxPieces = DRVX_TRACE_MAX_DEPTH + 1 };
static size_t message_pieces(struct stack* s, struct drvx_trace_piece* pieces,
                             char cut_line[48], size_t* size) {
  size_t count = 0, total = 0;
  const size_t depth = s->depth, cut = s->cut;
  for (size_t i = depth; i > cut && count + 1 < kMaxPieces; --i) {
    struct frame* f = &s->frames[(i - 1) & (DRVX_TRACE_MAX_DEPTH - 1)];
    if (!f->ready) continue;
    /* One line per call: CR and LF of the name become blanks (in place,
     * which a second send finds done). Kept off push, where every call pays. */
    for (size_t k = 0; k + 2 < f->length; ++k)
      if (f->line[k] == '\r' || f->line[k] == '\n') f->line[k] = ' ';
    pieces[count].data = f->line;
    pieces[count].size = f->length;
    total += f->length;
    ++count;
  }
  if (cut > 0) {
    const size_t at = drvx_trace_cut_line(cut, cut_line);
    pieces[count].data = cut_line;
    pieces[count].size = at;
    total += at;
    ++count;
  }
  *size = total;
  return count;
}

size_t drvx_trace_cut_line(size_t cut, char line[48]) {
  /* without a formatting function that may allocate */
  char digits[24];
  size_t n = 0, at = 0;
  size_t value = cut;
  do digits[n++] = (char)('0' + value % 10);
  while ((value /= 10) != 0);
  line[at++] = '(';
  while (n > 0) line[at++] = digits[--n];
  memcpy(line + at, " outer calls cut)\r\n", 19);
  return at + 19;
}

size_t drvx_trace_format(char* buffer, size_t size) {
  struct drvx_trace_piece pieces[kMaxPieces];
  char cut_line[48];
  size_t length = 0;
  const size_t count = message_pieces(&thread_stack, pieces, cut_line, &length);
  return drvx_trace_join(pieces, count, length, buffer, size);
}

size_t drvx_trace_join(const struct drvx_trace_piece* pieces, size_t count, size_t length,
                       char* buffer, size_t size) {
  if (buffer && size >= length)
    for (size_t i = 0, at = 0; i < count; at += pieces[i].size, ++i)
      memcpy(buffer + at, pieces[i].data, pieces[i].size);
  return length;
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

enum drvx_trace_result drvx_trace_counted_send(const char* slot, const struct drvx_trace_piece* pieces,
                                               size_t count, size_t size, size_t cut) {
  if (!slot || !valid_slot_name(slot)) return counted(DRVX_TRACE_FAILED);
  if (count == 0) return counted(DRVX_TRACE_EMPTY);
  const enum drvx_trace_result result = drvx_trace_system_send(slot, pieces, count, size);
  if (result == DRVX_TRACE_SENT && cut > 0)
    atomic_fetch_add_explicit(&cut_messages, 1, memory_order_relaxed);
  return counted(result);
}

enum drvx_trace_result drvx_trace_send_to(const char* slot) {
  if (!slot || !valid_slot_name(slot)) return counted(DRVX_TRACE_FAILED);
  if (thread_stack.depth == 0) return counted(DRVX_TRACE_EMPTY);
  struct drvx_trace_piece pieces[kMaxPieces];
  char cut_line[48];
  size_t length = 0;
  const size_t count = message_pieces(&thread_stack, pieces, cut_line, &length);
  return drvx_trace_counted_send(slot, pieces, count, length, thread_stack.cut);
}

enum drvx_trace_result drvx_trace_send(void) { return drvx_trace_send_to(DRVX_TRACE_DEFAULT_SLOT); }

int drvx_trace_record_begin_to(const char* slot) {
  return slot && valid_slot_name(slot) && drvx_trace_record_start(slot);
}

int drvx_trace_record_begin(void) { return drvx_trace_record_begin_to(DRVX_TRACE_DEFAULT_SLOT); }

void drvx_trace_record_end(void) { drvx_trace_record_stop(); }

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
