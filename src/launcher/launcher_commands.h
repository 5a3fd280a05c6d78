// The launcher's install (1001) and uninstall (1003) buttons, and the button
// states they switch between.
#pragma once

#include <windows.h>

enum {
    ID_INSTALL = 1001,
    ID_RUN_GAME = 1002,
    ID_UNINSTALL = 1003
};

// Installed: install disabled, run and uninstall enabled; not installed: the
// reverse. The three are always set together, in id order.
void set_launcher_buttons(HWND launcher, int installed);

// Runs the whole install, then offers DirectX setup from the medium.
void launcher_install_command(HWND launcher);

// Asks, uninstalls, reports; after a failure offers to remove the record.
void launcher_uninstall_command(HWND launcher);
