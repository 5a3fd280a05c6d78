// Rules of a publisher's texts that the installer itself never tests: how a
// control file was saved, and names it makes into files or asks a disc by.
#pragma once

#include <string>

// Where a control file shows that it was saved as UTF-8: its byte-order
// mark (offset 0), or, in a file that is valid UTF-8 throughout, its first
// byte beyond ASCII. -1 when neither: the file may be code page 932. (Text
// in code page 932 is almost never valid UTF-8: its double-byte characters
// begin with bytes that UTF-8 allows only inside a character.)
long utf8_saved_at(const std::string &bytes);

// The first LF that no CR stands before, or -1.
long bare_line_feed_at(const std::string &bytes);

// The offset in a code page 932 name of its first character that Windows
// allows in no file or folder name (| < > : * ? "), or -1. The second byte
// of a double-byte character is part of that character, never a '|'.
long file_name_refused_at(const std::string &name);

// Whether a check file's name (its last path component) is one that many
// media carry: disc2.txt, disk_2.txt, CD2, cdrom2.txt, dvd2.txt, vol2.txt
// and the like, a bare number, or a file most discs have (autorun.inf,
// setup.exe, readme.txt).
int generic_check_file(const std::string &path);
