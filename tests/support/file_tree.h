// Small file-system helpers for the Win32 tests: make files, list folders,
// remove a whole test tree afterwards.
#pragma once

#include <string>
#include <vector>

bool path_exists(const std::string &path);
bool is_folder(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);
std::string read_file(const std::string &path);
std::vector<std::string> folder_entries(const std::string &folder);
void remove_tree(const std::string &folder);

// The file's bytes once they contain `marker`, waiting up to `timeout_ms`
// (another process writes it); "" when they never do.
std::string read_file_when(const std::string &path, const std::string &marker, int timeout_ms);
