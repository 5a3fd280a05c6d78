// A stand-in for the DirectX setup program of a medium: it appends how it
// was started (its process id, command line as WinMain receives it and
// current directory) to "dxsetup.log" in the user's temporary folder, stays
// a moment so that a caller's wait can be seen, writes "end" and ends.
#include <stdio.h>
#include <windows.h>

#include "boundary/open_file.h"
#include "support/cp932_calls.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectory932(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        directory[0] = '\0';
    char log_path[MAX_PATH];
    DWORD temp = GetTempPath932(sizeof log_path - 16, log_path);
    if (temp == 0 || temp >= sizeof log_path - 16)
        return 1;
    lstrcatA(log_path, "dxsetup.log");
    FILE *log = open_file(log_path, "ab");
    if (!log)
        return 1;
    fprintf(log, "pid=[%lu]\ncmdline=[%s]\ncwd=[%s]\n", GetCurrentProcessId(), command_line, directory);
    fflush(log);
    Sleep(1500);
    fprintf(log, "end\n");
    fclose(log);
    return 0;
}
