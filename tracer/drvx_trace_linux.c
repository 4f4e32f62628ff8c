/* Sending on Linux: one datagram to the socket file "mailslot.<slot>" in the
 * user's private runtime folder, where the plug-in's receiver binds it. The
 * folder is opened once and checked through the opened descriptor, and the
 * datagram is addressed through that descriptor ("/proc/self/fd/N/..."), so
 * a folder exchanged after the check is never the one sent to. Only calls
 * that are async-signal-safe, and no allocation. */
#define _GNU_SOURCE

#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/un.h>
#include <unistd.h>

#include "drvx_trace_system.h"

/* The pieces are handed to the system as they are. */
_Static_assert(sizeof(struct drvx_trace_piece) == sizeof(struct iovec) &&
                   offsetof(struct drvx_trace_piece, data) == offsetof(struct iovec, iov_base) &&
                   offsetof(struct drvx_trace_piece, size) == offsetof(struct iovec, iov_len),
               "a piece is laid out as an iovec");

/* Text written at `at` within `end`; NULL once it does not fit. */
static char* put_text(char* at, const char* end, const char* text) {
  for (; at && *text; ++text) {
    if (at == end) return NULL;
    *at++ = *text;
  }
  return at;
}

static char* put_number(char* at, const char* end, unsigned long value) {
  char digits[24];
  size_t n = 0;
  do digits[n++] = (char)('0' + value % 10);
  while ((value /= 10) != 0);
  while (at && n > 0) {
    if (at == end) return NULL;
    *at++ = digits[--n];
  }
  return at;
}

/* Opens the user's runtime folder: $XDG_RUNTIME_DIR when absolute (a
 * relative one is ignored, as the XDG rules say), else /tmp/dravolex-<uid>;
 * only a real folder of the user's own that nobody else may open. -1 when
 * there is none such. */
static int open_private_folder(void) {
  char folder[4096];
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  char* end = runtime && runtime[0] == '/'
                  ? put_text(folder, folder + sizeof folder - 1, runtime)
                  : put_number(put_text(folder, folder + sizeof folder - 1, "/tmp/dravolex-"),
                               folder + sizeof folder - 1, (unsigned long)geteuid());
  if (!end) return -1;
  *end = '\0';
  const int fd = open(folder, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat info;
  if (fstat(fd, &info) != 0 || info.st_uid != geteuid() || (info.st_mode & 077) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

static enum drvx_trace_result result_of(int error) {
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

enum drvx_trace_result drvx_trace_system_send(const char* slot, const struct drvx_trace_piece* pieces,
                                              size_t count, size_t size) {
  (void)size;
  const int saved = errno; /* a signal handler leaves errno as it found it */
  const int folder = open_private_folder();
  if (folder < 0) {
    errno = saved;
    return DRVX_TRACE_NO_RECEIVER;
  }
  /* The slot's file, and its address through the opened folder. */
  char name[80];
  char* name_end = put_text(name, name + sizeof name - 1, "mailslot.");
  name_end = put_text(name_end, name + sizeof name - 1, slot);
  struct sockaddr_un address;
  memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  const char* path_end = address.sun_path + sizeof address.sun_path - 1;
  char* at = put_text(address.sun_path, path_end, "/proc/self/fd/");
  at = put_text(put_number(at, path_end, (unsigned long)folder), path_end, "/");
  if (name_end) {
    *name_end = '\0';
    at = put_text(at, path_end, name);
  }
  enum drvx_trace_result result = DRVX_TRACE_FAILED;
  struct stat info;
  if (!name_end || !at) {
    /* a name too long for a socket address: DRVX_TRACE_FAILED */
  } else if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    result = DRVX_TRACE_NO_RECEIVER;
  } else if (S_ISSOCK(info.st_mode) && info.st_uid == geteuid()) {
    const int s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s >= 0) {
      struct msghdr message;
      memset(&message, 0, sizeof message);
      message.msg_name = &address;
      message.msg_namelen = sizeof address;
      message.msg_iov = (struct iovec*)(void*)pieces;
      message.msg_iovlen = count;
      result = sendmsg(s, &message, MSG_DONTWAIT | MSG_NOSIGNAL) >= 0 ? DRVX_TRACE_SENT
                                                                       : result_of(errno);
      close(s);
    }
  }
  close(folder);
  errno = saved;
  return result;
}
