#include "state/format_fits.h"

#include <stdio.h>

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
