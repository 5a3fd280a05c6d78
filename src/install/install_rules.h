// How the installer turns the control files into names and numbers; the
// checker calls the same functions, so the two cannot disagree. Each compose
// function gives 0 when a result does not fit its `size` bytes.
#pragma once

#include <stddef.h>

#include "state/install_state.h"

enum {
    OPTION_COUNT = 10,              // filelist0.txt ... filelist9.txt
    COMMENT_BYTES = 50000,          // what the options dialog shows of comment.txt
    COPY_FILE_NAMES_MAX = 65536     // files in one source folder of a copy
};

// "software\<bland>" and "software\<bland>\<title>".
int compose_record_keys(const char *bland, const char *title, char *brand_key, char *product_key,
                        size_t size);

// The default parent folder: the Windows folder up to and with its first
// '\' (all of it without one), "Program Files\", the brand, '\'.
int compose_default_folder(const char *windows_dir, const char *bland, char *out, size_t size);

// The install folder (the folder shown, the title, '\') and its log path.
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

// Reads the header's name and size from the start of `text` (a malformed one
// is fatal); returns the bytes consumed.
int read_option_header(const char *text, OptionHeader *header);

// The size word as the 32-bit program has always read it, on every platform:
// strtol's rules with a 32-bit long (white space, a sign, the digits up to
// the first other byte, held at the 32-bit limits; 0 without digits).
int size_word_megabytes(const char *word);

// The option list's item (Msg::option_item): the name and the megabytes.
int compose_option_item(const OptionHeader *header, char *item, size_t size);
