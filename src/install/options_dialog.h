// The install options dialog: the parent folder, the option, and the start
// button that creates the install folder and runs the chosen file list.
#pragma once

#include <windows.h>

enum {
    ID_OPTIONS_START = 1005,
    ID_OPTIONS_COMMENT = 1006,
    ID_OPTIONS_LIST = 1007,
    ID_OPTIONS_FOLDER = 1008,
    ID_OPTIONS_PICKER = 1009
};

// Ends with 1 once the chosen list has been carried out, 0 from the close box.
INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// 1 from the first question of a start until its file list has ended: the
// start and picker buttons and the launcher window are disabled meanwhile.
int options_start_running(void);

// What the start button runs once the log exists: run_file_list. A test may
// put a stand-in here to play a copy without the medium.
extern int (*options_file_list_runner)(HWND owner);
