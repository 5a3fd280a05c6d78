// medium-check inside: the record of one check, which every step takes as
// its first parameter, the installer's fatal errors caught, and the helpers
// that place a finding at a line and column of the control file being read.
#pragma once

#include <string>
#include <vector>

#include "install/file_list_script.h"
#include "install/install_rules.h"
#include "medium_check.h"
#include "medium_files.h"
#include "text/messages.h"

// Where the installer would end with a message, the checker's fatal_error
// throws it instead; each step catches it, so every object on the way is
// destroyed as usual.
struct FatalStop {
    Msg kind;
    std::string message;
};

struct Checker {
    std::string medium;           // the program's folder, in this machine's terms
    std::vector<std::string> discs;     // every disc's root, the program's disc first
    size_t disc;                  // the disc in the drive
    std::string root;             // the drive root: the root of that disc
    std::string program_folder;   // the program's folder as the installer names it
    std::vector<Finding> *findings;
    std::vector<const char *> tokens;   // every token the readers looked at, in order
    const char *text;             // the control file being read
    std::string file;
    std::vector<FolderEntry> entries;
    std::vector<std::string> produced;  // files a list copies, relative to the install folder
    unsigned long long copied_bytes;
    OptionHeader header;
    FileListPlaces places;
    FatalStop fatal;              // the last fatal error a step raised
};

// 1 when `step` ran to its end; 0 when it raised a fatal error, which is
// then in c.fatal.
template <typename Step>
int run_guarded(Checker &c, Step step)
{
    try {
        step();
        return 1;
    } catch (const FatalStop &stop) {
        c.fatal = stop;
        return 0;
    }
}

// snprintf into a string; findings are far shorter than its 2048 bytes.
std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));

void add_finding(Checker &c, int error, const std::string &file, int line, int column,
                 const char *kind, const std::string &message);

// A finding at `at` in the control file being read; null: the whole file.
void add_at(Checker &c, int error, const char *at, const char *kind, const std::string &message);

// The last fatal error, as an error at `at`.
void add_fatal_at(Checker &c, const char *at);

// The last token the readers looked at; null when none.
const char *last_token(const Checker &c);

// ASCII letters folded, as the file system compares names.
std::string folded(const std::string &path);

// Reads a control file into `buffer` (SCRIPT_TEXT_BYTES and a zero) as the
// program does; 0 when it does not open.
int load_control_file(Checker &c, const char *name, char *buffer);

// The steps of a check, in their order.
void check_settings(Checker &c);
void check_comment(Checker &c);
void check_bitmap(Checker &c);
void check_lists(Checker &c);
