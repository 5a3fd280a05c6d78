// The part of the install log that needs the platform: cutting a torn tail.
#include <stdio.h>
#include <windows.h>

#include "boundary/open_file.h"
#include "boundary/wide_text.h"
#include "records/install_log.h"
#include "script/fatal.h"

// Cuts the file after its last line break.
static void cut_torn_tail(const char *path)
{
    FILE *file = open_file(path, "rb");
    if (!file)
        fatal_error(Msg::log_not_made);
    long long complete = log_complete_length(file);
    fclose(file);
    HANDLE handle = CreateFileW(Wide(path), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (complete < 0 || handle == INVALID_HANDLE_VALUE)
        fatal_error(Msg::log_not_made);
    LONG high = (LONG)(complete >> 32);
    DWORD low = SetFilePointer(handle, (LONG)(complete & 0xFFFFFFFF), &high, FILE_BEGIN);
    int cut = (low != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR) && SetEndOfFile(handle);
    CloseHandle(handle);
    if (!cut)
        fatal_error(Msg::log_not_made);
}

int log_continue(const char *path)
{
    if (GetFileAttributesW(Wide(path)) == INVALID_FILE_ATTRIBUTES) {
        log_create(path);
        return 1;
    }
    LogLines lines;
    if (!log_read(path, &lines))
        return 0;
    log_free(&lines);
    cut_torn_tail(path);
    return 1;
}
