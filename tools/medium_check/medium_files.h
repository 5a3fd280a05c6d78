// The medium's files as the installer would find them, on either platform.
// Paths inside the medium are named as the control files name them: code
// page 932 bytes with '\' between folders, relative to a folder of this
// machine given in its own convention. On Windows they go to the wide file
// calls converted from code page 932, as the installer's own do; natively
// they are converted to UTF-8 and looked up without regard to the case of
// ASCII letters, as Wine and Windows do. A name found on the medium that 932
// cannot hold reads with '?' for each such character, on either platform.
#pragma once

#include <string>
#include <vector>

enum EntryKind { ENTRY_NONE, ENTRY_FILE, ENTRY_FOLDER };

struct FolderEntry {
    std::string name;              // code page 932
    int folder;
    unsigned long long size;
};

// What `relative` (may be empty or end in '\') names under `base`; the size
// of a file in *size when size is not null.
EntryKind medium_entry(const std::string &base, const std::string &relative,
                       unsigned long long *size);

// The entries of a folder, "." and ".." left out; 0 when it cannot be read.
int medium_list(const std::string &base, const std::string &relative,
                std::vector<FolderEntry> *entries);

// The first `limit` bytes of a file as the program's fopen would deliver them:
// in text mode CR LF arrives as LF and byte 0x1A ends the file. *more is set
// when the file holds more than that. 0 when the file does not open.
int medium_read(const std::string &base, const std::string &relative, int text_mode,
                size_t limit, std::string *bytes, int *more);

// The full path of `given`, its parent folder and its last name (empty for a
// drive or file-system root); 0 when it is not a folder.
int medium_folder_parts(const std::string &given, std::string *full, std::string *parent,
                        std::string *name);

// Code page 932 text as UTF-8.
std::string cp932_to_utf8(const std::string &text);

// Standard output takes UTF-8 bytes unchanged (no LF to CR LF).
void prepare_utf8_output(void);
