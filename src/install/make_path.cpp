#include "install/make_path.h"

#include <string.h>
#include <windows.h>

#include "install/path_scan.h"
#include "state/install_state.h"

int ansi_lead_byte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != 0;
}

int make_path(const char *path)
{
    if (strlen(path) >= PATH_CAPACITY)
        return 0;
    char prefix[PATH_CAPACITY];
    int i = 0;
    for (;;) {
        i = next_separator(path, i, ansi_lead_byte);
        memcpy(prefix, path, (size_t)i);
        prefix[i] = '\0';
        if (GetFileAttributesA(prefix) == INVALID_FILE_ATTRIBUTES
            && !CreateDirectoryA(prefix, NULL))
            return 0;
        if (path[i] == '\0')
            return 1;
        i++;
    }
}
