// medium-check: reads a medium's control files through the installer's own
// readers and reports, at file, line and column, every place where the
// installer would stop with a message or would silently do less than the
// publisher meant.
#pragma once

#include <string>
#include <vector>

struct Finding {
    int error;                 // 1: the installer stops or cannot install; 0: a warning
    std::string file;          // the control file's name on the medium
    int line;                  // from 1; 0 when the finding is about the whole file
    int column;                // from 1, in characters (a double-byte character is one)
    std::string kind;          // a short English name of the kind of finding
    std::string message;       // code page 932: the installer's own text where it shows one
};

// Checks the medium whose program folder (the one holding install.txt) is
// `medium_dir`; its parent stands for the drive root, the root of the first
// disc. `other_discs` are the roots of the medium's further discs: a disk
// change is answered by the disc that holds its check file. Messages name
// that folder as the installer would see it from drive D: ('D:\setup\' for
// a folder named setup). Every name on every disc is held to the rules of
// a CD image (image_names.h). 0, with the folder in *not_folder, when one
// of the folders is none.
int check_medium(const char *medium_dir, const std::vector<std::string> &other_discs,
                 std::vector<Finding> *findings, std::string *not_folder);

// The report, in UTF-8: one line per finding and a summary, or JSON.
std::string report_text(const std::vector<Finding> &findings);
std::string report_json(const std::vector<Finding> &findings);

// 0 clean, 1 warnings only, 2 errors.
int report_exit_code(const std::vector<Finding> &findings);
