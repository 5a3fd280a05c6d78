// medium-make's command line: texts converted to code page 932 strictly,
// paths of this machine kept as given.
#pragma once

#include <string>
#include <vector>

#include "medium_make.h"

extern const char MEDIUM_MAKE_USAGE[];

// Fills *request from the words after the program's name; 0 with the
// reason in *error when the command line is wrong.
int parse_arguments(const std::vector<std::string> &words, MakeRequest *request, std::string *error);
