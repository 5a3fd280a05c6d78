// A stand-in for the publisher's game: it writes how it was started (the
// command line as WinMain receives it, the whole command line, the current
// directory) to "testgame.log" in its current directory, then ends. Texts
// are written in code page 932 whatever the system's code page.
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
    FILE *log = open_file("testgame.log", "wb");
    if (!log)
        return 1;
    fprintf(log, "cmdline=[%s]\nfull=[%s]\ncwd=[%s]\n", command_line, GetCommandLine932(), directory);
    fclose(log);
    return 0;
}
