// Text work of the start-up that needs no platform: finding the arguments
// behind the program name, composing the temporary folder, and joining the
// argument list of a process started in this one's place. Every output is
// bounded by `out_size` (above 0); a result that would not fit is refused with
// 0 and an empty `out`.
#pragma once

// The command line without the program name and the blanks after it: the
// name is a double-quoted token (up to its closing quote) or a run of bytes
// above 0x20; the blanks are bytes 0x01 to 0x20. Bytes count as unsigned, so
// Shift-JIS lead bytes are name bytes, not blanks.
const char *command_tail(const char *command_line);

// `windows_dir` followed by "\temp\" (no doubled backslash after a root).
int compose_temp_dir(const char *windows_dir, char *out, int out_size);

// `folder` (ending in '\') followed by `name`.
int compose_file_path(const char *folder, const char *name, char *out, int out_size);

// The arguments joined by single spaces, unquoted; empty for no arguments.
int join_arguments(const char *const *arguments, int count, char *out, int out_size);

// `path` in double quotes when it holds a blank, else unchanged: the relaunch
// passes the copy's path as the first word of its command line, and a blank
// inside it would otherwise end the program name there.
int quote_if_blank(const char *path, char *out, int out_size);
