/* Hook mode: the compiler's function hooks keep each thread's calls as
 * addresses; names are looked up when a stack is sent. Nothing here may be
 * instrumented itself: the library is built without -finstrument-functions
 * and every function carries no_instrument_function besides. */
#define _GNU_SOURCE

#include <backtrace.h>
#include <dlfcn.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "drvx_trace_auto.h"
#include "drvx_trace_record.h"
#include "drvx_trace_system.h"

#define HOOK __attribute__((no_instrument_function))

enum { kDepth = DRVX_TRACE_MAX_DEPTH, kMask = DRVX_TRACE_MAX_DEPTH - 1 };
/* How far below the top a leaving function is looked for. */
enum { kExitSearch = 16 };

/* A call: the function's address, its frame (the frame pointer of the
 * function, so that frames compare by depth: a deeper one lies lower) and
 * the address it returns to. A function inlined into another shares its
 * frame and its return address; two calls one after the other from the
 * same function share the frame only. */
struct call {
  void* fn;
  const char* frame;
  void* site;
};

/* The innermost calls in a ring, as in drvx_trace.c; the calls below `cut`
 * lost their place to deeper ones. */
struct calls {
  size_t depth;
  size_t cut;
  struct call ring[kDepth];
};

/* Initial-exec: the hooks reach it without a call; the library is linked
 * into the program itself (not into a library opened later). */
static _Thread_local struct calls thread_calls __attribute__((tls_model("initial-exec")));

/* ---- what each function is: looked up once, kept in a table that the hooks
 * read without a lock. */

enum decision { kUnknown = 0, kPending, kKeep, kSendAt, kRecordAt, kExclude };

enum { kTableSize = 1 << 14 };
struct function_entry {
  atomic_uintptr_t fn;
  atomic_int decision;
  _Atomic(const char*) line; /* the line form, made at the first send */
};
static struct function_entry functions[kTableSize];

static char send_at[1024];
static char record_at[1024];
static char exclude[1024];
static char slot_name[72] = DRVX_TRACE_DEFAULT_SLOT;
static int have_patterns;
static int send_on_throw;

static atomic_ullong skipped;
static atomic_llong throttle_window_start; /* ms */
static atomic_int throttle_sent_in_window;

HOOK static struct function_entry* entry_of(void* fn) {
  uintptr_t key = (uintptr_t)fn;
  size_t i = (size_t)((key >> 4) * 0x9E3779B97F4A7C15ull) & (kTableSize - 1);
  for (size_t probe = 0; probe < kTableSize; ++probe, i = (i + 1) & (kTableSize - 1)) {
    uintptr_t seen = atomic_load_explicit(&functions[i].fn, memory_order_acquire);
    if (seen == key) return &functions[i];
    if (seen == 0) {
      uintptr_t expected = 0;
      if (atomic_compare_exchange_strong(&functions[i].fn, &expected, key)) return &functions[i];
      if (expected == key) return &functions[i];
    }
  }
  return NULL; /* full: such a function is kept and never triggers */
}

/* ---- names */

static struct backtrace_state* symbols;
static pthread_once_t symbols_once = PTHREAD_ONCE_INIT;
static pthread_mutex_t names_lock = PTHREAD_MUTEX_INITIALIZER;

HOOK static void no_error(void* data, const char* message, int error) {
  (void)data, (void)message, (void)error;
}

HOOK static void make_symbols(void) { symbols = backtrace_create_state(NULL, 1, no_error, NULL); }

/* C++ names are demangled when the program has the C++ runtime. */
extern char* __cxa_demangle(const char* name, char* buffer, size_t* length, int* status)
    __attribute__((weak));

struct found {
  const char* name;
};

HOOK static void found_symbol(void* data, uintptr_t pc, const char* name, uintptr_t value,
                              uintptr_t size) {
  (void)pc, (void)value, (void)size;
  ((struct found*)data)->name = name;
}

/* The line form of the function at `pc` (its entry, or an address in it),
 * made once and kept. */
