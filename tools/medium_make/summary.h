// What medium-make tells people: the plan of every copied folder (for
// --dry-run), the one-screen summary, and the progress line of a long write.
#pragma once

#include <string>

#include "medium_make.h"

std::string plan_text(const GameTree &tree, const MediumPlan &plan);
std::string summary_text(const MakeRequest &request, const GameTree &tree, const MediumPlan &plan, int written);

// On a terminal, one line rewritten in place; elsewhere nothing, so logs
// stay short. Trees of fewer than 1,000 files show none.
void show_progress(unsigned long long done, unsigned long long total);
