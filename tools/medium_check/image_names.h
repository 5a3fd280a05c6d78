// The names a CD image holds as written: ISO 9660 with Joliet names, which
// is what Windows reads from a disc. medium-check reports every name of a
// disc that the image would change or hide, and the mastering command
// refuses a disc on the same report, so the rules live here alone.
#pragma once

#include <string>
#include <vector>

#include "medium_check.h"

enum {
    JOLIET_NAME_CHARACTERS = 64,   // Joliet's longest name
    IMAGE_FOLDER_DEPTH = 7         // ISO 9660: eight levels, the root included
};

// Characters of a code page 932 name (a double-byte character is one), as
// Joliet counts them in UTF-16.
int name_characters(const std::string &name);

// The first character of `name` that Joliet replaces (* / : ; ? \), or 0.
char joliet_refused_character(const std::string &name);

// The form two names share when Windows takes them for the same name: the
// letters of ASCII, full-width Latin, Greek, Cyrillic and the Roman numerals
// in upper case.
std::string name_case_key(const std::string &name);

// Walks the disc whose root is `root` and adds an error for every name the
// image cannot hold as written, at its path on drive D:. `disc` counts from
// 1; on a disc after the first the message says which one.
void check_image_names(const std::string &root, int disc, std::vector<Finding> *findings);
