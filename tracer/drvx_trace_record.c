/* The calling thread's recorder: events written into a batch as text, the
 * batch sent when full or when the recording ends. Never blocking, never
 * retrying: a batch the slot does not take is counted as lost and its
 * number skipped, and the names it defined are defined again when next
 * used; the batch after it repeats the calls still open, so that the
 * receiver knows where the run went on. */
#define _POSIX_C_SOURCE 200809L

#include <signal.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <string.h>

#include "drvx_trace.h"
#include "drvx_trace_record.h"
#include "drvx_trace_system.h"

enum {
  kTableSize = 8192,                        /* name slots, a power of two */
  kMaxNames = kTableSize / 2,               /* names given a number; later ones go inline */
  kArena = 256 * 1024,                      /* bytes of name text kept */
  kHeaderRoom = 256,                        /* the two header lines */
  kEventRoom = DRVX_TRACE_MAX_NAME + 48,    /* the most one call writes */
  kBody = DRVX_TRACE_BATCH_SIZE - kHeaderRoom,
};

struct name_slot {
  uint64_t key;        /* 0: free */
  uint32_t id;         /* 1 .. kMaxNames */
  uint64_t defined_in; /* the batch whose N line defines it; 0: to be defined */
};

struct recorder {
  char slot[72];
  unsigned long long recording;
  unsigned long long batch; /* being filled; the first is 1 */
  int previous_lost;        /* the batch before it did not go out */
  size_t depth;             /* recorded calls open */
  uint32_t open[DRVX_TRACE_MAX_DEPTH]; /* their ids, the innermost ones */
  volatile sig_atomic_t busy; /* a signal handler's calls meanwhile are left out */
  size_t skipped_open;        /* such calls still open */
  size_t used;
  unsigned long long events; /* in this batch, counted with it when it goes */
  struct name_slot names[kTableSize];
  uint32_t name_count;
  uint32_t name_at[kMaxNames + 1]; /* where each id's text starts in the arena */
  uint32_t name_length[kMaxNames + 1];
  size_t arena_used;
  char arena[kArena];
  char body[kBody];
};

static _Thread_local struct recorder* thread_recorder;
_Thread_local unsigned long long drvx_trace_thread_recording; /* thread_recorder's number */

static atomic_ullong recordings_started;
static atomic_ullong record_counts[4]; /* events, batches sent, batches lost, recordings */

static char* put_number(char* at, unsigned long long value) {
  char digits[24];
  size_t n = 0;
  do digits[n++] = (char)('0' + value % 10);
  while ((value /= 10) != 0);
  while (n > 0) *at++ = digits[--n];
  return at;
}

static char* put_text(char* at, const char* text, size_t length) {
  memcpy(at, text, length);
  return at + length;
}

uint64_t drvx_trace_name_key(const char* name, size_t length) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (size_t i = 0; i < length; ++i) h = (h ^ (unsigned char)name[i]) * 0x100000001b3ull;
  return h | 1;
}

/* A name's text as it is sent: CR and LF made blanks, at most
 * DRVX_TRACE_MAX_NAME bytes, "(unnamed)" for an empty one. */
static char* put_name(char* at, const char* name, size_t length) {
  if (length == 0) return put_text(at, "(unnamed)", 9);
  if (length > DRVX_TRACE_MAX_NAME) length = DRVX_TRACE_MAX_NAME;
  for (size_t i = 0; i < length; ++i) *at++ = name[i] == '\r' || name[i] == '\n' ? ' ' : name[i];
  return at;
}

static void send_batch(struct recorder* r, int end);

static void make_room(struct recorder* r, size_t need) {
  if (r->used + need > kBody - 8) send_batch(r, 0); /* 8: the end line */
}

/* The N line of an id into the batch. */
static void define(struct recorder* r, struct name_slot* slot) {
  char* at = r->body + r->used;
  at = put_text(at, "N ", 2);
  at = put_number(at, slot->id);
  *at++ = ' ';
  at = put_text(at, r->arena + r->name_at[slot->id], r->name_length[slot->id]);
  at = put_text(at, "\r\n", 2);
  r->used = (size_t)(at - r->body);
  slot->defined_in = r->batch;
}