HOOK static const char* line_of(void* pc) {
  struct function_entry* entry = entry_of(pc);
  const char* kept = entry ? atomic_load_explicit(&entry->line, memory_order_acquire) : NULL;
  if (kept) return kept;
  pthread_once(&symbols_once, make_symbols);
  pthread_mutex_lock(&names_lock); /* libbacktrace's look-ups, one at a time */
  kept = entry ? atomic_load_explicit(&entry->line, memory_order_acquire) : NULL;
  if (kept) { /* made by another thread meanwhile */
    pthread_mutex_unlock(&names_lock);
    return kept;
  }
  struct found found = {NULL};
  if (symbols) backtrace_syminfo(symbols, (uintptr_t)pc, found_symbol, no_error, &found);
  Dl_info info;
  const char* module = dladdr(pc, &info) ? info.dli_fname : NULL;
  char* demangled = NULL;
  if (found.name && __cxa_demangle) {
    int status = 0;
    demangled = __cxa_demangle(found.name, NULL, NULL, &status);
  }
  char address[32];
  const char* name = demangled ? demangled : found.name;
  if (!name) {
    /* no symbol: the address, as a name of its own */
    static const char kDigits[] = "0123456789abcdef";
    uintptr_t v = (uintptr_t)pc;
    char* at = address + sizeof address - 1;
    *at = '\0';
    do *--at = kDigits[v & 15];
    while ((v >>= 4) != 0 && at > address + 2);
    *--at = 'x';
    *--at = '0';
    name = at;
  }
  char line[DRVX_TRACE_MAX_NAME + 1];
  size_t n = drvx_trace_line_form(name, module, line, DRVX_TRACE_MAX_NAME);
  if (n > DRVX_TRACE_MAX_NAME) n = DRVX_TRACE_MAX_NAME;
  line[n] = '\0';
  free(demangled);
  char* made = malloc(n + 3);
  if (made) {
    memcpy(made, line, n);
    memcpy(made + n, "\r\n", 3);
  }
  if (entry && made) atomic_store_explicit(&entry->line, made, memory_order_release);
  pthread_mutex_unlock(&names_lock);
  return made ? made : "(unnamed)\r\n";
}

/* '*' any characters, '?' one; the text ends at its CR LF. */
HOOK static int matches(const char* pattern, size_t length, const char* text) {
  const int at_end = *text == '\0' || *text == '\r';
  if (length == 0) return at_end;
  if (*pattern == '*') {
    for (;; ++text) {
      if (matches(pattern + 1, length - 1, text)) return 1;
      if (*text == '\0' || *text == '\r') return 0;
    }
  }
  if (at_end) return 0;
  return (*pattern == '?' || *pattern == *text) && matches(pattern + 1, length - 1, text + 1);
}

/* Whether the line (ending in CR LF) matches one of the ';' patterns. */
HOOK static int matches_any(const char* patterns, const char* line) {
  for (const char* p = patterns; *p;) {
    const char* end = strchr(p, ';');
    const size_t length = end ? (size_t)(end - p) : strlen(p);
    if (length > 0 && matches(p, length, line)) return 1;
    p += length + (end ? 1 : 0);
  }
  return 0;
}

HOOK static enum decision decide(void* fn) {
  struct function_entry* entry = entry_of(fn);
  if (!entry) return kKeep;
  int decision = atomic_load_explicit(&entry->decision, memory_order_acquire);
  if (decision != kUnknown) return decision == kPending ? kKeep : (enum decision)decision;
  int expected = kUnknown;
  if (!atomic_compare_exchange_strong(&entry->decision, &expected, kPending)) return kKeep;
  const char* line = line_of(fn);
  decision = matches_any(exclude, line)     ? kExclude
             : matches_any(record_at, line) ? kRecordAt
             : matches_any(send_at, line)   ? kSendAt
                                            : kKeep;
  atomic_store_explicit(&entry->decision, decision, memory_order_release);
  return (enum decision)decision;
}

HOOK __attribute__((constructor)) static void read_environment(void) {
  const char* at = getenv("DRVX_TRACE_SEND_AT");
  if (at) strncpy(send_at, at, sizeof send_at - 1);
  const char* record = getenv("DRVX_TRACE_RECORD");
  if (record) strncpy(record_at, record, sizeof record_at - 1);
  const char* out = getenv("DRVX_TRACE_EXCLUDE");
  if (out) strncpy(exclude, out, sizeof exclude - 1);
  const char* slot = getenv("DRVX_TRACE_SLOT");
  if (slot && *slot) strncpy(slot_name, slot, sizeof slot_name - 1);
  have_patterns = send_at[0] != '\0' || exclude[0] != '\0' || record_at[0] != '\0';
  const char* on_throw = getenv("DRVX_TRACE_ON_THROW");
  send_on_throw = on_throw && strcmp(on_throw, "1") == 0;
}

/* ---- recording: the thread's recorder gets a call for every function
 * entered above `base` (the depth where the recording began) and a return
 * for every one left. A recording that a function matching
 * DRVX_TRACE_RECORD began ends when that function is left; one begun by
 * drvx_trace_record_begin goes on until its end mark. */

struct recording_state {
  unsigned long long recording; /* the recorder's number this is for; 0: none */
  size_t base;
  int by_pattern;
};
static _Thread_local struct recording_state thread_recording
    __attribute__((tls_model("initial-exec")));

/* The state of the thread's recording, NULL when it records nothing; its
 * base is `depth` when the recording is new to the hooks. */
