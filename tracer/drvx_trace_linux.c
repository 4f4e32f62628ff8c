/* Sending on Linux: one datagram to the socket file "mailslot.<slot>" in the
 * user's private runtime folder, where the plug-in's receiver binds it. */
#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "drvx_trace_system.h"

/* Only a folder of the user's own, that nobody else may open, holds a
 * receiver: anywhere else another user could pose as one. */
static int private_folder(const char* folder) {
  struct stat info;
  return lstat(folder, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
         (info.st_mode & 077) == 0;
}

enum drvx_trace_result drvx_trace_system_send(const char* slot, const char* data, size_t size) {
  struct sockaddr_un address;
  memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  char folder[sizeof address.sun_path];
  const int n = runtime && *runtime ? snprintf(folder, sizeof folder, "%s", runtime)
                                    : snprintf(folder, sizeof folder, "/tmp/dravolex-%u",
                                               (unsigned)geteuid());
  if (n < 0 || (size_t)n >= sizeof folder) return DRVX_TRACE_FAILED;
  if (!private_folder(folder)) return DRVX_TRACE_NO_RECEIVER;
  const int m = snprintf(address.sun_path, sizeof address.sun_path, "%s/mailslot.%s", folder, slot);
  if (m < 0 || (size_t)m >= sizeof address.sun_path) return DRVX_TRACE_FAILED;

  struct stat info;
  if (lstat(address.sun_path, &info) != 0) return DRVX_TRACE_NO_RECEIVER;
  if (!S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) return DRVX_TRACE_FAILED;

  const int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (s < 0) return DRVX_TRACE_FAILED;
  const ssize_t sent = sendto(s, data, size, MSG_DONTWAIT | MSG_NOSIGNAL,
                              (const struct sockaddr*)&address, sizeof address);
  const int error = errno;
  close(s);
  if (sent >= 0) return DRVX_TRACE_SENT;
  switch (error) {
    case ENOENT:
    case ECONNREFUSED:
      return DRVX_TRACE_NO_RECEIVER;
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
    case ENOBUFS:
      return DRVX_TRACE_QUEUE_FULL;
    case EMSGSIZE:
      return DRVX_TRACE_TOO_LARGE;
    default:
      return DRVX_TRACE_FAILED;
  }
}
