// Reads the game's folder tree from disk in tree order, and refuses what no
// disc or install can carry as it is: names code page 932 cannot hold or
// Windows cannot make, names that differ only in case within a folder,
// symbolic links, files that cannot be read, anything but files and folders.
#pragma once

#include <string>
#include <vector>

#include "medium_make.h"

// Reads `unix_root` into *tree. Every refusal found is added to *refusals
// (each naming its path); 0 when there was any.
int read_game_tree(const std::string &unix_root, GameTree *tree, std::vector<std::string> *refusals);

// The file at `path` (code page 932, '\' between names) of the tree, or null.
const TreeFile *find_tree_file(const GameTree &tree, const std::string &path);

// Why Windows cannot make a file or folder of this code page 932 name, or "".
std::string windows_name_refusal(const std::string &name);
