#include "arguments.h"

#include <ctype.h>
#include <string.h>

#include "text.h"
#include "text/made_texts.h"

const char MEDIUM_MAKE_USAGE[] =
    "usage: medium-make GAME_DIR OUT_DIR --title T --maker M --brand B --caption C --program PATH\n"
    "         [--execmessage TEXT] [--comment FILE] [--splash FILE.bmp] [--directx DIR]\n"
    "         [--option NAME [--exclude GLOB]... [--include GLOB]...]...\n"
    "         [--shortcut NAME=PATH]... [--disc-size cd650|cd700|dvd5|dvd9|BYTES] [--label L]\n"
    "         [--installer FILE] [--iso] [--dry-run]\n"
    "exit code: 0 made, 1 wrong command line, 2 refused before writing (nothing written),\n"
    "           3 medium-check found errors (nothing left), 4 writing or mastering failed (nothing left)\n";

static int disc_size_of(const std::string &word, unsigned long long *bytes)
{
    static const struct {
        const char *name;
        unsigned long long sectors;     // 2,048-byte sectors of a blank disc
    } sizes[] = {{"cd650", 333000}, {"cd700", 360000}, {"dvd5", 2295104}, {"dvd9", 4171712}};
    for (const auto &size : sizes)
        if (word == size.name) {
            *bytes = size.sectors * 2048;
            return 1;
        }
    if (word.empty() || word.size() > 18)
        return 0;
    for (char c : word)
        if (!isdigit((unsigned char)c))
            return 0;
    *bytes = strtoull(word.c_str(), nullptr, 10);
    return *bytes > 0;
}

// '/' taken as '\', as the lists write paths.
static std::string backslashed(const std::string &path)
{
    std::string out = path;
    for (size_t i = 0; i < out.size(); i++)
        if (out[i] == '/')
            out[i] = '\\';
    return out;
}

static std::string default_label(const std::string &title)
{
    std::string label;
    for (char c : title)
        if (isalnum((unsigned char)c) && label.size() < 13)
            label += (char)toupper((unsigned char)c);
    return label.empty() ? "GAME" : label;
}

struct Parser {
    std::vector<std::string> words;
    size_t at;
    std::string *error;
};

// The value after the option at `at`, in code page 932 when `cp932`.
static int value_of(Parser &p, int cp932, std::string *out)
{
    const std::string option = p.words[p.at];
    if (p.at + 1 >= p.words.size()) {
        *p.error = option + " needs a value";
        return 0;
    }
    const std::string &value = p.words[++p.at];
    if (!cp932) {
        *out = value;
        return 1;
    }
    if (!utf8_to_cp932(value, out)) {
        *p.error = option + " \"" + value + "\": a character code page 932 cannot hold";
        return 0;
    }
    return 1;
}

int parse_arguments(const std::vector<std::string> &words, MakeRequest *request, std::string *error)
{
    Parser p = {words, 0, error};
    std::vector<std::string> positional;
    struct Text {
        const char *option;
        std::string *value;
    } texts[] = {{"--title", &request->title},       {"--maker", &request->maker},
                 {"--brand", &request->brand},       {"--caption", &request->caption},
                 {"--execmessage", &request->execmessage}};
    struct Path {
        const char *option;
        std::string *value;
    } paths[] = {{"--comment", &request->unix_comment}, {"--splash", &request->unix_splash},
                 {"--directx", &request->unix_directx}, {"--installer", &request->unix_installer}};
    std::string label;
    for (; p.at < words.size(); p.at++) {
        const std::string &word = words[p.at];
        int done = 0;
        for (const Text &text : texts)
            if (word == text.option) {
                if (!value_of(p, 1, text.value))
                    return 0;
                request->has_execmessage |= word == "--execmessage";
                done = 1;
            }
        for (const Path &path : paths)
            if (word == path.option) {
                if (!value_of(p, 0, path.value))
                    return 0;
                done = 1;
            }
        if (done)
            continue;
        std::string value;
        if (word == "--program") {
            if (!value_of(p, 1, &value))
                return 0;
            request->program = backslashed(value);
        } else if (word == "--option") {
            if (!value_of(p, 1, &value))
                return 0;
            request->options.push_back(OptionRequest{value, {}});
        } else if (word == "--include" || word == "--exclude") {
            if (request->options.empty()) {
                *error = word + " belongs to an --option: give the option first";
                return 0;
            }
            if (!value_of(p, 1, &value))
                return 0;
            request->options.back().rules.push_back(SelectionRule{word == "--include", value});
        } else if (word == "--shortcut") {
            if (!value_of(p, 1, &value))
                return 0;
            size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
                *error = "--shortcut \"" + words[p.at] + "\": write NAME=PATH";
                return 0;
            }
            request->shortcuts.push_back(ShortcutRequest{value.substr(0, equals), backslashed(value.substr(equals + 1))});
        } else if (word == "--disc-size") {
            if (!value_of(p, 0, &value))
                return 0;
            if (!disc_size_of(value, &request->disc_size)) {
                *error = "--disc-size " + value + ": give cd650, cd700, dvd5, dvd9 or a number of bytes";
                return 0;
            }
        } else if (word == "--label") {
            if (!value_of(p, 0, &label))
                return 0;
        } else if (word == "--iso") {
            request->iso = 1;
        } else if (word == "--dry-run") {
            request->dry_run = 1;
        } else if (word.size() > 1 && word[0] == '-') {
            *error = "unknown option " + word;
            return 0;
        } else {
            positional.push_back(word);
        }
    }
    if (positional.size() != 2) {
        *error = "give GAME_DIR and OUT_DIR";
        return 0;
    }
    request->unix_game_dir = positional[0];
    request->unix_out_dir = positional[1];
    for (const Text &text : texts)
        if (text.value->empty() && strcmp(text.option, "--execmessage") != 0) {
            *error = std::string(text.option) + " is required";
            return 0;
        }
    if (request->program.empty()) {
        *error = "--program is required";
        return 0;
    }
    if (request->options.empty())
        request->options.push_back(OptionRequest{made_whole_option_name, {}});
    request->label = label.empty() ? default_label(request->title) : label;
    for (char c : request->label)
        if (!(isupper((unsigned char)c) || isdigit((unsigned char)c) || c == '_') || request->label.size() > 13) {
            *error = "--label " + label + ": up to 13 characters of A-Z, 0-9 and _";
            return 0;
        }
    return 1;
}
