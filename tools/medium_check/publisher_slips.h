// Slips of a publisher that the installer never tests for but a player
// meets: control files saved as UTF-8, a medium without the program, names
// no file can have, check files other products share, and DirectX setup on
// a disc an option does not end on. Each step adds its findings to the check.
#pragma once

#include <string>

#include "checker.h"
#include "text/checker_texts.h"

// The control file just read into c.text, `length` bytes: saved as UTF-8?
void check_saved_as(Checker &c, size_t length);

// comment.txt as the options dialog reads it: saved as UTF-8, lines that
// end in LF alone. Leaves c.text and c.file at it.
void check_comment_text(Checker &c, const std::string &bytes);

// installer.exe beside install.txt, and whether it is the installer.
void check_program(Checker &c);

// A value that the install makes into a file or folder name (`what` names
// it, `consequence` says what the install then fails to make); `at` is its
// opening quote in the control file being read.
void check_name_value(Checker &c, const char *what, const char *value, const char *at,
                      CheckerText consequence);

// The check file of the `change` just read (its token the last one): a name
// other media carry too.
void check_check_file_name(Checker &c, const char *check_path);

// Option n ran to its end on disc c.disc: DirectX setup is offered only
// when that disc has it.
void check_directx_placement(Checker &c, int n);
