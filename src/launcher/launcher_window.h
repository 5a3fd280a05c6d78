// The launcher: the program's first and main window, built from the dialog
// resource "IDD_INSTDLG". Opening it identifies the product from install.txt,
// loads the splash picture and sets the buttons from the registry record.
#pragma once

#include <windows.h>

enum {
    LAUNCHER_WIDTH = 310,
    LAUNCHER_HEIGHT = 360,
    LAUNCHER_BUTTON_TOP = 295,
    LAUNCHER_BUTTON_WIDTH = 95,
    LAUNCHER_BUTTON_HEIGHT = 30,
    SPLASH_LEFT = 25,
    SPLASH_TOP = 20,
    SPLASH_SIZE = 256
};

INT_PTR CALLBACK launcher_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
