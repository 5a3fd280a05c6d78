#include "layout.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

#include "control_files.h"
#include "game_tree.h"
#include "core/path_scan.h"
#include "text/made_texts.h"

const char DATA_FOLDER[] = "game";
const char SETUP_FOLDER[] = "setup";

enum {
    JOLIET_NAME = 64,           // characters of a name a CD image holds as written
    ENTRY_BASE = 160,           // an ISO record with Rock Ridge fields, and a Joliet record
    ENTRY_PER_BYTE = 4,         // a name's bytes in both trees, UTF-8 and UTF-16
    FOLDER_SECTORS = 6          // a folder's extents in both trees, with room to grow
};

static unsigned long long rounded(unsigned long long bytes)
{
    return (bytes + IMAGE_SECTOR - 1) / IMAGE_SECTOR * IMAGE_SECTOR;
}

unsigned long long image_file_cost(const std::string &name, unsigned long long size)
{
    return rounded(size) + ENTRY_BASE + ENTRY_PER_BYTE * name.size();
}

unsigned long long image_folder_cost(const std::string &name)
{
    return FOLDER_SECTORS * IMAGE_SECTOR + ENTRY_BASE + ENTRY_PER_BYTE * name.size();
}

unsigned long long image_overhead(void)
{
    return 512 * 1024;          // an empty image is 362 KiB
}

// ---- names ----

// Offsets where the characters of a code page 932 text start.
static std::vector<size_t> character_starts(const std::string &text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); i += cp932_lead_byte((unsigned char)text[i]) && i + 1 < text.size() ? 2 : 1)
        starts.push_back(i);
    return starts;
}

// `text` with each character a CD image or a name cannot hold replaced by '_'.
static std::string plain_name(const std::string &text, const char *replaced)
{
    std::string out;
    std::vector<size_t> starts = character_starts(text);
    for (size_t k = 0; k < starts.size(); k++) {
        size_t end = k + 1 < starts.size() ? starts[k + 1] : text.size();
        std::string character = text.substr(starts[k], end - starts[k]);
        int bad = character.size() == 1 && ((unsigned char)character[0] < 0x20 || strchr(replaced, character[0]));
        out += bad ? "_" : character;
    }
    return out;
}

// `head` and as much of the end of `tail` as fits a name of JOLIET_NAME
// characters, '~' marking what was left out.
static std::string fitted_name(const std::string &head, const std::string &tail)
{
    std::vector<size_t> starts = character_starts(tail);
    size_t room = JOLIET_NAME - character_starts(head).size();
    if (starts.size() <= room)
        return head + tail;
    return head + "~" + tail.substr(starts[starts.size() - (room - 1)]);
}

static std::string where_files_go(const std::string &path)
{
    if (path.empty())
        return "(top)";
    std::string out;
    std::vector<size_t> starts = character_starts(path);
    for (size_t k = 0; k < starts.size(); k++) {
        size_t end = k + 1 < starts.size() ? starts[k + 1] : path.size();
        out += path[starts[k]] == '\\' && end - starts[k] == 1 ? std::string("+") : path.substr(starts[k], end - starts[k]);
    }
    return plain_name(out, "*/:;?\\\"<>|");
}

std::vector<DiscFolder> flatten_tree(const GameTree &tree)
{
    std::vector<DiscFolder> pieces;
    for (size_t f = 0; f < tree.folders.size(); f++) {
        const TreeFolder &folder = tree.folders[f];
        std::vector<unsigned> masks;
        unsigned with_files = 0;
        for (const TreeFile &file : folder.files)
            if (file.options && std::find(masks.begin(), masks.end(), file.options) == masks.end()) {
                masks.push_back(file.options);
                with_files |= file.options;
            }
        for (unsigned mask : masks) {
            DiscFolder piece = {(int)f, mask, {}, 0, 0, ""};
            for (size_t i = 0; i < folder.files.size(); i++)
                if (folder.files[i].options == mask) {
                    piece.files.push_back((int)i);
                    piece.bytes += folder.files[i].size;
                }
            pieces.push_back(piece);
        }
        // Options that copy none of its files still need the folder made.
        if (folder.options & ~with_files)
            pieces.push_back(DiscFolder{(int)f, folder.options & ~with_files, {}, 0, 0, ""});
    }
    int width = 4;
    for (size_t n = pieces.size(); n >= 10000; n /= 10)
        width++;
    for (size_t k = 0; k < pieces.size(); k++) {
        std::string number = std::to_string(k + 1);
        number = std::string(width > (int)number.size() ? width - number.size() : 0, '0') + number + "_";
        pieces[k].name = fitted_name(number, where_files_go(tree.folders[pieces[k].folder].path));
    }
    return pieces;
}

