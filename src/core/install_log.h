// instlog.txt: one line per file or folder an install created, in the order
// of the install's actions. First byte ':' a folder, '>' the caption, '?' the
// registry key, anything else a file path.
#pragma once

#include <stdio.h>

enum {
    // Bytes of one line without its line break: a folder line is ':' and a
    // path of up to 259 bytes, so a folder the install made is never unlogged.
    LOG_LINE_MAX = 260,
    LOG_LINES_MAX = 65536
};

struct LogLines {
    char **lines;                 // heap strings, owned by the caller
    int count;
};

// Creates or empties the log; ends the program when it cannot.
void log_create(const char *path);

// Readies the log of an install: an existing log keeps its whole lines (an
// earlier, unfinished attempt's files stay named in it) and loses what
// follows its last line break, so the next line starts clean; a missing one
// is created. 0, with the log untouched, when an existing log cannot be read
// (log_read has told the user why). Ends the program when the log cannot be
// made or cut.
int log_continue(const char *path);

// Appends `line` and a line break, opening and closing the file each time so
// the log on disk is complete up to the last action. A line the reader could
// not take back, or a file that does not open, ends the program.
void log_append(const char *path, const char *line);

// Reads every complete line (bytes after the last line break are ignored,
// whatever they hold).
// 1 on success. 0 after telling the user, with no owner window, that the log
// cannot be read, or that it holds a line or a line count beyond the limits
// above (nothing of such a log is returned, so nothing is half-removed).
int log_read(const char *path, LogLines *out);

void log_free(LogLines *lines);

// The line splitting of log_read on an open stream: NULL when every line was
// taken, else the message that refuses the log (and `out` is left empty).
const char *log_read_stream(FILE *file, LogLines *out);

// Bytes of the open binary stream up to and including its last line break;
// -1 when it cannot be read.
long long log_complete_length(FILE *file);
