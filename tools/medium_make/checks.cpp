#include "checks.h"

#include <stdio.h>

#include "control_files.h"
#include "game_tree.h"
#include "core/install_rules.h"
#include "state/install_state.h"
#include "text.h"

enum {
    PATH_LIMIT = PATH_CAPACITY - 1,     // bytes of a path the installer composes
    MARGIN_WARNING = 40                 // "C:\Program Files (x86)\" and a longer brand, say
};

static std::string utf8(const std::string &cp932)
{
    return cp932_to_utf8_text(cp932);
}

// A value a quoted string of a control file can hold as it is.
static void check_value(const char *what, const std::string &value, std::vector<std::string> *refusals)
{
    for (unsigned char c : value)
        if (c == '"' || c < 0x20) {
            refusals->push_back(std::string(what) + " \"" + utf8(value) + "\": "
                                + (c == '"' ? "a double quote" : "a control character or line end")
                                + ", which a quoted string of a control file cannot hold");
            return;
        }
}

static void check_name(const char *what, const std::string &value, std::vector<std::string> *refusals)
{
    std::string why = windows_name_refusal(value);
    if (!why.empty())
        refusals->push_back(std::string(what) + " \"" + utf8(value) + "\": " + why
                            + "; it names a folder or shortcut of the install");
}

// Every path the install makes, under the default install folder: refused
// beyond the installer's limit, a warning when little room is left for a
// player who picks a longer folder.
static void check_path_lengths(const MakeRequest &request, const GameTree &tree, std::vector<std::string> *refusals,
                               std::vector<std::string> *warnings)
{
    std::string base = default_install_folder(request);
    if (base.empty())
        return;                         // refused with the control files
    size_t longest = 0;
    std::string longest_path;
    for (const TreeFolder &folder : tree.folders) {
        if (!folder.options)
            continue;
        std::string target = folder.path.empty() ? base : base + folder.path + "\\";
        std::vector<std::string> paths = {target};
        for (const TreeFile &file : folder.files)
            if (file.options)
                paths.push_back(target + file.name);
        for (const std::string &path : paths) {
            if (path.size() > PATH_LIMIT)
                refusals->push_back(utf8(path) + ": " + std::to_string(path.size())
                                    + " bytes in the default install folder; the installer takes "
                                    + std::to_string((int)PATH_LIMIT) + " at the most (shorter names, "
                                    "--title or --brand)");
            else if (path.size() > longest) {
                longest = path.size();
                longest_path = path;
            }
        }
    }
    if (longest && PATH_LIMIT - longest < MARGIN_WARNING)
        warnings->push_back(utf8(longest_path) + ": " + std::to_string(longest) + " bytes; it leaves "
                            + std::to_string(PATH_LIMIT - longest) + " bytes under the default install folder, so "
                            "an install into a folder longer by more than that stops at this file");
}

void check_request(const MakeRequest &request, const GameTree &tree, std::vector<std::string> *refusals,
                   std::vector<std::string> *warnings)
{
    check_value("--title", request.title, refusals);
    check_value("--maker", request.maker, refusals);
    check_value("--brand", request.brand, refusals);
    check_value("--caption", request.caption, refusals);
    if (request.has_execmessage)
        check_value("--execmessage", request.execmessage, refusals);
    check_name("--title", request.title, refusals);
    check_name("--maker", request.maker, refusals);
    check_name("--brand", request.brand, refusals);
    check_name("--caption", request.caption, refusals);
    if (request.options.size() > OPTION_COUNT)
        refusals->push_back(std::to_string(request.options.size()) + " options: the installer offers "
                            + std::to_string((int)OPTION_COUNT) + " at the most");
    for (const OptionRequest &option : request.options)
        check_value("--option", option.name, refusals);
    if (request.shortcuts.size() > SHORTCUT_SLOTS)
        refusals->push_back(std::to_string(request.shortcuts.size()) + " shortcuts: the installer makes "
                            + std::to_string((int)SHORTCUT_SLOTS) + " at the most besides the game's own");
    const TreeFile *program = find_tree_file(tree, request.program);
    if (!program)
        refusals->push_back("--program " + utf8(request.program) + ": no such file in the game folder");
    for (size_t n = 0; program && n < request.options.size(); n++)
        if (!(program->options & (1u << n)))
            refusals->push_back("--option \"" + utf8(request.options[n].name) + "\" does not copy the program "
                                + utf8(request.program));
    for (const ShortcutRequest &shortcut : request.shortcuts) {
        check_value("--shortcut", shortcut.name, refusals);
        check_value("--shortcut", shortcut.target, refusals);
        check_name("--shortcut", shortcut.name, refusals);
        if (!find_tree_file(tree, shortcut.target))
            refusals->push_back("--shortcut " + utf8(shortcut.name) + "=" + utf8(shortcut.target)
                                + ": no such file in the game folder");
    }
    check_path_lengths(request, tree, refusals, warnings);
}
