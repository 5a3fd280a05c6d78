#include "selection.h"

#include "core/path_scan.h"

static int match_from(const char *glob, const char *path)
{
    while (*glob) {
        if (glob[0] == '*' && glob[1] == '*') {
            const char *rest = glob + 2;
            if (*rest == '/' && match_from(rest + 1, path))     // "**/" may stand for no name
                return 1;
            for (const char *p = path;; p++) {
                if (match_from(rest, p))
                    return 1;
                if (!*p)
                    return 0;
            }
        }
        if (*glob == '*') {
            for (const char *p = path;; p += cp932_lead_byte((unsigned char)*p) && p[1] ? 2 : 1) {
                if (match_from(glob + 1, p))
                    return 1;
                if (!*p || *p == '/')
                    return 0;
            }
        }
        if (!*path)
            return 0;
        int width = cp932_lead_byte((unsigned char)*path) && path[1] ? 2 : 1;
        if (*glob == '?') {
            if (*path == '/')
                return 0;
            glob++;
            path += width;
            continue;
        }
        int glob_width = cp932_lead_byte((unsigned char)*glob) && glob[1] ? 2 : 1;
        if (glob_width != width || std::string(glob, glob_width) != std::string(path, width))
            return 0;
        glob += width;
        path += width;
    }
    return !*path;
}

static std::string slashed(const std::string &text)
{
    std::string out = text;
    for (size_t i = 0; i < out.size(); i++) {
        if (cp932_lead_byte((unsigned char)out[i]) && i + 1 < out.size())
            i++;
        else if (out[i] == '\\')
            out[i] = '/';
    }
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out;
}

int glob_matches(const std::string &glob, const std::string &path)
{
    std::string pattern = slashed(glob);
    std::string whole = slashed(path);
    // The path itself, or any folder above it.
    for (size_t end = whole.size();;) {
        if (match_from(pattern.c_str(), whole.substr(0, end).c_str()))
            return 1;
        size_t slash = end ? whole.rfind('/', end - 1) : std::string::npos;
        if (slash == std::string::npos)
            return 0;
        end = slash;
    }
}

int option_selects(const OptionRequest &option, const std::string &path)
{
    int selected = option.rules.empty() || !option.rules[0].include;
    for (const SelectionRule &rule : option.rules)
        if (glob_matches(rule.glob, path))
            selected = rule.include;
    return selected;
}

void select_options(const std::vector<OptionRequest> &options, GameTree *tree)
{
    std::vector<TreeFolder> &folders = tree->folders;
    for (TreeFolder &folder : folders) {
        folder.options = 0;
        for (TreeFile &file : folder.files) {
            file.options = 0;
            std::string path = folder.path.empty() ? file.name : folder.path + "\\" + file.name;
            for (size_t n = 0; n < options.size(); n++)
                if (option_selects(options[n], path))
                    file.options |= 1u << n;
            folder.options |= file.options;
        }
        if (folder.files.empty() && folder.subfolders == 0 && folder.parent >= 0)
            for (size_t n = 0; n < options.size(); n++)
                if (option_selects(options[n], folder.path))
                    folder.options |= 1u << n;
    }
    // Children follow their parents: one walk from the end carries each
    // folder's needs up to the root.
    for (size_t i = folders.size(); i-- > 1;)
        folders[folders[i].parent].options |= folders[i].options;
    if (!folders.empty())
        folders[0].options = 0;
}
