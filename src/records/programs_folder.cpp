#include "records/programs_folder.h"

#include <stdlib.h>
#include <windows.h>

#include "boundary/wide_text.h"
#include "core/path_scan.h"
#include "records/registry.h"
#include "text/cp932.h"

static const char shell_folders_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder as the program can log it: its own name when code page 932
// holds it, else its short (8.3) name, which is ASCII, when the system has
// one; either only when it is a plain absolute folder.
static int programs_folder_in_932(const wchar_t *folder, char *out, int size)
{
    if (to_cp932(folder, out, (size_t)size) && plain_path_depth(out, cp932_lead_byte) >= 1)
        return 1;
    wchar_t short_name[MAX_PATH];
    DWORD length = GetShortPathNameW(folder, short_name, MAX_PATH);
    return length > 0 && length < MAX_PATH && to_cp932(short_name, out, (size_t)size)
           && plain_path_depth(out, cp932_lead_byte) >= 1;
}

int read_programs_folder(char *out, int size)
{
    wchar_t *folder = reg_read_text(shell_folders_key, "Programs");
    if (!folder) {
        out[0] = '\0';
        return PROGRAMS_FOLDER_UNKNOWN;
    }
    int usable = programs_folder_in_932(folder, out, size);
    free(folder);
    if (!usable)
        out[0] = '\0';
    return usable ? PROGRAMS_FOLDER_FOUND : PROGRAMS_FOLDER_UNUSABLE;
}
