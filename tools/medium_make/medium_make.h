// medium-make: from a game's folder tree to the discs of a medium. The records
// here are what the tool's steps hand each other: the request (the command
// line), the game tree as read from disk, and the layout the plain procedures
// of layout.cpp make of them. Texts are code page 932 bytes, as the control
// files hold them; paths of this machine are kept apart as `unix_*`.
#pragma once

#include <string>
#include <vector>

enum {
    MAKE_OK = 0,            // the medium was made (warnings may have been printed)
    MAKE_USAGE = 1,         // the command line is wrong
    MAKE_REFUSED = 2,       // a check before writing failed; nothing was written
    MAKE_CHECKER = 3,       // medium-check found errors in the result; nothing is left
    MAKE_WRITE_FAILED = 4   // writing, checking or mastering could not be done; nothing is left
};

// One --include or --exclude of an option, in command-line order.
struct SelectionRule {
    int include;
    std::string glob;                   // code page 932, '/' or '\' between names
};

struct OptionRequest {
    std::string name;                   // code page 932
    std::vector<SelectionRule> rules;
};

struct ShortcutRequest {
    std::string name;                   // code page 932
    std::string target;                 // relative to the install folder, '\' between names
};

struct MakeRequest {
    std::string unix_game_dir, unix_out_dir;
    std::string title, maker, brand, caption, program, execmessage;   // code page 932
    int has_execmessage = 0;
    std::string unix_comment, unix_splash, unix_directx;              // "" when not given
    std::string unix_installer;         // "" for the build's own installer.exe
    std::vector<OptionRequest> options;  // one holding everything when none was given
    std::vector<ShortcutRequest> shortcuts;
    unsigned long long disc_size = 0;   // bytes; 0: one disc holds everything
    std::string label;                  // volume label stem
    int iso = 0;
    int dry_run = 0;
};

struct TreeFile {
    std::string name;                   // code page 932
    std::string unix_name;              // as this machine names it
    unsigned long long size;
    unsigned options;                   // bit n: option n copies it
};

// A folder of the game tree; the root is folders[0], the others follow in
// tree order (a parent before its children, names in byte order).
struct TreeFolder {
    std::string path;                   // relative to the tree, '\' between names; "" for the root
    std::string unix_path;              // relative to GAME_DIR, '/' between names
    int parent;                         // -1 for the root
    std::vector<TreeFile> files;        // names in byte order
    int subfolders;
    unsigned options;                   // options that need this folder made
};

struct GameTree {
    std::vector<TreeFolder> folders;
    unsigned long long files = 0;
    unsigned long long bytes = 0;
};

// One copied folder of a disc: files of one tree folder that the same
// options copy (or none, when it only makes its target), wholly or the part
// of them one disc holds.
struct DiscFolder {
    int folder;                         // index into GameTree::folders
    unsigned options;
    std::vector<int> files;             // indices into that folder's files
    unsigned long long bytes;
    int disc;                           // from 1
    std::string name;                   // on the disc, below the data folder
};

struct OptionPlan {
    std::string name;
    unsigned long long bytes = 0;
    int megabytes = 0;                  // the size word: bytes in MiB, rounded up
    int last_disc = 1;
    std::vector<int> discs;             // the discs its list asks for, in order
    std::vector<int> shortcuts;         // indices into MakeRequest::shortcuts
    int statements = 0;                 // copy statements
    std::string list;                   // filelist<n>.txt as written (code page 932, CR LF)
};

struct DiscPlan {
    unsigned long long used = 0;        // estimated bytes of its image
    int folders = 0;
    int files = 0;
    int directx = 0;                    // 1: the DirectX folder goes on it
};

struct MediumPlan {
    std::vector<DiscFolder> folders;    // in the order the lists copy them
    std::vector<OptionPlan> options;
    std::vector<DiscPlan> discs;        // discs[0] is disc 1
    unsigned long long capacity = 0;    // room on one disc for the estimate; 0: unbounded
    std::string settings;               // install.txt as written
    std::string comment;                // comment.txt as written, "" when none
    int has_comment = 0;
};

// The name of the folder on every disc that holds the copied folders, and
// the folder of the program on disc 1.
extern const char DATA_FOLDER[];
extern const char SETUP_FOLDER[];