std::string check_file_name(const std::string &title, int disc)
{
    char suffix[32];
    snprintf(suffix, sizeof suffix, "_disc%d.txt", disc);
    std::string stem = plain_name(title, " *+/:;?\\\"<>|,");
    std::vector<size_t> starts = character_starts(stem);
    size_t room = JOLIET_NAME - strlen(suffix);
    if (starts.size() > room)
        stem = stem.substr(0, starts[room]);
    return stem + suffix;
}

std::string disc_name(const std::string &title, int disc)
{
    return title + made_disc_name_word + std::to_string(disc);
}

// ---- packing ----

struct Packing {
    const GameTree *tree;
    unsigned long long size;            // the disc size; 0: unbounded
    unsigned long long first_reserve;   // disc 1's program folder
    std::vector<int> directx;           // discs that keep room for the DirectX folder
    unsigned long long directx_cost;
    std::string title;
};

static unsigned long long room_of(const Packing &packing, int disc)
{
    unsigned long long taken = image_overhead() + image_folder_cost(DATA_FOLDER);
    taken += disc == 1 ? packing.first_reserve : image_file_cost(check_file_name(packing.title, disc), 64);
    if (std::find(packing.directx.begin(), packing.directx.end(), disc) != packing.directx.end())
        taken += packing.directx_cost;
    return taken >= packing.size ? 0 : packing.size - taken;
}

static std::string file_too_large(const Packing &packing, const TreeFolder &folder, const TreeFile &file,
                                  unsigned long long room, int disc)
{
    char text[512];
    int directx = std::find(packing.directx.begin(), packing.directx.end(), disc) != packing.directx.end();
    snprintf(text, sizeof text, ": %llu bytes do not fit on a disc of %llu bytes, which has room for %llu "
             "bytes of files in one folder%s", file.size, packing.size, room,
             directx ? " beside the DirectX folder" : "");
    return (folder.unix_path.empty() ? file.unix_name : folder.unix_path + "/" + file.unix_name) + text;
}

// Lays the pieces onto discs in order; a piece larger than the room left
// goes on over the next discs, one copied folder of the same name on each.
static int pack(const Packing &packing, const std::vector<DiscFolder> &pieces, std::vector<DiscFolder> *out,
                std::string *error)
{
    out->clear();
    int disc = 1;
    unsigned long long room = packing.size ? room_of(packing, 1) : 0;
    int disc_empty = 1;
    for (const DiscFolder &piece : pieces) {
        const TreeFolder &folder = packing.tree->folders[piece.folder];
        DiscFolder part = piece;
        part.files.clear();
        part.bytes = 0;
        unsigned long long folder_cost = image_folder_cost(piece.name);
        size_t i = 0;
        do {
            part.disc = disc;
            if (packing.size == 0) {
                part.files = piece.files;
                part.bytes = piece.bytes;
                out->push_back(part);
                break;
            }
            unsigned long long used = folder_cost;
            size_t j = i;
            while (j < piece.files.size()
                   && used + image_file_cost(folder.files[piece.files[j]].name, folder.files[piece.files[j]].size) <= room) {
                const TreeFile &file = folder.files[piece.files[j++]];
                used += image_file_cost(file.name, file.size);
                part.files.push_back(piece.files[j - 1]);
                part.bytes += file.size;
            }
            if (used > room || (j == i && i < piece.files.size())) {
                // Nothing of it fits here: the next disc, unless this one is empty.
                if (disc_empty && i == piece.files.size()) {
                    *error = "the disc size leaves no room for a folder";
                    return 0;
                }
                if (disc_empty) {
                    const TreeFile &file = folder.files[piece.files[i]];
                    *error = file_too_large(packing, folder, file, room > folder_cost ? room - folder_cost : 0, disc);
                    return 0;
                }
                room = room_of(packing, ++disc);
                disc_empty = 1;
                continue;
            }
            out->push_back(part);
            room -= used;
            disc_empty = 0;
            i = j;
            part.files.clear();
            part.bytes = 0;
            if (i < piece.files.size()) {
                room = room_of(packing, ++disc);
                disc_empty = 1;
            }
        } while (i < piece.files.size());
    }
    return 1;
}

