// The control files medium-make writes, in code page 932 with CR LF line
// ends, and their reading-back by the installer's own readers: a value the
// install would refuse or read otherwise is found before anything is written.
#pragma once

#include <string>

#include "medium_make.h"

// install.txt of the request.
std::string settings_text(const MakeRequest &request);

// filelist<n>.txt of option `n` under `plan` (its folders on their discs).
std::string file_list_text(const MakeRequest &request, const GameTree &tree, const MediumPlan &plan,
                           int n);

// Reads install.txt and every list back as the launcher and the options
// dialog read them, and composes the names the install builds from them
// under the default install folder. "" when all is as meant, else what
// the install would refuse, in English with the installer's own message.
std::string refusal_of_controls(const MakeRequest &request, const MediumPlan &plan);

// The default install folder for a Windows on C: ("C:\Program Files\<brand>\<title>\").
std::string default_install_folder(const MakeRequest &request);
