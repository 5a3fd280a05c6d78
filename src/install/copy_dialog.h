// The copy progress dialog "IDD_KEIKA": copies one file inside its first
// timer tick, in 1 MiB chunks, showing both paths and a progress bar.
#pragma once

#include <windows.h>

enum {
    COPY_TEXT_ID = 1010,          // "<source> -> <target>"
    COPY_BAR_ID = 1011,           // msctls_progress32, range 0 to 100
    COPY_TIMER_ID = 1,
    COPY_TIMER_MS = 100,
    COPY_CHUNK_BYTES = 1048576
};

// Copies `source_path` to `target_path` (at most 259 bytes each) through the
// modal dialog, without owner, at the screen's top-left corner. 1 when the
// file was copied; 0 when the user closed the dialog before the copy began
// or after the source could not be opened, when a stream did not open or a
// read failed (nothing more is written then), or when the dialog could not
// be created. A short write ends the program with
// the full-disk fatal error (Msg::write_failed).
int show_copy_dialog(const char *source_path, const char *target_path);

// Registers "msctls_progress32" from the common controls of the system
// folder, once; 1 when it is registered.
int register_progress_class(void);

INT_PTR CALLBACK copy_dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
