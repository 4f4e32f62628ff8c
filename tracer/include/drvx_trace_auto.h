/* drvx_trace_auto: traces a program built with -finstrument-functions (GCC
 * or Clang, Linux) without any change to its code. Link it, compile the
 * program's code with
 *
 *     -finstrument-functions -fno-omit-frame-pointer
 *
 * and it keeps, per thread, the address and frame of every function entered
 * (no name lookup, no lock, no allocation and no system call when a function
 * is entered or left). Names are looked up only when a stack is sent, in
 * the program's and its libraries' symbol tables (static functions and
 * those of anonymous namespaces included), once per function.
 *
 * Environment, read when the program starts:
 *   DRVX_TRACE_SEND_AT   patterns on the line form ("TOrder.Submit",
 *                        "TOrder.*", "*.Save?"; '*' any characters, '?' one;
 *                        several separated by ';'): entering a function that
 *                        matches sends the thread's stack, that function
 *                        innermost;
 *   DRVX_TRACE_RECORD    patterns as for DRVX_TRACE_SEND_AT: entering a
 *                        function that matches, while the thread records
 *                        nothing, begins a recording (drvx_trace.h) of
 *                        everything below it, which ends when the function
 *                        is left;
 *   DRVX_TRACE_EXCLUDE   patterns of functions never kept (nor their
 *                        sends);
 *   DRVX_TRACE_ON_THROW  "1": every C++ throw sends the stack, the function
 *                        that throws innermost;
 *   DRVX_TRACE_SLOT      the slot sent to (default "MbDRVX").
 * Sends from triggers are throttled: at most DRVX_TRACE_AUTO_BURST in a
 * row, then one per DRVX_TRACE_AUTO_PERIOD_MS milliseconds; the ones left
 * out are counted (drvx_trace_auto_skipped), the program never waits.
 *
 * A frame left without its exit (an exception caught further up, longjmp)
 * is noticed by the next function entered or left, or the next send, on
 * that thread, from the frames' addresses: a stack sent afterwards is the
 * true one. */
#ifndef DRVX_TRACE_AUTO_H
#define DRVX_TRACE_AUTO_H

#include <stddef.h>

#include "drvx_trace.h"

#define DRVX_TRACE_AUTO_BURST 16
#define DRVX_TRACE_AUTO_PERIOD_MS 100

#ifdef __cplusplus
extern "C" {
#endif

/* Sends the calling thread's stack of instrumented functions, innermost
 * first, in the line form; to "MbDRVX" (or DRVX_TRACE_SLOT), or to `slot`. */
enum drvx_trace_result drvx_trace_auto_send(void);
enum drvx_trace_result drvx_trace_auto_send_to(const char* slot);

/* Sends the calling thread's real stack, unwound from here, innermost
 * first, in the line form: for any program, with hooks or without. Up to
 * DRVX_TRACE_MAX_DEPTH calls; the C library's frames below main are left
 * out. */
enum drvx_trace_result drvx_trace_send_backtrace(void);
enum drvx_trace_result drvx_trace_send_backtrace_to(const char* slot);

/* Writes the hook mode's message into `buffer` when `size` holds it;
 * returns its length either way. */
size_t drvx_trace_auto_format(char* buffer, size_t size);

/* How many instrumented calls the calling thread is in. */
size_t drvx_trace_auto_depth(void);

/* Trigger sends left out by the throttle, over all threads. */
unsigned long long drvx_trace_auto_skipped(void);

/* The line form of a function's name, as the plug-in reads it: "Role.Message".
 *   - A demangled C++ name loses its parameters, qualifiers, return type and
 *     " [clone ...]" suffix; a C name its ".cold", ".part.N", ... suffix.
 *   - It is split at "::" outside template arguments and parentheses; the
 *     role is every part before the function, the message the function:
 *     "ns::TOrder::Submit(int) const" is "ns::TOrder.Submit";
 *     "std::vector<a::B>::push_back(a::B const&)" is
 *     "std::vector<a::B>.push_back"; "T::operator<(T const&)" is
 *     "T.operator<".
 *   - A lambda is named after the function it is in:
 *     "T::run()::{lambda(int)#1}::operator()(int) const" is
 *     "T.run::lambda#1".
 *   - A free function in a namespace has the namespace as its role
 *     ("util::parse(char const*)" is "util.parse"); one outside any
 *     namespace (C functions, main) has its module's file name, with '.'
 *     made '_' ("main" in /usr/bin/shop is "shop.main"), or "(global)"
 *     when no module is given.
 * Writes at most `size` bytes (no terminating zero) and returns the length
 * of the whole form. */
size_t drvx_trace_line_form(const char* name, const char* module, char* out, size_t size);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* DRVX_TRACE_AUTO_H */
