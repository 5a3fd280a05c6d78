// Where the user's Start-menu programs live: read by the install to make the
// shortcuts and by the uninstall to know what it may remove there.
#pragma once

enum {
    PROGRAMS_FOLDER_UNKNOWN = 0,    // the shell's folder key names none
    PROGRAMS_FOLDER_FOUND = 1,
    PROGRAMS_FOLDER_UNUSABLE = 2    // named, but neither it nor a short name of it can be logged
};

// The user's Programs folder as the shell's folder key gives it, into `out`
// (`size` bytes): a plain absolute folder in code page 932, by its short
// (8.3) name when 932 cannot hold its own. One of the values above; `out`
// is empty unless the folder was found.
int read_programs_folder(char *out, int size);
