// The process's own ground rules, for the start-up and the launcher alike:
// where DLLs may come from, and handing the process over to another program.
#pragma once

enum { REPLACE_COMMAND_LINE_CAPACITY = 1024 };

// The entry point's first step: DLLs loaded by name from now on come from
// the system folder only, never from the program's own folder (the shared
// temporary folder, for the relaunched copy) nor the current one. Each of the
// two calls is looked up at run time and skipped where the system lacks it.
void restrict_dll_search(void);

// Starts `program` with the arguments joined by single spaces as its command
// line (inheriting handles, environment and current directory), then ends
// this process at once with code 0, without its exit handlers. Returns 0 only
// when the program could not be started.
int replace_process(const char *program, const char *const *arguments, int count);
