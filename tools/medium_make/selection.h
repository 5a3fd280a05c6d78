// Which files of the game tree each install option copies: its --include and
// --exclude globs, relative to the game folder.
#pragma once

#include <string>

#include "medium_make.h"

// 1 when `glob` matches `path` (code page 932, '/' between names): '*' stands
// for any run of characters within a name, '?' for one character (a
// double-byte character is one), "**" for any run of names; a glob naming a
// folder matches everything below it too. '\' in the glob is taken as '/'.
int glob_matches(const std::string &glob, const std::string &path);

// 1 when option `option` copies `path` (a file, or an empty folder): rules
// apply in their order and the last one that matches decides; a path no rule
// matches is copied unless the first rule is an --include (so a list of
// includes alone names what the option holds).
int option_selects(const OptionRequest &option, const std::string &path);

// Marks every file with the options that copy it, and every folder with the
// options that need it made: a folder holding a copied file or a needed
// folder, or an empty folder the option selects. The root needs nothing.
void select_options(const std::vector<OptionRequest> &options, GameTree *tree);
