#include "core/path_scan.h"

#include <string.h>

int next_separator(const char *path, int i, LeadBytePredicate is_lead)
{
    while (path[i] != '\\' && path[i] != '\0') {
        if (is_lead((unsigned char)path[i]) && path[i + 1] != '\0')
            i += 2;
        else
            i += 1;
    }
    return i;
}

int last_separator(const char *path, LeadBytePredicate is_lead)
{
    int last = -1;
    for (int i = next_separator(path, 0, is_lead); path[i] != '\0'; i = next_separator(path, i + 1, is_lead))
        last = i;
    return last;
}

int ends_with_separator(const char *path, LeadBytePredicate is_lead)
{
    int length = (int)strlen(path);
    return length > 0 && last_separator(path, is_lead) == length - 1;
}

static int is_separator(char c)
{
    return c == '\\' || c == '/';
}

// From `i`, the end of the component there: the next '\' or '/' or the zero.
static int component_end(const char *path, int i, LeadBytePredicate is_lead)
{
    while (!is_separator(path[i]) && path[i] != '\0')
        i += is_lead((unsigned char)path[i]) && path[i + 1] != '\0' ? 2 : 1;
    return i;
}

static int dots_and_blanks_only(const char *from, int length)
{
    for (int i = 0; i < length; i++)
        if (from[i] != '.' && from[i] != ' ')
            return 0;
    return 1;
}

// The named components of `path` from `i` on, or -1 when one is empty (a
// trailing separator aside), made of dots and blanks only, or holds a ':'
// (a stream name, where the platform's own parsing may differ from ours;
// 0x3A is never the second byte of a double-byte character).
static int plain_components(const char *path, int i, LeadBytePredicate is_lead)
{
    int depth = 0;
    while (path[i] != '\0') {
        int end = component_end(path, i, is_lead);
        if (end == i || dots_and_blanks_only(path + i, end - i) || memchr(path + i, ':', (size_t)(end - i)))
            return -1;
        depth++;
        i = path[end] == '\0' ? end : end + 1;
    }
    return depth;
}

int plain_path_depth(const char *path, LeadBytePredicate is_lead)
{
    char drive = path[0];
    if (!((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) || path[1] != ':'
        || !is_separator(path[2]))
        return -1;
    return plain_components(path, 3, is_lead);
}

int stays_inside(const char *relative, LeadBytePredicate is_lead)
{
    return plain_components(relative, 0, is_lead) >= 0;
}

int path_within(const char *path, const char *folder, LeadBytePredicate is_lead)
{
    size_t length = strlen(folder) - (size_t)ends_with_separator(folder, is_lead);
    return length > 0 && strncmp(path, folder, length) == 0
           && (path[length] == '\0' || is_separator(path[length]));
}
