/* drvx_trace from signal handlers: a send from a handler allocates nothing
 * (an allocation there deadlocks when the handler interrupted the
 * allocator), and a handler's push that interrupts the thread's own push
 * never mixes their names. The program is linked with the allocator wrapped
 * (--wrap), so every allocation the tracer makes is seen here. Exits 0 when
 * every check held. */
#define _GNU_SOURCE
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include "drvx_trace.h"

static volatile sig_atomic_t in_handler;
static volatile sig_atomic_t handler_allocations;
static volatile sig_atomic_t handler_sends;
static char slot[64];

void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* p, size_t size);
void* __wrap_malloc(size_t size) {
  if (in_handler) ++handler_allocations;
  return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
  if (in_handler) ++handler_allocations;
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, size_t size) {
  if (in_handler) ++handler_allocations;
  return __real_realloc(p, size);
}

static void on_signal(int number) {
  (void)number;
  in_handler = 1;
  drvx_trace_push("TSignal.Handler");
  if (drvx_trace_send_to(slot) == DRVX_TRACE_SENT) ++handler_sends;
  drvx_trace_pop();
  in_handler = 0;
}

static int bind_receiver(void) {
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  struct sockaddr_un a;
  memset(&a, 0, sizeof a);
  a.sun_family = AF_UNIX;
  if (!runtime || snprintf(a.sun_path, sizeof a.sun_path, "%s/mailslot.%s", runtime, slot) >=
                      (int)sizeof a.sun_path)
    return -1;
  unlink(a.sun_path);
  const int s = socket(AF_UNIX, SOCK_DGRAM, 0);
  if (s < 0 || bind(s, (struct sockaddr*)&a, sizeof a) != 0) return -1;
  return s;
}

/* Every line of a message must be one of the names pushed. */
static int whole_names(const char* message, size_t length) {
  static const char* const names[] = {"TSignal.Handler", "TMain.Outer", "TMain.Inner"};
  size_t start = 0;
  while (start < length) {
    const char* end = memchr(message + start, '\r', length - start);
    if (!end) return 0;
    const size_t n = (size_t)(end - (message + start));
    int known = 0;
    for (size_t k = 0; k < sizeof names / sizeof names[0]; ++k)
      known |= strlen(names[k]) == n && memcmp(names[k], message + start, n) == 0;
    if (!known) {
      fprintf(stderr, "a torn name: \"%.*s\"\n", (int)n, message + start);
      return 0;
    }
    start += n + 2;
  }
  return 1;
}

static double seconds(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(void) {
  snprintf(slot, sizeof slot, "DrvxSignalTest-%d", (int)getpid());
  const int receiver = bind_receiver();
  if (receiver < 0) {
    fprintf(stderr, "cannot bind a receiver in $XDG_RUNTIME_DIR\n");
    return 1;
  }
  int failed = 0;
  char message[70000];

  /* A send from a handler, with the handler's call on top of the thread's. */
  signal(SIGUSR1, on_signal);
  drvx_trace_push("TMain.Outer");
  raise(SIGUSR1);
  const ssize_t n = recv(receiver, message, sizeof message, MSG_DONTWAIT);
  const char expected[] = "TSignal.Handler\r\nTMain.Outer\r\n";
  if (n != (ssize_t)strlen(expected) || memcmp(message, expected, strlen(expected)) != 0) {
    fprintf(stderr, "the handler's send did not arrive as its stack\n");
    failed = 1;
  }
  if (handler_allocations != 0) {
    fprintf(stderr, "a send from a signal handler allocated %d times\n", (int)handler_allocations);
    failed = 1;
  }

  /* A storm of handlers while the thread pushes and pops. */
  struct sigaction action;
  memset(&action, 0, sizeof action);
  action.sa_handler = on_signal;
  sigaction(SIGALRM, &action, NULL);
  const struct itimerval every = {{0, 50}, {0, 50}};
  setitimer(ITIMER_REAL, &every, NULL);
  long checked = 0;
  int torn = 0;
  const double end = seconds() + 1.5;
  while (seconds() < end && !torn) {
    for (int i = 0; i < 1000; ++i) {
      drvx_trace_push("TMain.Inner");
      drvx_trace_pop();
    }
    ssize_t got;
    while ((got = recv(receiver, message, sizeof message, MSG_DONTWAIT)) > 0) {
      ++checked;
      if (!whole_names(message, (size_t)got)) torn = failed = 1;
    }
  }
  const struct itimerval off = {{0, 0}, {0, 0}};
  setitimer(ITIMER_REAL, &off, NULL);
  drvx_trace_pop();
  if (checked < 100) {
    fprintf(stderr, "only %ld messages arrived from the handlers\n", checked);
    failed = 1;
  }
  if (handler_allocations != 0) {
    fprintf(stderr, "sends from signal handlers allocated %d times\n", (int)handler_allocations);
    failed = 1;
  }
  printf("%ld messages from signal handlers checked: %s\n", checked, failed ? "FAILED" : "passed");
  return failed;
}
