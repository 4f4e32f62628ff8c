/* The line form of a function's name: see drvx_trace_line_form in
 * drvx_trace_auto.h for the rule. Works in the caller's buffer and on the
 * stack; allocates nothing. */
#include <string.h>

#include "drvx_trace_auto.h"

enum { kMaxText = 1024, kMaxParts = 32 };

static int starts_with(const char* text, const char* prefix) {
  return strncmp(text, prefix, strlen(prefix)) == 0;
}

/* Whether `at` (within `text`) begins the keyword "operator" as a word. */
static int operator_at(const char* text, const char* at) {
  if (!starts_with(at, "operator")) return 0;
  if (at > text && (at[-1] == '_' || (at[-1] >= 'a' && at[-1] <= 'z') ||
                    (at[-1] >= 'A' && at[-1] <= 'Z') || (at[-1] >= '0' && at[-1] <= '9')))
    return 0;
  const char next = at[8];
  return !(next == '_' || (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') ||
           (next >= '0' && next <= '9'));
}

static int opens(char c) { return c == '<' || c == '(' || c == '[' || c == '{'; }
static int closes(char c) { return c == '>' || c == ')' || c == ']' || c == '}'; }

/* Cuts trailing qualifiers of a function (" const", " &", " noexcept", ...). */
static void cut_qualifiers(char* text) {
  static const char* const kQualifiers[] = {" const", " volatile", " &&", " &", " noexcept"};
  for (int again = 1; again;) {
    again = 0;
    const size_t n = strlen(text);
    for (size_t q = 0; q < sizeof kQualifiers / sizeof kQualifiers[0]; ++q) {
      const size_t k = strlen(kQualifiers[q]);
      if (n >= k && strcmp(text + n - k, kQualifiers[q]) == 0) {
        text[n - k] = '\0';
        again = 1;
      }
    }
  }
}

/* Cuts a trailing "(...)" (balanced) from `text`; 1 when there was one. */
static int cut_parameters(char* text) {
  cut_qualifiers(text);
  size_t n = strlen(text);
  if (n == 0 || text[n - 1] != ')') return 0;
  int depth = 0;
  for (size_t i = n; i > 0; --i) {
    const char c = text[i - 1];
    if (closes(c)) ++depth;
    if (opens(c) && --depth == 0) {
      if (i == 1) return 0; /* all of it in parentheses: "(anonymous namespace)" */
      text[i - 1] = '\0';
      return 1;
    }
  }
  return 0;
}

/* A part of a lambda "{lambda(int)#2}" becomes "lambda#2". */
static void name_lambda(char* part) {
  if (!starts_with(part, "{lambda")) return;
  const char* hash = strrchr(part, '#');
  char number[16] = "";
  if (hash) {
    size_t k = 0;
    for (const char* d = hash + 1; *d >= '0' && *d <= '9' && k + 1 < sizeof number; ++d)
      number[k++] = *d;
    number[k] = '\0';
  }
  strcpy(part, "lambda");
  if (number[0]) {
    strcat(part, "#");
    strcat(part, number);
  }
}

/* Appends text to out within size; returns the new length. */
static size_t put(char* out, size_t size, size_t at, const char* text, size_t n) {
  for (size_t i = 0; i < n; ++i, ++at)
    if (at < size) out[at] = text[i];
  return at;
}

size_t drvx_trace_line_form(const char* name, const char* module, char* out, size_t size) {
  char text[kMaxText];
  if (!name || !*name) name = "(unnamed)";
  strncpy(text, name, sizeof text - 1);
  text[sizeof text - 1] = '\0';
  /* " [clone .cold]" and the like, and for names that are not demangled C++
   * (no parameter list) the compiler's ".cold", ".part.0", ".isra.0". */
  char* clone = strstr(text, " [clone");
  if (clone) *clone = '\0';
  if (!strchr(text, '(')) {
    char* dot = strchr(text, '.');
    if (dot && dot != text) *dot = '\0';
  }
  cut_parameters(text);
  /* Where an operator begins, and the return type before the name: the
   * last blank at the outer level before the operator. */
  const char* op = NULL;
  size_t start = 0;
  int depth = 0;
  for (const char* c = text; *c; ++c) {
    if (!op && operator_at(text, c)) {
      op = c;
      break;
    }
    if (opens(*c)) ++depth;
    else if (closes(*c) && depth > 0) --depth;
    else if (*c == ' ' && depth == 0) start = (size_t)(c - text) + 1;
  }
  /* The parts between "::" at the outer level; an operator is the last. */
  char parts[kMaxParts][kMaxText];
  int functions[kMaxParts];
  int count = 0;
  const char* part = text + start;
  depth = 0;
  for (const char* c = part;; ++c) {
    const int at_operator = op && c == op;
    const int end = *c == '\0' || at_operator || (depth == 0 && c[0] == ':' && c[1] == ':');
    if (!end) {
      if (opens(*c)) ++depth;
      else if (closes(*c) && depth > 0) --depth;
      continue;
    }
    if (count == kMaxParts) break;
    const char* from = part;
    const char* to = at_operator ? c + strlen(c) : c;
    size_t n = (size_t)(to - from);
    if (n >= sizeof parts[0]) n = sizeof parts[0] - 1;
    memcpy(parts[count], from, n);
    parts[count][n] = '\0';
    /* "(anonymous namespace)" and an operator ("operator()") keep their
     * parentheses. */
    functions[count] = !at_operator && parts[count][0] != '(' && cut_parameters(parts[count]);
    name_lambda(parts[count]);
    ++count;
    if (*c == '\0' || at_operator) break;
    c += 1; /* the second ':' */
    part = c + 1;
  }
  /* A lambda's call operator is the lambda. */
  if (count >= 2 && strcmp(parts[count - 1], "operator()") == 0 &&
      starts_with(parts[count - 2], "lambda"))
    --count;
  /* The role: the parts before the outermost function (the last part when
   * none has parameters); the message: the rest. */
  int first = count - 1;
  for (int i = 0; i < count - 1; ++i)
    if (functions[i]) {
      first = i;
      break;
    }
  size_t at = 0;
  if (first <= 0) {
    /* A free function: its module is the role. */
    const char* base = module && *module ? module : "(global)";
    const char* slash = strrchr(base, '/');
    if (slash && slash[1]) base = slash + 1;
    for (const char* b = base; *b; ++b) at = put(out, size, at, *b == '.' ? "_" : b, 1);
  } else {
    for (int i = 0; i < first; ++i) {
      if (i > 0) at = put(out, size, at, "::", 2);
      for (const char* b = parts[i]; *b; ++b) at = put(out, size, at, *b == '.' ? "_" : b, 1);
    }
  }
  at = put(out, size, at, ".", 1);
  for (int i = first < 0 ? 0 : first; i < count; ++i) {
    if (i > (first < 0 ? 0 : first)) at = put(out, size, at, "::", 2);
    at = put(out, size, at, parts[i], strlen(parts[i]));
  }
  return at;
}
