/* Sending on Windows: one write to the mailslot "\\.\mailslot\<slot>". A
 * mailslot write never waits for the reader. */
#include <stdio.h>
#include <windows.h>

#include "drvx_trace_system.h"

enum drvx_trace_result drvx_trace_system_send(const char* slot, const char* data, size_t size) {
  char path[96];
  const int n = snprintf(path, sizeof path, "\\\\.\\mailslot\\%s", slot);
  if (n < 0 || (size_t)n >= sizeof path || size > MAXDWORD) return DRVX_TRACE_FAILED;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? DRVX_TRACE_NO_RECEIVER : DRVX_TRACE_FAILED;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, data, (DWORD)size, &written, NULL);
  CloseHandle(file);
  return ok && written == size ? DRVX_TRACE_SENT : DRVX_TRACE_FAILED;
}
