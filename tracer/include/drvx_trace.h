/* drvx_trace: sends the calls that led to a point of a running program to
 * the Dravolex plug-in, which draws them as a sequence diagram.
 *
 * Each thread keeps its own stack of "Class.Method" names. Mark a function
 * with DRVX_TRACE_SCOPE("TOrder.Submit") in C++, or with drvx_trace_push()
 * and drvx_trace_pop() in C; call drvx_trace_send() where the calls that led
 * there are of interest. The message is the thread's stack, innermost call
 * first, one name per line, each line ending in CR LF: the text the plug-in
 * reads from its message slot "MbDRVX".
 *
 * Costs and guarantees:
 *   - push and pop take no lock, allocate nothing and make no system call;
 *     a name is copied (at most DRVX_TRACE_MAX_NAME bytes of it), so the
 *     caller's string may go away at once;
 *   - a stack deeper than DRVX_TRACE_MAX_DEPTH keeps its innermost calls; a
 *     message sent while outer calls are cut ends with the line
 *     "(N outer calls cut)", which the diagram shows as the first caller;
 *   - sending never blocks and never retries: without a receiver, with the
 *     receiver's queue full, or when the system refuses the message, the
 *     stack is dropped and counted (drvx_trace_get_counts);
 *   - every function may be called from any thread; each works on the
 *     calling thread's stack;
 *   - push, pop, depth, format and send are async-signal-safe on Linux: they
 *     allocate nothing, take no lock and leave errno as it was, so a signal
 *     handler may push, send and pop. A handler that interrupts its
 *     thread's push or pop pushes above it and never mixes the two names;
 *     its send holds the thread's whole calls below its own (a call being
 *     entered or left at that moment is not in it). A send keeps about
 *     4 KiB on the caller's stack. On Windows, a thread's first send makes
 *     its message buffer.
 *
 * A message is at most DRVX_TRACE_MAX_DEPTH lines of DRVX_TRACE_MAX_NAME + 2
 * bytes and a cut line, well below the 65536 bytes the plug-in reads. In a
 * name, CR and LF are sent as blanks (one line per call); an empty name is
 * sent as "(unnamed)".
 *
 * The slot: on Linux the datagram socket "mailslot.<name>" in the user's
 * private runtime folder ($XDG_RUNTIME_DIR when it is absolute, else
 * /tmp/dravolex-<uid>; only a real folder and a socket of the user's own are
 * used, and the socket is reached through the descriptor the folder was
 * checked by). Each thread keeps a socket connected to the receiver it
 * checked, so that a send is one system call; the checks are made again
 * when a send on it fails (the receiver ended, another may hold the slot
 * now), and the socket is closed when the thread ends. On Windows the
 * mailslot "\\.\mailslot\<name>". */
#ifndef DRVX_TRACE_H
#define DRVX_TRACE_H

#include <stddef.h>

#define DRVX_TRACE_MAX_DEPTH 256 /* calls kept per thread (a power of two) */
#define DRVX_TRACE_MAX_NAME 126  /* bytes kept of each name */
#define DRVX_TRACE_DEFAULT_SLOT "MbDRVX"
#define DRVX_TRACE_BATCH_SIZE 65536 /* the most bytes of a recording's batch */
#define DRVX_TRACE_RECORDING_LINE ".drvx-recording 1" /* a batch's first line */

#ifdef __cplusplus
extern "C" {
#endif

/* What a send did. */
enum drvx_trace_result {
  DRVX_TRACE_SENT = 0,
  DRVX_TRACE_NO_RECEIVER, /* nobody holds the slot */
  DRVX_TRACE_QUEUE_FULL,  /* the receiver has not caught up */
  DRVX_TRACE_TOO_LARGE,   /* the system refused the message's size */
  DRVX_TRACE_EMPTY,       /* the thread's stack was empty: nothing to send */
  DRVX_TRACE_FAILED       /* any other failure (a slot that is not the user's, a bad name) */
};

/* What every thread's sends did since the program started. */
struct drvx_trace_counts {
  unsigned long long sent;
  unsigned long long no_receiver;
  unsigned long long queue_full;
  unsigned long long too_large;
  unsigned long long empty;
  unsigned long long failed;
  unsigned long long cut; /* messages sent with outer calls cut */
};

/* Enters a call named `name` ("Class.Method"; NULL is taken as empty). */
void drvx_trace_push(const char* name);
/* Leaves the innermost call; does nothing on an empty stack. */
void drvx_trace_pop(void);
/* The number of calls on the calling thread's stack, cut ones included. */
size_t drvx_trace_depth(void);

/* Writes the message for the calling thread's stack into `buffer` when
 * `size` holds it; returns its length in bytes either way (no terminating
 * zero is written). */
size_t drvx_trace_format(char* buffer, size_t size);

/* Sends the calling thread's stack to the slot "MbDRVX", or to the slot
 * named `slot` (letters, digits, '.', '_', '-'). */
enum drvx_trace_result drvx_trace_send(void);
enum drvx_trace_result drvx_trace_send_to(const char* slot);

void drvx_trace_get_counts(struct drvx_trace_counts* out);

/* Recording: from drvx_trace_record_begin to drvx_trace_record_end, every
 * call the calling thread enters and leaves (its pushes and pops, and in
 * hook mode its instrumented functions) goes to the slot, in batches of at
 * most DRVX_TRACE_BATCH_SIZE bytes, and the plug-in draws the whole run as
 * one sequence diagram. Calls entered before the mark are not recorded, nor
 * are their returns. A batch goes out when it is full and when the
 * recording ends (at the end mark, when the thread ends, or when the
 * program exits); it never waits and is never sent again: a batch the slot
 * does not take is counted as lost, and the diagram shows the gap. Names
 * are sent once per recording (the first 4096 of them; later ones with each
 * call). A recording keeps about 470 KiB per thread, taken at the begin
 * mark and given back at its end; begin and end are not for signal
 * handlers. The wire format is in docs/recording-format.md of the project.
 *
 * Begins a recording of the calling thread to "MbDRVX", or to `slot`;
 * returns 0 when the thread records already, the slot's name is not valid
 * or there is no memory for it. */
int drvx_trace_record_begin(void);
int drvx_trace_record_begin_to(const char* slot);
/* Ends the calling thread's recording; nothing when it records nothing. */
void drvx_trace_record_end(void);

/* What every thread's recordings did since the program started. */
struct drvx_trace_record_counts {
  unsigned long long recordings;   /* begun */
  unsigned long long events;       /* calls and returns recorded */
  unsigned long long batches_sent;
  unsigned long long batches_lost; /* not taken by the slot */
};
void drvx_trace_get_record_counts(struct drvx_trace_record_counts* out);

#ifdef __cplusplus
} /* extern "C" */

namespace drvx_trace {

/* Pushes on construction and pops on destruction, also when an exception
 * leaves the scope. */
class Scope {
 public:
  explicit Scope(const char* name) noexcept { drvx_trace_push(name); }
  ~Scope() { drvx_trace_pop(); }
  Scope(const Scope&) = delete;
  Scope& operator=(const Scope&) = delete;
};

}  /* namespace drvx_trace */

#define DRVX_TRACE_CONCAT_(a, b) a##b
#define DRVX_TRACE_CONCAT(a, b) DRVX_TRACE_CONCAT_(a, b)
/* Traces the enclosing scope as the call `name`. */
#define DRVX_TRACE_SCOPE(name) \
  ::drvx_trace::Scope DRVX_TRACE_CONCAT(drvx_trace_scope_, __LINE__)(name)
#endif

#endif /* DRVX_TRACE_H */
