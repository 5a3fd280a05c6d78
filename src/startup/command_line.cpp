#include "startup/command_line.h"

#include <string.h>

#include "state/format_fits.h"

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
static int fitted_or_empty(char *out, int fitted)
{
    if (!fitted)
        out[0] = '\0';
    return fitted;
}

int compose_temp_dir(const char *windows_dir, char *out, int out_size)
{
    if (!out || out_size <= 0)
        return 0;
    size_t length = strlen(windows_dir);
    const char *rest = (length > 0 && windows_dir[length - 1] == '\\') ? "temp\\" : "\\temp\\";
    return fitted_or_empty(out, format_fits(out, (size_t)out_size, "%s%s", windows_dir, rest));
}

int compose_file_path(const char *folder, const char *name, char *out, int out_size)
{
    if (!out || out_size <= 0)
        return 0;
    return fitted_or_empty(out, format_fits(out, (size_t)out_size, "%s%s", folder, name));
}

int join_arguments(const char *const *arguments, int count, char *out, int out_size)
{
    if (!out || out_size <= 0)
        return 0;
    out[0] = '\0';
    for (int i = 0; i < count; i++) {
        size_t used = strlen(out);
        if (!format_fits(out + used, (size_t)out_size - used, "%s%s", i > 0 ? " " : "", arguments[i]))
            return fitted_or_empty(out, 0);
    }
    return 1;
}

int quote_if_blank(const char *path, char *out, int out_size)
{
    if (!out || out_size <= 0)
        return 0;
    int blank = strchr(path, ' ') != NULL || strchr(path, '\t') != NULL;
    return fitted_or_empty(out, format_fits(out, (size_t)out_size, blank ? "\"%s\"" : "%s", path));
}
