// The program's life: the medium process copies the program into the Windows
// temporary folder and starts the copy with its own path as the argument; the
// copy holds the single-instance mutex and runs the launcher window.
#pragma once

#include <windows.h>

enum {
    TEMP_DIR_WAIT_MS = 3000,          // how long ensure_temp_dir waits for the folder
    RELAUNCH_WAIT_MS = 3000,          // how long a copy that is not ours is retried
    REPLACE_COMMAND_LINE_CAPACITY = 1024
};

// The entry point's first step: DLLs loaded by name from now on come from
// the system folder only, never from the program's own folder (the shared
// temporary folder, for the relaunched copy) nor the current one. Each of the
// two calls is looked up at run time and skipped where the system lacks it.
void restrict_dll_search(void);

// The process's command line in code page 932, for command_tail. A line
// 932 cannot hold ends the program.
const char *program_command_line(void);

// Everything after WinMain: `tail` is the command line without the program
// name (see command_tail). Returns 0 on every path that returns.
int start_program(HINSTANCE instance, const char *tail);

// Writes the temporary folder (trailing '\') into `buffer` (260 bytes) and
// returns when that folder exists, creating it when it is missing. A folder
// that cannot be had within TEMP_DIR_WAIT_MS ends the program.
void ensure_temp_dir(char *buffer);

// Starts `program` with the arguments joined by single spaces as its command
// line (inheriting handles, environment and current directory), then ends
// this process at once with code 0, without its exit handlers. Returns 0 only
// when the program could not be started.
int replace_process(const char *program, const char *const *arguments, int count);

// Called with "splash" and "mutex" as the two exit handlers finish, when set;
// lets a test watch their order.
extern void (*exit_handler_trace)(const char *which);
