#include "install/make_path.h"

#include <string.h>
#include <windows.h>

#include "base/format_fits.h"
#include "boundary/wide_text.h"
#include "core/install_log.h"
#include "core/path_scan.h"
#include "state/install_state.h"

int make_path(const char *path, FolderCreated created, void *context)
{
    if (strlen(path) >= PATH_CAPACITY)
        return 0;
    char prefix[PATH_CAPACITY];
    int i = 0;
    for (;;) {
        i = next_separator(path, i, cp932_lead_byte);
        memcpy(prefix, path, (size_t)i);
        prefix[i] = '\0';
        Wide folder(prefix);
        if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) {
            if (!CreateDirectoryW(folder, NULL))
                return 0;
            if (created)
                created(prefix, context);
        }
        if (path[i] == '\0')
            return 1;
        i++;
    }
}

void log_created_folder(const char *folder, void *context)
{
    // Room for ':', a folder below the path limit and the separator: it fits.
    char line[PATH_CAPACITY + 2];
    const char *format = ends_with_separator(folder, cp932_lead_byte) ? ":%s" : ":%s\\";
    if (format_fits(line, sizeof line, format, folder))
        log_append((const char *)context, line);
}
