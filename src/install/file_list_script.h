// The file list's statement logic, free of the platform. What a statement
// does outside the text (copy a folder, ask the user, test a path, close the
// open streams) goes through FileListActions, so the program wires the real
// operations and a native harness wires recorders.
#pragma once

#include "state/install_state.h"

// Button sets and answers, with the platform's values (MB_OKCANCEL, IDOK...).
enum {
    ASK_OK_CANCEL = 1,
    ASK_YES_NO = 4,
    ANSWER_OK = 1,
    ANSWER_CANCEL = 2,
    ANSWER_YES = 6,
    ANSWER_NO = 7
};

// Where the list has its tokens in the text, by name, for an observer that
// reports by place (medium-check). A field stays NULL until its token is
// reached; the copy's two hold the statement being run.
struct FileListPlaces {
    const char *program;                            // the header's program path
    const char *size;                               // the header's size word
    const char *shortcut_names[SHORTCUT_SLOTS];
    const char *shortcut_targets[SHORTCUT_SLOTS];
    const char *copy_source;
    const char *copy_target;
};

struct FileListActions {
    void *context;                // handed back to every action (the owner window)
    // Non-zero when every file of the folder was copied; both paths end in '\'.
    int (*copy_folder)(void *context, const char *target_folder, const char *source_folder);
    // Shows `text` under `caption` with the given button set and returns the
    // answer; 0 or less when the question could not be shown.
    int (*ask)(void *context, const char *text, const char *caption, int buttons);
    // Non-zero when a file or folder of that name exists.
    int (*path_exists)(void *context, const char *path);
    // Closes every open stream except standard input, output and error.
    void (*close_streams)(void *context);
    FileListPlaces *places;       // filled as the list is read
};

// Runs the file list `text` once from top to bottom. Empties the five
// shortcut slots first, so a list run earlier in the process leaves nothing
// behind; then sets exe_path, fills the slots in statement order, asks for
// disk changes and copies every folder. 1 when the list ended, 0 when the
// user gave up at a disk prompt, a disk prompt could not be shown, or a
// folder copy failed. Syntax errors and over-long values end the program.
//
// A `change` statement needs the program's folder to start with a drive
// letter, a colon and a backslash: from anywhere else (a network path) there
// is no drive whose disk could be changed, and the list ends with
// the fatal error Msg::no_drive_letter.
int interpret_file_list(const char *text, const FileListActions *actions);
