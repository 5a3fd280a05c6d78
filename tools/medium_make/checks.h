// What the request asks that no install could do as meant, found before
// anything is written: values a control file cannot hold, names Windows
// cannot make, a program or shortcut target missing from the tree, too many
// shortcuts or options, and paths beyond the installer's limits under the
// default install folder (with a warning when little room is left).
#pragma once

#include <string>
#include <vector>

#include "medium_make.h"

// Options must already be selected on `tree` (select_options).
void check_request(const MakeRequest &request, const GameTree &tree, std::vector<std::string> *refusals,
                   std::vector<std::string> *warnings);
