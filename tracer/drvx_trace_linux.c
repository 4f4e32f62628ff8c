/* Sending on Linux: one datagram to the socket file "mailslot.<slot>" in the
 * user's private runtime folder, where the plug-in's receiver binds it. The
 * folder is opened once and checked through the opened descriptor, and the
 * socket is connected through that descriptor ("/proc/self/fd/N/..."), so
 * a folder exchanged after the check is never the one sent to. Only calls
 * that are async-signal-safe, and no allocation. */
#define _GNU_SOURCE

#include <errno.h>
#include <pthread.h>
#include <signal.h>
#include <stdatomic.h>
#include <stdint.h>
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

/* A socket connected to the slot's receiver, after the checks: the folder is
 * the user's private one, the slot's file a socket of the user's own. The
 * connection holds on to that receiver, so a folder or file exchanged later
 * is never sent to. -1 with *result saying why when there is none. */
static int connect_checked(const char* slot, enum drvx_trace_result* result) {
  *result = DRVX_TRACE_NO_RECEIVER;
  const int folder = open_private_folder();
  if (folder < 0) return -1;
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
  int s = -1;
  struct stat info;
  if (!name_end || !at) {
    *result = DRVX_TRACE_FAILED; /* a name too long for a socket address */
  } else if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    *result = DRVX_TRACE_NO_RECEIVER;
  } else if (!S_ISSOCK(info.st_mode) || info.st_uid != geteuid()) {
    *result = DRVX_TRACE_FAILED;
  } else if ((s = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0)) < 0) {
    *result = DRVX_TRACE_FAILED;
  } else if (connect(s, (const struct sockaddr*)&address, sizeof address) != 0) {
    *result = result_of(errno);
    close(s);
    s = -1;
  }
  close(folder);
  return s;
}

static enum drvx_trace_result send_on(int s, const struct drvx_trace_piece* pieces, size_t count) {
  struct msghdr message;
  memset(&message, 0, sizeof message);
  message.msg_iov = (struct iovec*)(void*)pieces;
  message.msg_iovlen = count;
  return sendmsg(s, &message, MSG_DONTWAIT | MSG_NOSIGNAL) >= 0 ? DRVX_TRACE_SENT
                                                                 : result_of(errno);
}

/* Each thread keeps the connected socket of the slot it sent to last, so
 * that a send is one system call; the checks are made again only when a
 * send on it fails for another reason than a full queue (the receiver went,
 * another may hold the slot now). A thread's socket is closed when the
 * thread ends, through the key made when the program starts. */
struct cached_slot {
  int socket;
  char slot[72];
};
static _Thread_local struct cached_slot cache = {-1, {0}};
/* Set while the thread is in a send: a signal handler's send meanwhile
 * makes a socket of its own and leaves the cache alone. */
static _Thread_local volatile sig_atomic_t in_send;
static pthread_key_t cache_key;
static int cache_key_made;

static void close_cached(void* value) { close((int)((intptr_t)value - 1)); }

__attribute__((constructor)) static void make_cache_key(void) {
  cache_key_made = pthread_key_create(&cache_key, close_cached) == 0;
}

static void forget_cached(void) {
  if (cache.socket < 0) return;
  close(cache.socket);
  cache.socket = -1;
  if (cache_key_made) pthread_setspecific(cache_key, NULL);
}

static enum drvx_trace_result send_cached(const char* slot, const struct drvx_trace_piece* pieces,
                                          size_t count) {
  if (cache.socket >= 0 && strcmp(cache.slot, slot) == 0) {
    const enum drvx_trace_result result = send_on(cache.socket, pieces, count);
    if (result == DRVX_TRACE_SENT || result == DRVX_TRACE_QUEUE_FULL ||
        result == DRVX_TRACE_TOO_LARGE)
      return result;
  }
  forget_cached();
  enum drvx_trace_result result;
  const int s = connect_checked(slot, &result);
  if (s < 0) return result;
  cache.socket = s;
  strcpy(cache.slot, slot); /* checked by the caller: at most 64 bytes */
  if (cache_key_made) pthread_setspecific(cache_key, (void*)(intptr_t)(s + 1));
  return send_on(s, pieces, count);
}

enum drvx_trace_result drvx_trace_system_send(const char* slot, const struct drvx_trace_piece* pieces,
                                              size_t count, size_t size) {
  (void)size;
  const int saved = errno; /* a signal handler leaves errno as it found it */
  enum drvx_trace_result result;
  if (!in_send) {
    in_send = 1;
    atomic_signal_fence(memory_order_seq_cst);
    result = send_cached(slot, pieces, count);
    atomic_signal_fence(memory_order_seq_cst);
    in_send = 0;
  } else {
    const int s = connect_checked(slot, &result);
    if (s >= 0) {
      result = send_on(s, pieces, count);
      close(s);
    }
  }
  errno = saved;
  return result;
}

void drvx_trace_system_identity(struct drvx_trace_identity* out) {
  out->process = (unsigned long long)getpid();
  out->thread = (unsigned long long)gettid();
  strncpy(out->program, program_invocation_short_name, sizeof out->program - 1);
  out->program[sizeof out->program - 1] = '\0';
}

/* A recording's end when its thread ends, through a key made once. */
static pthread_key_t end_key;
static pthread_once_t end_key_once = PTHREAD_ONCE_INIT;
static void (*thread_end)(void*);

static void call_thread_end(void* value) {
  if (thread_end) thread_end(value);
}

static void make_end_key(void) { pthread_key_create(&end_key, call_thread_end); }

void drvx_trace_system_at_thread_end(void (*end)(void*), void* value) {
  pthread_once(&end_key_once, make_end_key);
  if (end) thread_end = end;
  pthread_setspecific(end_key, end ? value : NULL);
}
