// Small file-system helpers for the Win32 tests: make files, read them back,
// list folders, remove a whole test tree afterwards.
#pragma once

#include <string>
#include <vector>

// The folder of the running test program (the Windows build's tree).
std::string build_folder();

// A file of the project's sources, as Wine reaches it through drive Z:
// (`relative` with '\\' separators).
std::string source_path(const std::string &relative);

bool path_exists(const std::string &path);
bool is_folder(const std::string &path);

// Writes the whole file; a file that cannot be written fails the test.
void write_file(const std::string &path, const std::string &bytes);

// The file's bytes, or "<missing>" when it cannot be opened (an empty file
// reads as "").
std::string read_file(const std::string &path);

// The file's complete lines, each without its LF or CR LF; bytes after the
// last line break are no line. None for a missing file.
std::vector<std::string> read_lines(const std::string &path);

// The entries of a folder (with or without its trailing '\') other than "."
// and "..", in the platform's listing order.
std::vector<std::string> folder_entries(const std::string &folder);

// Removes a file, or a folder with everything in it.
void remove_tree(const std::string &path);

// The file's bytes once they contain `marker`, waiting up to `timeout_ms`
// (another process writes it); "" when they never do.
std::string read_file_when(const std::string &path, const std::string &marker, int timeout_ms);