static struct name_slot* slot_of_id(struct recorder* r, uint32_t id) {
  for (size_t i = 0; i < kTableSize; ++i)
    if (r->names[i].key != 0 && r->names[i].id == id) return &r->names[i];
  return NULL;
}

/* A name's line form without its CR LF, asked of `line_of` when not given. */
static const char* name_of(uint64_t key, const char* name, size_t* length,
                           const char* (*line_of)(uint64_t key)) {
  if (name) return name;
  const char* line = line_of(key);
  *length = strlen(line);
  if (*length >= 2 && line[*length - 2] == '\r') *length -= 2;
  return line;
}

/* The id of the name, defined in this batch when it is not yet known to
 * the receiver; 0 when the table is full (the call then names itself). */
static uint32_t id_of(struct recorder* r, uint64_t key, const char** name, size_t* length,
                      const char* (*line_of)(uint64_t key)) {
  size_t i = (size_t)(key * 0x9E3779B97F4A7C15ull >> 51) & (kTableSize - 1);
  for (;; i = (i + 1) & (kTableSize - 1)) {
    struct name_slot* slot = &r->names[i];
    if (slot->key == key) {
      if (slot->defined_in == 0) define(r, slot);
      return slot->id;
    }
    if (slot->key != 0) continue;
    *name = name_of(key, *name, length, line_of);
    char text[DRVX_TRACE_MAX_NAME + 16];
    const size_t n = (size_t)(put_name(text, *name, *length) - text);
    if (r->name_count == kMaxNames || r->arena_used + n > kArena) return 0;
    slot->key = key;
    slot->id = ++r->name_count;
    r->name_at[slot->id] = (uint32_t)r->arena_used;
    r->name_length[slot->id] = (uint32_t)n;
    memcpy(r->arena + r->arena_used, text, n);
    r->arena_used += n;
    define(r, slot);
    return slot->id;
  }
}

/* After a lost batch: the calls open, outermost first, their names defined
 * again where the lost batch had defined them. */
static void repeat_open_calls(struct recorder* r) {
  size_t kept = r->depth < DRVX_TRACE_MAX_DEPTH ? r->depth : DRVX_TRACE_MAX_DEPTH;
  for (size_t k = r->depth - kept; k < r->depth; ++k) {
    struct name_slot* slot = slot_of_id(r, r->open[k % DRVX_TRACE_MAX_DEPTH]);
    if (slot && slot->defined_in == 0) define(r, slot);
  }
  char* at = r->body + r->used;
  at = put_text(at, "S ", 2);
  at = put_number(at, r->depth);
  for (size_t k = r->depth - kept; k < r->depth; ++k) {
    *at++ = ' ';
    at = put_number(at, r->open[k % DRVX_TRACE_MAX_DEPTH]);
  }
  at = put_text(at, "\r\n", 2);
  r->used = (size_t)(at - r->body);
}

static void send_batch(struct recorder* r, int end) {
  if (end) {
    memcpy(r->body + r->used, "E\r\n", 3);
    r->used += 3;
  }
  char header[kHeaderRoom];
  char* at = put_text(header, DRVX_TRACE_RECORDING_LINE "\r\nB ", sizeof DRVX_TRACE_RECORDING_LINE + 3);
  struct drvx_trace_identity who;
  drvx_trace_system_identity(&who);
  at = put_number(at, who.process);
  *at++ = ' ';
  at = put_number(at, who.thread);
  *at++ = ' ';
  at = put_number(at, r->recording);
  *at++ = ' ';
  at = put_number(at, r->batch);
  *at++ = ' ';
  at = put_text(at, who.program, strnlen(who.program, sizeof who.program));
  at = put_text(at, "\r\n", 2);
  const struct drvx_trace_piece pieces[2] = {{header, (size_t)(at - header)}, {r->body, r->used}};
  const enum drvx_trace_result result =
      drvx_trace_system_send(r->slot, pieces, 2, pieces[0].size + pieces[1].size);
  r->previous_lost = result != DRVX_TRACE_SENT;
  atomic_fetch_add_explicit(&record_counts[0], r->events, memory_order_relaxed);
  r->events = 0;
  atomic_fetch_add_explicit(&record_counts[r->previous_lost ? 2 : 1], 1, memory_order_relaxed);
  if (r->previous_lost)
    for (size_t i = 0; i < kTableSize; ++i)
      if (r->names[i].defined_in == r->batch) r->names[i].defined_in = 0;
  ++r->batch;
  r->used = 0;
  if (r->previous_lost && !end) repeat_open_calls(r);
}

