#include "startup/command_line.h"

#include <string.h>

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

// Appends `text` at `*used` when it fits with its terminating zero.
static int append(char *out, int out_size, int *used, const char *text)
{
    size_t length = strlen(text);
    if (length >= (size_t)(out_size - *used))
        return 0;
    memcpy(out + *used, text, length + 1);
    *used += (int)length;
    return 1;
}

static int start(char *out, int out_size, int *used)
{
    if (!out || out_size <= 0)
        return 0;
    out[0] = '\0';
    *used = 0;
    return 1;
}

int compose_temp_dir(const char *windows_dir, char *out, int out_size)
{
    int used;
    if (!start(out, out_size, &used))
        return 0;
    size_t length = strlen(windows_dir);
    const char *rest = (length > 0 && windows_dir[length - 1] == '\\') ? "temp\\" : "\\temp\\";
    if (append(out, out_size, &used, windows_dir) && append(out, out_size, &used, rest))
        return 1;
    out[0] = '\0';
    return 0;
}

int compose_file_path(const char *folder, const char *name, char *out, int out_size)
{
    int used;
    if (!start(out, out_size, &used))
        return 0;
    if (append(out, out_size, &used, folder) && append(out, out_size, &used, name))
        return 1;
    out[0] = '\0';
    return 0;
}

int join_arguments(const char *const *arguments, int count, char *out, int out_size)
{
    int used;
    if (!start(out, out_size, &used))
        return 0;
    for (int i = 0; i < count; i++) {
        if ((i > 0 && !append(out, out_size, &used, " "))
            || !append(out, out_size, &used, arguments[i])) {
            out[0] = '\0';
            return 0;
        }
    }
    return 1;
}

int quote_if_blank(const char *path, char *out, int out_size)
{
    int used;
    if (!start(out, out_size, &used))
        return 0;
    int blank = strchr(path, ' ') != NULL || strchr(path, '\t') != NULL;
    if ((!blank || append(out, out_size, &used, "\""))
        && append(out, out_size, &used, path)
        && (!blank || append(out, out_size, &used, "\"")))
        return 1;
    out[0] = '\0';
    return 0;
}
