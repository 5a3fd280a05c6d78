// Bounds on every Win32 test, so that a broken change fails fast instead of
// hanging: a test that answers the same box of the same process more than a
// few times in a row, or that runs past a minute, fails at once. It prints
// what was on screen and ends the test program, which the suite counts as a
// failure; the processes the test started are ended with it.
#pragma once

#include <windows.h>

#include <string>

constexpr int SAME_BOX_ANSWERS_MAX = 5;
constexpr DWORD TEST_TIME_LIMIT_MS = 60000;

// Registers the per-test clock and the robots' answer count (wine_main).
void install_test_bounds();

// Every answer a robot gives to a box (the in-process and the cross-process
// robot both report here). A box answered again while it is still the same
// window (a polling robot sees it until it has closed) counts once.
void note_box_answered(HWND box, DWORD process, const std::string &caption, const std::string &text);

// 1 in the child process a death test runs its statement in.
bool in_death_test_child();

// Processes a test started, ended should the test be stopped.
void bound_process(HANDLE process);
void unbound_process(HANDLE process);

// Prints the test's name, `why` and every window on screen, ends the bound
// processes and the test program.
[[noreturn]] void fail_test_now(const std::string &why);
