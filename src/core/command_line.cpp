#include "core/command_line.h"

#include <stdarg.h>
#include <string.h>

#include "base/format_fits.h"

const char *command_tail(const char *command_line)
{
    const unsigned char *p = (const unsigned char *)command_line;
    if (*p == '"') {
        p++;
        while (*p != '\0' && *p != '"')
            p++;
        if (*p == '"')
            p++;
    } else {
        while (*p > ' ')
            p++;
    }
    while (*p != '\0' && *p <= ' ')
        p++;
    return (const char *)p;
}

// A result that does not fit leaves nothing behind.
static int compose(char *out, int out_size, const char *format, ...) __attribute__((format(printf, 3, 4)));
static int compose(char *out, int out_size, const char *format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    int fitted = vformat_fits(out, (size_t)out_size, format, arguments);
    va_end(arguments);
    if (!fitted)
        out[0] = '\0';
    return fitted;
}

int compose_temp_dir(const char *windows_dir, char *out, int out_size)
{
    size_t length = strlen(windows_dir);
    const char *rest = (length > 0 && windows_dir[length - 1] == '\\') ? "temp\\" : "\\temp\\";
    return compose(out, out_size, "%s%s", windows_dir, rest);
}

int compose_file_path(const char *folder, const char *name, char *out, int out_size)
{
    return compose(out, out_size, "%s%s", folder, name);
}

int join_arguments(const char *const *arguments, int count, char *out, int out_size)
{
    out[0] = '\0';
    for (int i = 0; i < count; i++) {
        int used = (int)strlen(out);
        if (!compose(out + used, out_size - used, "%s%s", i > 0 ? " " : "", arguments[i])) {
            out[0] = '\0';
            return 0;
        }
    }
    return 1;
}

int quote_if_blank(const char *path, char *out, int out_size)
{
    int blank = strchr(path, ' ') != NULL || strchr(path, '\t') != NULL;
    return blank ? compose(out, out_size, "\"%s\"", path) : compose(out, out_size, "%s", path);
}