HOOK static struct recording_state* recording_at(size_t depth) {
  const unsigned long long number = drvx_trace_recording();
  struct recording_state* r = &thread_recording;
  if (number == 0) return NULL;
  if (r->recording != number) {
    r->recording = number;
    r->base = depth;
    r->by_pattern = 0;
  }
  return r;
}

/* The calls from depth `before` down to `after` were left. */
HOOK static void left_calls(size_t before, size_t after) {
  struct recording_state* r = recording_at(before);
  if (!r) return;
  for (size_t d = before; d > after && d > r->base; --d) drvx_trace_record_return();
  if (r->by_pattern && after <= r->base) drvx_trace_record_stop(); /* its function was left */
  else if (after < r->base) r->base = after;
}

HOOK static const char* line_of_key(uint64_t key) { return line_of((void*)(uintptr_t)key); }

/* The function `fn` was entered at `depth` (the calls below it). */
HOOK static void record_entered(void* fn, size_t depth, enum decision decision) {
  struct recording_state* r = recording_at(depth);
  if (!r && decision == kRecordAt && drvx_trace_record_start(slot_name)) {
    r = recording_at(depth);
    r->by_pattern = 1;
  }
  if (r) drvx_trace_record_call((uint64_t)(uintptr_t)fn, NULL, 0, line_of_key);
}

/* ---- the stack */

/* Takes off the calls left without their exit hook (an exception caught
 * further up, longjmp), as seen from a call being entered at `frame`
 * returning to `site`: those whose frames lie below it, and those of the
 * same frame that return elsewhere (an earlier call of the same caller). */
HOOK static void drop_left(struct calls* s, const char* frame, void* site) {
  const size_t before = s->depth;
  while (s->depth > s->cut) {
    const struct call* top = &s->ring[(s->depth - 1) & kMask];
    if (top->frame > frame || (top->frame == frame && top->site == site)) break;
    --s->depth;
  }
  if (s->cut > s->depth) s->cut = s->depth;
  if (s->depth != before) left_calls(before, s->depth);
}

/* For a send, from the frame of the send function itself: every call at
 * or below it is left. */
HOOK static void drop_below(struct calls* s, const char* frame) {
  const size_t before = s->depth;
  while (s->depth > s->cut && s->ring[(s->depth - 1) & kMask].frame <= frame) --s->depth;
  if (s->cut > s->depth) s->cut = s->depth;
  if (s->depth != before) left_calls(before, s->depth);
}

HOOK static long long now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

/* Whether a trigger may send now. */
HOOK static int throttle_allows(void) {
  const long long now = now_ms();
  long long start = atomic_load(&throttle_window_start);
  if (now - start >= DRVX_TRACE_AUTO_PERIOD_MS &&
      atomic_compare_exchange_strong(&throttle_window_start, &start, now))
    atomic_store(&throttle_sent_in_window, 0);
  if (atomic_fetch_add(&throttle_sent_in_window, 1) < DRVX_TRACE_AUTO_BURST) return 1;
  atomic_fetch_add(&skipped, 1);
  return 0;
}

/* The instrumented function's frame: the frame pointer our own frame saved.
 * Sound because this library and the instrumented code keep frame pointers
 * (-fno-omit-frame-pointer, which programs get from the library's options). */
#pragma GCC diagnostic ignored "-Wframe-address"

HOOK void __cyg_profile_func_enter(void* fn, void* site) {
  struct calls* s = &thread_calls;
  const char* frame = __builtin_frame_address(1);
  drop_left(s, frame, site);
  const enum decision decision = have_patterns ? decide(fn) : kKeep;
  if (decision == kExclude) return;
  const size_t i = s->depth;
  s->ring[i & kMask].fn = fn;
  s->ring[i & kMask].frame = frame;
  s->ring[i & kMask].site = site;
  if (i >= kDepth && s->cut < i - kDepth + 1) s->cut = i - kDepth + 1;
  s->depth = i + 1;
  if (decision == kRecordAt || drvx_trace_recording()) record_entered(fn, i, decision);
  if (decision == kSendAt && throttle_allows()) drvx_trace_auto_send_to(slot_name);
}

/* The frame is not looked at here: the compiler may call this hook after
 * the function's frame is gone (a tail call from its epilogue). Calls left
 * above the function (inlined ones an exception skipped) go with it. */
HOOK void __cyg_profile_func_exit(void* fn, void* site) {
  (void)site;
  struct calls* s = &thread_calls;
  const size_t before = s->depth;
  if (s->depth == s->cut) {
    if (s->depth > 0) --s->depth; /* a cut call: its place is gone, its count goes */
  } else {
    for (size_t i = s->depth, seen = 0; i > s->cut && seen < kExitSearch; --i, ++seen)
      if (s->ring[(i - 1) & kMask].fn == fn) {
        s->depth = i - 1;
        break;
      }
  }
  if (s->cut > s->depth) s->cut = s->depth;
  if (s->depth != before) left_calls(before, s->depth);
}

