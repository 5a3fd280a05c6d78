// The layout of a medium: the game tree's folders flattened into copied
// folders that hold files only, packed in tree order onto discs of a given
// size, and each option's list of copy statements. Nothing here touches the
// disk: the same tree and request give the same plan.
#pragma once

#include <string>

#include "medium_make.h"

enum { IMAGE_SECTOR = 2048 };

// What an image spends on one entry: its sectors and its directory records
// (ISO 9660 with Rock Ridge, and Joliet).
unsigned long long image_file_cost(const std::string &name, unsigned long long size);
unsigned long long image_folder_cost(const std::string &name);
// A whole image's fixed part: system area, descriptors, path tables, padding.
unsigned long long image_overhead(void);

// What stands on the discs beside the game's files, in image bytes.
struct FixedCosts {
    unsigned long long setup;           // disc 1's program folder, the lists left out
    unsigned long long directx;         // the DirectX folder with all it holds; 0 when none
    int has_directx;
};

// The copied folders of the tree in tree order, each named on the disc by
// its number and where its files go ("0042_data+music"), not yet on a disc.
std::vector<DiscFolder> flatten_tree(const GameTree &tree);

// The check file of disc `disc` (from 2): named after the title.
std::string check_file_name(const std::string &title, int disc);
// The title, made_disc_name_word and the number.
std::string disc_name(const std::string &title, int disc);

// Packs the copied folders onto discs, writes each option's list and decides
// where the DirectX folder goes. 0, with a message in *error, when a file
// does not fit on a disc.
int plan_medium(const MakeRequest &request, const GameTree &tree, const FixedCosts &fixed,
                MediumPlan *plan, std::string *error);
