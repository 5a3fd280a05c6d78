// The chosen option's file list, run once from top to bottom.
#pragma once

#include <windows.h>

// Interprets FileListText: sets exe_path, fills the shortcut slots, prompts
// for disk changes (boxes owned by `owner`) and copies every folder. 1 when
// the list ended, 0 when the user gave up or a folder copy failed.
int run_file_list(HWND owner);