size_t drvx_trace_auto_depth(void) { return thread_calls.depth; }

unsigned long long drvx_trace_auto_skipped(void) { return atomic_load(&skipped); }

enum { kMaxPieces = DRVX_TRACE_MAX_DEPTH + 1 };

/* Appends a line to a message's pieces. */
HOOK static void add_line(struct drvx_trace_piece* pieces, size_t* count, size_t* size,
                          const char* line, size_t length) {
  pieces[*count].data = line;
  pieces[*count].size = length;
  *size += length;
  ++*count;
}

/* The message's pieces for the thread's calls that still hold, as seen from
 * `frame`, the frame of the caller of the send. */
HOOK static size_t auto_pieces(const char* frame, struct drvx_trace_piece* pieces,
                               char cut_line[48], size_t* size) {
  struct calls* s = &thread_calls;
  drop_below(s, frame);
  size_t count = 0, total = 0;
  for (size_t i = s->depth; i > s->cut && count + 1 < kMaxPieces; --i) {
    const char* line = line_of(s->ring[(i - 1) & kMask].fn);
    add_line(pieces, &count, &total, line, strlen(line));
  }
  if (s->cut > 0) add_line(pieces, &count, &total, cut_line, drvx_trace_cut_line(s->cut, cut_line));
  *size = total;
  return count;
}

HOOK __attribute__((noinline)) size_t drvx_trace_auto_format(char* buffer, size_t size) {
  struct drvx_trace_piece pieces[kMaxPieces];
  char cut_line[48];
  size_t length = 0;
  const size_t count = auto_pieces(__builtin_frame_address(0), pieces, cut_line, &length);
  return drvx_trace_join(pieces, count, length, buffer, size);
}

HOOK __attribute__((noinline)) enum drvx_trace_result drvx_trace_auto_send_to(const char* slot) {
  struct drvx_trace_piece pieces[kMaxPieces];
  char cut_line[48];
  size_t length = 0;
  const size_t count = auto_pieces(__builtin_frame_address(0), pieces, cut_line, &length);
  return drvx_trace_counted_send(slot, pieces, count, length, thread_calls.cut);
}

HOOK enum drvx_trace_result drvx_trace_auto_send(void) { return drvx_trace_auto_send_to(slot_name); }

/* ---- a stack at any point, unwound */

struct unwound {
  struct drvx_trace_piece* pieces;
  size_t count;
  size_t size;
};

HOOK static int add_frame(void* data, uintptr_t pc) {
  struct unwound* u = data;
  if (pc == 0 || u->count + 1 >= kMaxPieces) return 1;
  const char* line = line_of((void*)(pc - 1)); /* within the call, not after it */
  add_line(u->pieces, &u->count, &u->size, line, strlen(line));
  return 0;
}

HOOK __attribute__((noinline)) enum drvx_trace_result drvx_trace_send_backtrace_to(const char* slot) {
  struct drvx_trace_piece pieces[kMaxPieces];
  struct unwound u = {pieces, 0, 0};
  pthread_once(&symbols_once, make_symbols);
  if (symbols) backtrace_simple(symbols, 1, add_frame, no_error, &u); /* not this function */
  /* What lies below main (the C library's start) is not the program's. */
  for (size_t i = u.count; i > 0; --i) {
    const size_t n = pieces[i - 1].size;
    if (n >= 7 && memcmp(pieces[i - 1].data + n - 7, ".main\r\n", 7) == 0) {
      while (u.count > i) u.size -= pieces[--u.count].size;
      break;
    }
  }
  return drvx_trace_counted_send(slot, pieces, u.count, u.size, 0);
}

HOOK enum drvx_trace_result drvx_trace_send_backtrace(void) {
  return drvx_trace_send_backtrace_to(slot_name);
}

/* ---- every C++ throw, when DRVX_TRACE_ON_THROW=1: the program's throws
 * come here first (this definition is the program's own), send the stack,
 * and go on to the C++ runtime's. */

typedef void (*throw_function)(void*, void*, void (*)(void*));

HOOK __attribute__((noreturn)) void __cxa_throw(void* thrown, void* type, void (*destroy)(void*)) {
  static _Atomic(throw_function) runtime;
  throw_function next = atomic_load(&runtime);
  if (!next) {
    void* found = dlsym(RTLD_NEXT, "__cxa_throw");
    memcpy(&next, &found, sizeof next); /* a function's address, as dlsym gives it */
    atomic_store(&runtime, next);
  }
  if (send_on_throw && throttle_allows()) drvx_trace_auto_send_to(slot_name);
  if (next) next(thrown, type, destroy);
  abort(); /* no C++ runtime, yet something threw */
}
