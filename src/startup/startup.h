// The program's life: the medium process copies the program into the Windows
// temporary folder and starts the copy with its own path as the argument; the
// copy holds the single-instance mutex and runs the launcher window.
#pragma once

#include <windows.h>

enum {
    TEMP_DIR_WAIT_MS = 3000,          // how long ensure_temp_dir waits for the folder
    RELAUNCH_WAIT_MS = 3000           // how long a copy that is not ours is retried
};

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

// Called with "splash" and "mutex" as the two exit handlers finish, when set;
// lets a test watch their order.
extern void (*exit_handler_trace)(const char *which);
