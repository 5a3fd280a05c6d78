// The one process-wide record that every subsystem fills in stages, and the
// two whole-file text buffers the control-file scanner reads. Plain data with
// no platform header, so the portable core and its native tests can use it;
// window and kernel handles are kept as opaque pointers.
#pragma once

enum {
    PATH_CAPACITY = 260,          // the platform's path limit, zero included
    INSTALLER_PATH_CAPACITY = 256,
    EXEC_MESSAGE_CAPACITY = 1024,
    SOURCE_DRIVE_CAPACITY = 100,
    SHORTCUT_SLOTS = 5,
    SCRIPT_TEXT_BYTES = 65536     // a control file is read up to this many bytes
};

struct InstallState {
    char installer_path[INSTALLER_PATH_CAPACITY];
    void *instance;               // HINSTANCE
    void *mutex;                  // HANDLE of the single-instance mutex

    char caption[PATH_CAPACITY];
    char maker[PATH_CAPACITY];
    char title[PATH_CAPACITY];
    char bland[PATH_CAPACITY];
    char execmessage[EXEC_MESSAGE_CAPACITY];
    int exec_message_flag;

    char brand_key[PATH_CAPACITY];
    char product_key[PATH_CAPACITY];

    void *launcher_window;        // HWND
    void *options_window;         // HWND

    char source_drive[SOURCE_DRIVE_CAPACITY];
    char source_dir[PATH_CAPACITY];
    char install_dir[PATH_CAPACITY];
    char option_digit[2];
    char install_log_path[PATH_CAPACITY];
    char exe_path[PATH_CAPACITY];

    char shortcut_names[SHORTCUT_SLOTS][PATH_CAPACITY];
    char shortcut_targets[SHORTCUT_SLOTS][PATH_CAPACITY];

    const char *copy_source;      // valid only while a copy dialog runs
    const char *copy_target;
};

extern InstallState install_state;

// Whole-file buffers: the file's first SCRIPT_TEXT_BYTES bytes and a zero.
extern char SettingsText[SCRIPT_TEXT_BYTES + 1];
extern char FileListText[SCRIPT_TEXT_BYTES + 1];

// A reader's position in one of those texts, in bytes from its start.
typedef int ScriptCursor;

// Empties the five shortcut slots (first byte of all ten set to zero).
void clear_shortcut_slots(void);
