// The rules by which the installer turns the control files into names and
// numbers. medium-check applies the very same functions, so the two cannot
// come to different answers.
#pragma once

#include <stddef.h>

#include "state/install_state.h"

enum {
    OPTION_COUNT = 10,              // filelist0.txt ... filelist9.txt
    COMMENT_BYTES = 50000,          // what the options dialog shows of comment.txt
    COPY_FILE_NAMES_MAX = 65536     // files in one source folder of a copy
};

// "software\<bland>" and "software\<bland>\<title>", each in `size` bytes;
// 0 when either does not fit.
int compose_record_keys(const char *bland, const char *title, char *brand_key, char *product_key,
                        size_t size);

// The default parent folder shown by the options dialog: the Windows
// folder's drive part (up to and with its first '\'; the whole text when it
// has none), "Program Files\", the brand and '\'. 0 when it does not fit.
int compose_default_folder(const char *windows_dir, const char *bland, char *out, size_t size);

// The install folder (the folder shown, the title and '\') and its log
// path, each in `size` bytes; 0 when either does not fit.
int compose_install_folder(const char *shown, const char *title, char *folder, char *log_path,
                           size_t size);

// The first statement of a file list, as the option list reads it.
struct OptionHeader {
    char name[PATH_CAPACITY];
    char size_word[PATH_CAPACITY];
    int megabytes;                  // the size word as a number
    const char *name_at;            // where the name's opening quote stands
    const char *size_at;            // where the size word starts
};

// Reads the header at the start of `text`; a malformed one ends the program
// through the scanner's fatal errors.
void read_option_header(const char *text, OptionHeader *header);

// The size word as the shipping program has always read it (atoi's rules
// with a 32-bit long): leading white space, a sign, the digits up to the
// first other byte, held at the limits of 32 bits; 0 without digits. The
// same number on every platform, 64-bit ones included.
int size_word_megabytes(const char *word);

// The option list's item "<name> (<megabytes>Mb必要)"; 0 when it does not fit.
int compose_option_item(const OptionHeader *header, char *item, size_t size);
