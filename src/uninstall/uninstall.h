// Removal of an install from its log and its registry record.
#pragma once

#include <stddef.h>

enum {
    UNINSTALL_LOG_UNREADABLE = 0,   // nothing changed; the reader told the user why
    UNINSTALL_DONE = 1,             // everything logged is gone, the log and the record too
    UNINSTALL_INCOMPLETE = 2        // something logged is left: the log and the record stay
};

// Reads the log named by the record's gamedir, deletes every logged file,
// then removes every logged folder, deletes the log and removes the record.
// A logged path that is out of reach (not a plain path within the install
// or Programs folder), passes through a reparse point, or cannot be removed
// (a folder that still holds something aside) is left: the log and the
// record then stay, and the first such path in log order is copied into
// `first_left` (`size` bytes).
int uninstall(char *first_left, size_t size);
