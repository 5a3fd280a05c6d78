// Commands of the host, for what only the host can do in a Win32 test under
// Wine: mount a small disk, map a drive, make a file immutable, work the
// CD-ROM drive.
#pragma once

#include <string>

// The current folder, with a trailing '\'.
std::string current_folder();

// The host's path of a Windows path of the prefix.
std::string unix_path(const std::string &windows_path);

// Runs `command` with the host's /bin/sh and waits for its end (two minutes
// at the most): its exit status, or -1 when it did not end in time. What it
// printed goes to `output`. Wine starts a Unix program for CreateProcess but
// hands back no process to wait for, so the command leaves its output and
// status in a file of the current folder, and the wait is for that file.
int run_unix(const std::string &command, std::string *output = nullptr);
