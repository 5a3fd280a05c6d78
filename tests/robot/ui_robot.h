// A UI robot for another process's windows under the same wineserver: it
// finds top-level windows by caption, class and process, lists and presses
// their controls, reports and answers message boxes, closes windows, reads
// HKCU values and another process's command line. Nothing here blocks on the
// other program's message loop: commands are posted, texts are fetched with
// a timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct RobotControl {
    HWND window;
    int id;
    std::string class_name;
    std::string text;                 // code page 932 bytes
    bool enabled;
    bool visible;
    RECT rect;                        // in the parent's client coordinates
};

struct RobotBox {
    HWND window = NULL;
    HWND owner = NULL;
    DWORD process = 0;
    std::string caption;
    std::string text;
    std::vector<int> buttons;
};

// Searches the named desktop (a Wine virtual desktop, say) instead of the
// robot's own from now on.
bool robot_use_desktop(const char *name);

// Text of any window, through WM_GETTEXT with a timeout (other processes too).
std::string robot_text(HWND window);
std::string robot_class(HWND window);
DWORD robot_process_of(HWND window);

// Waits for a top-level window. Empty or null caption/class match any; a
// process id of 0 matches any process. NULL after the timeout.
HWND robot_wait_window(const char *caption, const char *class_name, DWORD process,
                       int timeout_ms, bool visible_only = false);

// Every top-level window of a process (visible or not).
std::vector<HWND> robot_windows_of(DWORD process);

std::vector<RobotControl> robot_controls(HWND parent);

// Posts a click of control `id` to `dialog`, as the button itself would.
bool robot_press(HWND dialog, int id);
bool robot_close(HWND window);
bool robot_wait_gone(HWND window, int timeout_ms);

// Waits for a message box (a dialog with the static text 0xFFFF), of
// `process` or of any process when 0; fills caption, text, buttons, owner.
bool robot_wait_box(DWORD process, int timeout_ms, RobotBox *box);
bool robot_answer(const RobotBox &box, int id);
// Told of every answer robot_answer gives (the test bench counts them).
extern void (*robot_answer_observer)(const RobotBox &box, int id);

// A REG_SZ (or any) value under HKEY_CURRENT_USER, exactly its data bytes.
bool robot_read_hkcu(const char *subkey, const char *name, std::string *value);

// The full command line of another process (read from its parameters block).
bool robot_command_line(DWORD process, std::string *command_line);
