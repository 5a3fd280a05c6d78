// What the install command does once the options dialog has carried out the
// copy: the log lines, the Start-menu folder and shortcuts, the record.
#pragma once

// Appends the caption and registry-key lines, creates and logs the Start-menu
// folders and shortcuts when the user's Programs folder is known, and writes
// instdrv, exepath, instopt and gamedir under product_key, in that order.
// Start-menu paths too long for their buffers are refused with a message and
// leave the Start menu untouched; the record is written all the same.
void register_install(void);

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
