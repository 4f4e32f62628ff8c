/* Sending on Windows: one write to the mailslot "\\.\mailslot\<slot>". A
 * mailslot write never waits for the reader. WriteFile takes one buffer: the
 * pieces are put together in a buffer of the thread's own (made when the
 * thread first sends), as large as a recording's batch. */
#include <string.h>
#include <windows.h>

#include "drvx_trace_system.h"

/* Large enough for a recording's batch, and so for any call stack. */
_Static_assert(DRVX_TRACE_BATCH_SIZE >= DRVX_TRACE_MAX_DEPTH * (DRVX_TRACE_MAX_NAME + 2) + 64,
               "a batch holds the largest call stack");
static _Thread_local char message[DRVX_TRACE_BATCH_SIZE];

enum drvx_trace_result drvx_trace_system_send(const char* slot, const struct drvx_trace_piece* pieces,
                                              size_t count, size_t size) {
  char path[96] = "\\\\.\\mailslot\\";
  const size_t prefix = strlen(path), name = strlen(slot);
  if (prefix + name >= sizeof path || size > sizeof message) return DRVX_TRACE_FAILED;
  memcpy(path + prefix, slot, name + 1);
  size_t at = 0;
  for (size_t i = 0; i < count; at += pieces[i].size, ++i) memcpy(message + at, pieces[i].data, pieces[i].size);
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? DRVX_TRACE_NO_RECEIVER : DRVX_TRACE_FAILED;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, message, (DWORD)size, &written, NULL);
  CloseHandle(file);
  return ok && written == size ? DRVX_TRACE_SENT : DRVX_TRACE_FAILED;
}

void drvx_trace_system_identity(struct drvx_trace_identity* out) {
  out->process = GetCurrentProcessId();
  out->thread = GetCurrentThreadId();
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
  const char* name = path;
  for (DWORD i = 0; i < n && i < sizeof path; ++i)
    if (path[i] == '\\' || path[i] == '/') name = path + i + 1;
  if (n == 0 || n >= sizeof path) name = "(program)";
  strncpy(out->program, name, sizeof out->program - 1);
  out->program[sizeof out->program - 1] = '\0';
}

/* A recording's end when its thread ends: a fiber-local value's callback,
 * which Windows calls as the thread ends. */
static DWORD end_index = FLS_OUT_OF_INDEXES;
static void (*thread_end)(void*);
static INIT_ONCE end_once = INIT_ONCE_STATIC_INIT;

static void WINAPI call_thread_end(void* value) {
  if (value && thread_end) thread_end(value);
}

static BOOL CALLBACK make_end_index(INIT_ONCE* once, void* parameter, void** context) {
  (void)once, (void)parameter, (void)context;
  end_index = FlsAlloc(call_thread_end);
  return TRUE;
}

void drvx_trace_system_at_thread_end(void (*end)(void*), void* value) {
  InitOnceExecuteOnce(&end_once, make_end_index, NULL, NULL);
  if (end_index == FLS_OUT_OF_INDEXES) return;
  if (end) thread_end = end;
  FlsSetValue(end_index, end ? value : NULL);
}
