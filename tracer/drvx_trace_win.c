/* Sending on Windows: one write to the mailslot "\\.\mailslot\<slot>". A
 * mailslot write never waits for the reader. WriteFile takes one buffer: the
 * pieces are put together in a buffer of the thread's own (made when the
 * thread first sends). */
#include <string.h>
#include <windows.h>

#include "drvx_trace_system.h"

static _Thread_local char message[DRVX_TRACE_MAX_DEPTH * (DRVX_TRACE_MAX_NAME + 2) + 64];

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
