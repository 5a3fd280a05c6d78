// medium-check's program once its command line is read: each platform's
// entry point (main_posix.cpp, main_win32.cpp) reads it and calls this.
#pragma once

#include <string>
#include <vector>

// `arguments` follow the program's name, in code page 932; `held` is 0 when
// one of them holds a character 932 lacks. Returns the exit code.
int medium_check_main(int held, const std::vector<std::string> &arguments);