// The options' sizes, discs, shortcuts and lists for folders already packed.
static void plan_options(const MakeRequest &request, const GameTree &tree, MediumPlan *plan)
{
    plan->options.assign(request.options.size(), OptionPlan());
    for (size_t n = 0; n < request.options.size(); n++) {
        OptionPlan &option = plan->options[n];
        option.name = request.options[n].name;
        for (const DiscFolder &folder : plan->folders) {
            if (!(folder.options & (1u << n)))
                continue;
            option.bytes += folder.bytes;
            option.statements++;
            if (option.discs.empty() || option.discs.back() != folder.disc)
                option.discs.push_back(folder.disc);
        }
        option.megabytes = (int)((option.bytes + 1048575) / 1048576);
        option.last_disc = option.discs.empty() ? 1 : option.discs.back();
        for (size_t s = 0; s < request.shortcuts.size(); s++) {
            const TreeFile *target = find_tree_file(tree, request.shortcuts[s].target);
            if (target && (target->options & (1u << n)))
                option.shortcuts.push_back((int)s);
        }
    }
    for (size_t n = 0; n < plan->options.size(); n++)
        plan->options[n].list = file_list_text(request, tree, *plan, (int)n);
}

static void count_discs(const GameTree &tree, const Packing &packing, MediumPlan *plan)
{
    int discs = 1;
    for (const DiscFolder &folder : plan->folders)
        discs = std::max(discs, folder.disc);
    plan->discs.assign(discs, DiscPlan());
    for (int d = 1; d <= discs; d++)
        plan->discs[d - 1].used = image_overhead() + image_folder_cost(DATA_FOLDER)
                                  + (d == 1 ? packing.first_reserve : image_file_cost(check_file_name(packing.title, d), 64));
    for (const DiscFolder &folder : plan->folders) {
        DiscPlan &disc = plan->discs[folder.disc - 1];
        disc.folders++;
        disc.files += (int)folder.files.size();
        disc.used += image_folder_cost(folder.name);
        for (int i : folder.files)
            disc.used += image_file_cost(tree.folders[folder.folder].files[i].name, tree.folders[folder.folder].files[i].size);
    }
    for (const OptionPlan &option : plan->options)
        if (packing.directx_cost && !plan->discs[option.last_disc - 1].directx) {
            plan->discs[option.last_disc - 1].directx = 1;
            plan->discs[option.last_disc - 1].used += packing.directx_cost;
        }
}

int plan_medium(const MakeRequest &request, const GameTree &tree, const FixedCosts &fixed, MediumPlan *plan,
                std::string *error)
{
    std::vector<DiscFolder> pieces = flatten_tree(tree);
    Packing packing = {&tree, request.disc_size, fixed.setup, {}, fixed.has_directx ? fixed.directx : 0,
                       request.title};
    plan->capacity = request.disc_size;
    plan->settings = settings_text(request);
    packing.first_reserve = fixed.setup + image_file_cost("install.txt", plan->settings.size());
    // Disc 1's lists and the discs that hold the DirectX folder follow from
    // the packing and change the room it had: pack again with the room they
    // take until nothing grows.
    for (int round = 0; round < 64; round++) {
        if (!pack(packing, pieces, &plan->folders, error))
            return 0;
        plan_options(request, tree, plan);
        unsigned long long needed = fixed.setup + image_file_cost("install.txt", plan->settings.size());
        for (size_t n = 0; n < plan->options.size(); n++)
            needed += image_file_cost("filelist0.txt", plan->options[n].list.size());
        int grown = needed > packing.first_reserve;
        packing.first_reserve = std::max(packing.first_reserve, needed);
        for (const OptionPlan &option : plan->options)
            if (packing.directx_cost
                && std::find(packing.directx.begin(), packing.directx.end(), option.last_disc) == packing.directx.end()) {
                packing.directx.push_back(option.last_disc);
                grown = 1;
            }
        if (!grown || !packing.size) {
            count_discs(tree, packing, plan);
            return 1;
        }
    }
    *error = "the discs could not be laid out: the room for the lists and the DirectX folder keeps growing";
    return 0;
}
