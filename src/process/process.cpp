#include "process/process.h"

#include <string.h>
#include <windows.h>

#include "boundary/wide_text.h"
#include "core/command_line.h"

int replace_process(const char *program, const char *const *arguments, int count)
{
    char command_line[REPLACE_COMMAND_LINE_CAPACITY];
    if (!join_arguments(arguments, count, command_line, sizeof command_line))
        return 0;
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    Wide wide_program(program), wide_line(command_line);
    if (!wide_program || !wide_line
        || !CreateProcessW(wide_program, wide_line.writable(), NULL, NULL, TRUE, 0, NULL, NULL,
                           &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // At once and without the exit handlers: the new process takes over.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void restrict_dll_search(void)
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryCall)(LPCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        return;
    // Cast through a function type of no arguments: FARPROC's own differs.
    SetDefaultDllDirectoriesCall set_default = (SetDefaultDllDirectoriesCall)(void (*)(void))
        GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (set_default)
        set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryCall set_directory = (SetDllDirectoryCall)(void (*)(void))
        GetProcAddress(kernel, "SetDllDirectoryW");
    if (set_directory)
        set_directory(L"");
}
