// A stand-in for the publisher's game: it writes how it was started (the
// command line as WinMain receives it, the whole command line, the current
// directory) to "testgame.log" in its current directory, then ends.
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int)
{
    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    if (length == 0 || length >= sizeof directory)
        directory[0] = '\0';
    FILE *log = fopen("testgame.log", "wb");
    if (!log)
        return 1;
    fprintf(log, "cmdline=[%s]\nfull=[%s]\ncwd=[%s]\n", command_line, GetCommandLineA(), directory);
    fclose(log);
    return 0;
}
