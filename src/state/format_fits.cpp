#include "state/format_fits.h"

#include <stdio.h>

#include "script/fatal.h"

int vformat_fits(char *out, size_t size, const char *format, va_list arguments)
{
    int n = vsnprintf(out, size, format, arguments);
    return n >= 0 && (size_t)n < size;
}

int format_fits(char *out, size_t size, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int fitted = vformat_fits(out, size, format, arguments);
    va_end(arguments);
    return fitted;
}

void format_must_fit(char *out, size_t size, Msg what, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int fitted = vformat_fits(out, size, format, arguments);
    va_end(arguments);
    if (!fitted)
        fatal_too_long(what, (int)size - 1);
}

void fatal_too_long(Msg what, int limit)
{
    char message[200];
    format_fits(message, sizeof message, text_of(Msg::too_long), text_of(what), limit);
    fatal_error(what, message);
}
