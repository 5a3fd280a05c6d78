// Writing a planned medium: every disc is laid out in a temporary folder
// beside OUT_DIR, checked with medium-check and, with --iso, mastered with
// scripts/master-medium; only then is the folder renamed to OUT_DIR. Any
// failure removes it, so OUT_DIR is whole or not there at all.
#pragma once

#include <string>
#include <vector>

#include "medium_make.h"

typedef void (*Progress)(unsigned long long done, unsigned long long total);

// MAKE_OK, MAKE_CHECKER or MAKE_WRITE_FAILED (with *error). *report is what
// medium-check printed. `directx` is the DirectX folder's tree, or null.
int write_medium(const MakeRequest &request, const GameTree &tree, const GameTree *directx, const MediumPlan &plan,
                 Progress progress, std::string *report, std::string *error);

// The folder of this program (where medium-check is built beside it).
std::string own_folder(void);

// Runs argv[0] (a path) with its standard output and error collected into
// *output; its exit code, -1 when it could not run or did not exit.
int run_program(const std::vector<std::string> &argv, std::string *output);

void remove_tree(const std::string &path);
