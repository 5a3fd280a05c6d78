// Entry point: the arguments behind the program name decide between the
// medium process (none: copy and relaunch) and the launcher (the medium path).
// The wide one (linked with -municode), so the run-time library reads no
// command line in the system's code page.
#include <windows.h>

#include "startup/command_line.h"
#include "startup/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // Before anything can load a DLL by name: the relaunched copy's own
    // folder is the shared temporary folder.
    restrict_dll_search();
    // Taken from the process's own command line with unsigned byte tests, so
    // a Shift-JIS byte in the program name never counts as a blank.
    return start_program(instance, command_tail(program_command_line()));
}
