#include "game_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctype.h>
#include <string.h>

#include <algorithm>
#include <map>

#include "core/path_scan.h"
#include "text.h"

std::string windows_name_refusal(const std::string &name)
{
    if (name.empty())
        return "an empty name";
    for (size_t i = 0; i < name.size(); i++) {
        unsigned char c = (unsigned char)name[i];
        if (cp932_lead_byte(c) && i + 1 < name.size()) {
            i++;
            continue;
        }
        if (c < 0x20 || strchr("\\/:*?\"<>|", c))
            return std::string("the character '") + (char)(c < 0x20 ? '?' : c) + "', which Windows refuses in a name";
    }
    char last = name.back();
    if ((last == '.' || last == ' ') && !(name.size() >= 2 && cp932_lead_byte((unsigned char)name[name.size() - 2])))
        return "a name ending in a dot or a blank, which Windows drops";
    std::string stem = name.substr(0, name.find('.'));
    for (char &c : stem)
        c = (char)toupper((unsigned char)c);
    static const char *devices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
                                    "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",
                                    "LPT7", "LPT8", "LPT9"};
    for (const char *device : devices)
        if (stem == device)
            return "a device name of Windows";
    return "";
}

// ASCII letters folded, as Windows compares names.
static std::string case_key(const std::string &name)
{
    std::string out = name;
    for (size_t i = 0; i < out.size(); i++) {
        if (cp932_lead_byte((unsigned char)out[i]) && i + 1 < out.size())
            i++;
        else if (out[i] >= 'a' && out[i] <= 'z')
            out[i] = (char)(out[i] - 'a' + 'A');
    }
    return out;
}

struct Entry {
    std::string name;               // code page 932
    std::string unix_name;
    int folder;
    unsigned long long size;
};

struct TreeReader {
    std::string root;
    GameTree *tree;
    std::vector<std::string> *refusals;
};

static std::string shown(const std::string &unix_path)
{
    return unix_path.empty() ? std::string(".") : unix_path;
}

// The entries of one folder, sorted by their code page 932 names.
static void list_folder(TreeReader &reader, const std::string &unix_path, std::vector<Entry> *entries)
{
    std::string full = reader.root + (unix_path.empty() ? "" : "/" + unix_path);
    DIR *dir = opendir(full.c_str());
    if (!dir) {
        reader.refusals->push_back(shown(unix_path) + ": the folder cannot be read");
        return;
    }
    std::map<std::string, std::string> seen;    // case key -> name
    while (struct dirent *d = readdir(dir)) {
        std::string unix_name = d->d_name;
        if (unix_name == "." || unix_name == "..")
            continue;
        std::string path = unix_path.empty() ? unix_name : unix_path + "/" + unix_name;
        struct stat st;
        if (lstat((full + "/" + unix_name).c_str(), &st) != 0) {
            reader.refusals->push_back(path + ": cannot be read");
            continue;
        }
        Entry entry = {"", unix_name, S_ISDIR(st.st_mode) ? 1 : 0, (unsigned long long)st.st_size};
        if (S_ISLNK(st.st_mode)) {
            reader.refusals->push_back(path + ": a symbolic link; put the file or folder itself in the tree");
            continue;
        }
        if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) {
            reader.refusals->push_back(path + ": neither a file nor a folder");
            continue;
        }
        if (!utf8_to_cp932(unix_name, &entry.name)) {
            reader.refusals->push_back(path + ": a name code page 932 cannot hold");
            continue;
        }
        std::string why = windows_name_refusal(entry.name);
        if (!why.empty()) {
            reader.refusals->push_back(path + ": " + why);
            continue;
        }
        if (!entry.folder) {
            int fd = open((full + "/" + unix_name).c_str(), O_RDONLY);
            if (fd < 0) {
                reader.refusals->push_back(path + ": the file cannot be read");
                continue;
            }
            close(fd);
        }
        std::string key = case_key(entry.name);
        auto other = seen.find(key);
        if (other != seen.end()) {
            std::string first = std::min(other->second, unix_name), second = std::max(other->second, unix_name);
            reader.refusals->push_back((unix_path.empty() ? "" : unix_path + "/") + second + ": differs from \""
                                       + first + "\" only in case; Windows takes them for one name");
            continue;
        }
        seen[key] = unix_name;
        entries->push_back(entry);
    }
    closedir(dir);
    std::sort(entries->begin(), entries->end(), [](const Entry &a, const Entry &b) { return a.name < b.name; });
}

// Tree order: each folder right after its parent's files and before its
// own children, so a subtree lies together on the discs.
static void read_folder(TreeReader &reader, int index)
{
    GameTree *tree = reader.tree;
    std::vector<Entry> entries;
    list_folder(reader, tree->folders[index].unix_path, &entries);
    for (const Entry &entry : entries) {
        if (entry.folder)
            continue;
        tree->folders[index].files.push_back(TreeFile{entry.name, entry.unix_name, entry.size, 0});
        tree->files++;
        tree->bytes += entry.size;
    }
    for (const Entry &entry : entries) {
        if (!entry.folder)
            continue;
        TreeFolder &folder = tree->folders[index];
        folder.subfolders++;
        std::string path = folder.path.empty() ? entry.name : folder.path + "\\" + entry.name;
        std::string unix_path = folder.unix_path.empty() ? entry.unix_name : folder.unix_path + "/" + entry.unix_name;
        tree->folders.push_back(TreeFolder{path, unix_path, index, {}, 0, 0});
        read_folder(reader, (int)tree->folders.size() - 1);
    }
}

int read_game_tree(const std::string &unix_root, GameTree *tree, std::vector<std::string> *refusals)
{
    size_t refused = refusals->size();
    TreeReader reader = {unix_root, tree, refusals};
    tree->folders.clear();
    tree->files = tree->bytes = 0;
    tree->folders.push_back(TreeFolder{"", "", -1, {}, 0, 0});
    read_folder(reader, 0);
    return refusals->size() == refused;
}

const TreeFile *find_tree_file(const GameTree &tree, const std::string &path)
{
    size_t cut = path.rfind('\\');
    std::string parent = cut == std::string::npos ? "" : path.substr(0, cut);
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    for (const TreeFolder &folder : tree.folders)
        if (folder.path == parent)
            for (const TreeFile &file : folder.files)
                if (file.name == name)
                    return &file;
    return nullptr;
}
