#include "image_names.h"

#include <algorithm>

#include "install/path_scan.h"
#include "medium_files.h"
#include "state/format_fits.h"
#include "text/checker_texts.h"

int name_characters(const std::string &name)
{
    int count = 0;
    for (size_t i = 0; i < name.size(); i++, count++)
        if (cp932_lead_byte((unsigned char)name[i]) && i + 1 < name.size())
            i++;
    return count;
}

char joliet_refused_character(const std::string &name)
{
    for (size_t i = 0; i < name.size(); i++) {
        if (cp932_lead_byte((unsigned char)name[i]) && i + 1 < name.size()) {
            i++;
            continue;
        }
        for (const char *refused = "*/:;?\\"; *refused; refused++)
            if (name[i] == *refused)
                return name[i];
    }
    return 0;
}

// Double-byte letters by their code: small ones [lower_first, lower_last]
// and the capital of lower_first.
struct CaseRange {
    unsigned lower_first;
    unsigned lower_last;
    unsigned upper_first;
};

static const CaseRange DOUBLE_BYTE_CASES[] = {
    {0x8281, 0x829A, 0x8260},   // full-width Latin
    {0x83BF, 0x83D6, 0x839F},   // Greek
    {0x8470, 0x847E, 0x8440},   // Cyrillic, up to the gap at 0x847F
    {0x8480, 0x8491, 0x844F},
    {0xEEEF, 0xEEF8, 0x8754},   // small Roman numerals, both encodings
    {0xFA40, 0xFA49, 0x8754},
    {0xFA4A, 0xFA53, 0x8754},   // the second encoding of the capitals
};

std::string name_case_key(const std::string &name)
{
    std::string key = name;
    for (size_t i = 0; i < key.size(); i++) {
        unsigned char c = (unsigned char)key[i];
        if (cp932_lead_byte(c) && i + 1 < key.size()) {
            unsigned code = (unsigned)c << 8 | (unsigned char)key[i + 1];
            for (const CaseRange &range : DOUBLE_BYTE_CASES) {
                if (code >= range.lower_first && code <= range.lower_last) {
                    code = range.upper_first + (code - range.lower_first);
                    key[i] = (char)(code >> 8);
                    key[i + 1] = (char)(code & 0xFF);
                    break;
                }
            }
            i++;
        } else if (c >= 'a' && c <= 'z') {
            key[i] = (char)(c - 'a' + 'A');
        }
    }
    return key;
}

struct NameWalk {
    const std::string *root;
    int disc;
    std::vector<Finding> *findings;
};

static void add_name_error(const NameWalk &walk, const std::string &path, const char *kind,
                           const char *message)
{
    char text[1024];
    if (walk.disc > 1)
        format_fits(text, sizeof text, text_of(CheckerText::image_on_disc), walk.disc, message);
    else
        format_fits(text, sizeof text, "%s", message);
    walk.findings->push_back(Finding{1, "D:\\" + path, 0, 0, kind, text});
}

// `relative` is empty for the root, else it ends in '\'; `depth` counts the
// folders it names.
static void check_folder(const NameWalk &walk, const std::string &relative, int depth)
{
    std::vector<FolderEntry> entries;
    if (!medium_list(*walk.root, relative, &entries))
        return;
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry &a, const FolderEntry &b) { return a.name < b.name; });
    std::vector<std::string> keys;
    for (size_t i = 0; i < entries.size(); i++) {
        const FolderEntry &entry = entries[i];
        std::string path = relative + entry.name;
        char message[512];
        int characters = name_characters(entry.name);
        if (characters > JOLIET_NAME_CHARACTERS) {
            format_fits(message, sizeof message, text_of(CheckerText::image_name_too_long),
                        characters, (int)JOLIET_NAME_CHARACTERS);
            add_name_error(walk, path, "image-name-too-long", message);
        }
        if (char refused = joliet_refused_character(entry.name)) {
            format_fits(message, sizeof message, text_of(CheckerText::image_name_character),
                        refused);
            add_name_error(walk, path, "image-name-character", message);
        }
        keys.push_back(name_case_key(entry.name));
        for (size_t j = 0; j < i; j++) {
            if (keys[j] == keys[i]) {
                format_fits(message, sizeof message, text_of(CheckerText::image_name_case),
                            entries[j].name.c_str());
                add_name_error(walk, path, "image-name-case", message);
                break;
            }
        }
        if (!entry.folder)
            continue;
        if (depth + 1 > IMAGE_FOLDER_DEPTH) {
            format_fits(message, sizeof message, text_of(CheckerText::image_folder_too_deep),
                        depth + 1, (int)IMAGE_FOLDER_DEPTH);
            add_name_error(walk, path, "image-folder-too-deep", message);
            continue;
        }
        check_folder(walk, path + "\\", depth + 1);
    }
}

void check_image_names(const std::string &root, int disc, std::vector<Finding> *findings)
{
    NameWalk walk = {&root, disc, findings};
    check_folder(walk, "", 0);
}
