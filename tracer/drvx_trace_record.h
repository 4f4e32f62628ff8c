/* Recordings: every call and return of a thread between two marks, sent to
 * the slot in numbered batches (docs/recording-format.md). The manual scopes
 * (drvx_trace.c) and the hook mode (auto/drvx_trace_auto.c) feed the calling
 * thread's recorder; this is the part they share. */
#ifndef DRVX_TRACE_RECORD_H
#define DRVX_TRACE_RECORD_H

#include <stddef.h>
#include <stdint.h>

/* Starts recording the calling thread to `slot` (a checked name); 0 when the
 * thread records already, or there is no memory for it. */
int drvx_trace_record_start(const char* slot);
/* The number of the calling thread's recording (counted from 1 in the
 * process); 0 when it records nothing. Read by every push and every hook,
 * so it is a variable, not a call. */
extern _Thread_local unsigned long long drvx_trace_thread_recording;
static inline unsigned long long drvx_trace_recording(void) { return drvx_trace_thread_recording; }
/* A call entered. `key` tells functions apart within the recording (an
 * address, or a digest of the name); `name` is its line form, `length`
 * bytes. A NULL `name` is asked of `line_of(key)` (a line form ending in
 * CR LF) when the recording meets the key first: the hook mode looks names
 * up once, not at every call. */
void drvx_trace_record_call(uint64_t key, const char* name, size_t length,
                            const char* (*line_of)(uint64_t key));
/* The innermost recorded call returned; nothing when none is open. */
void drvx_trace_record_return(void);
/* Ends the calling thread's recording: its last batch goes out. */
void drvx_trace_record_stop(void);

/* A digest of a name, for the manual scopes' keys. */
uint64_t drvx_trace_name_key(const char* name, size_t length);

#endif /* DRVX_TRACE_RECORD_H */