/* The last batch out, the recorder freed. */
static void finish(struct recorder* r) {
  r->busy = 1;
  send_batch(r, 1);
  free(r);
}

/* The thread ends: its own variables may be gone already (Windows), so the
 * recorder comes as the value the end was set with. */
static void end_at_thread_exit(void* value) { finish(value); }

/* A program that ends while its thread records (exit, or main returning)
 * sends that thread's last batch. */
static void end_at_exit(void) { drvx_trace_record_stop(); }

int drvx_trace_record_start(const char* slot) {
  if (thread_recorder) return 0;
  struct recorder* r = calloc(1, sizeof *r);
  if (!r) return 0;
  strncpy(r->slot, slot, sizeof r->slot - 1);
  r->recording = atomic_fetch_add(&recordings_started, 1) + 1;
  r->batch = 1;
  thread_recorder = r;
  drvx_trace_thread_recording = r->recording;
  atomic_fetch_add_explicit(&record_counts[3], 1, memory_order_relaxed);
  static atomic_int exit_hook;
  if (atomic_exchange(&exit_hook, 1) == 0) atexit(end_at_exit);
  drvx_trace_system_at_thread_end(end_at_thread_exit, r);
  return 1;
}


void drvx_trace_record_call(uint64_t key, const char* name, size_t length,
                            const char* (*line_of)(uint64_t key)) {
  struct recorder* r = thread_recorder;
  if (!r) return;
  if (r->busy) {
    ++r->skipped_open;
    return;
  }
  r->busy = 1;
  atomic_signal_fence(memory_order_seq_cst);
  make_room(r, kEventRoom);
  const uint32_t id = id_of(r, key, &name, &length, line_of);
  char* at = put_text(r->body + r->used, "C ", 2);
  at = put_number(at, id);
  if (id == 0) {
    name = name_of(key, name, &length, line_of);
    *at++ = ' ';
    at = put_name(at, name, length);
  }
  at = put_text(at, "\r\n", 2);
  r->used = (size_t)(at - r->body);
  r->open[r->depth % DRVX_TRACE_MAX_DEPTH] = id;
  ++r->depth;
  ++r->events;
  atomic_signal_fence(memory_order_seq_cst);
  r->busy = 0;
}

void drvx_trace_record_return(void) {
  struct recorder* r = thread_recorder;
  if (!r) return;
  if (r->busy || r->skipped_open > 0) {
    if (r->skipped_open > 0) --r->skipped_open;
    return;
  }
  if (r->depth == 0) return;
  r->busy = 1;
  atomic_signal_fence(memory_order_seq_cst);
  make_room(r, 4);
  memcpy(r->body + r->used, "R\r\n", 3);
  r->used += 3;
  --r->depth;
  ++r->events;
  atomic_signal_fence(memory_order_seq_cst);
  r->busy = 0;
}

void drvx_trace_record_stop(void) {
  struct recorder* r = thread_recorder;
  if (!r || r->busy) return;
  thread_recorder = NULL;
  drvx_trace_thread_recording = 0;
  drvx_trace_system_at_thread_end(NULL, NULL);
  finish(r);
}

void drvx_trace_get_record_counts(struct drvx_trace_record_counts* out) {
  if (!out) return;
  out->events = atomic_load(&record_counts[0]);
  out->batches_sent = atomic_load(&record_counts[1]);
  out->batches_lost = atomic_load(&record_counts[2]);
  out->recordings = atomic_load(&record_counts[3]);
}
