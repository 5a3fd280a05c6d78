// Bounded formatting that says whether the whole text fitted.
#pragma once

#include <stdarg.h>
#include <stddef.h>

#include "text/messages.h"

// snprintf into `out`; 1 when the whole text fitted, 0 when it was cut.
int format_fits(char *out, size_t size, const char *format, ...)
    __attribute__((format(printf, 3, 4)));
int vformat_fits(char *out, size_t size, const char *format, va_list arguments);

// The same for a text that must fit: one that does not ends the program with
// the too-long text, filled with the name `what` and size - 1.
void format_must_fit(char *out, size_t size, Msg what, const char *format, ...)
    __attribute__((format(printf, 4, 5)));

// Ends the program with the too-long text filled with the name `what` and
// `limit`: a fatal error of the kind `what`.
[[noreturn]] void fatal_too_long(Msg what, int limit);
