#include "medium_files.h"

#include <dirent.h>
#include <errno.h>
#include <iconv.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>

static std::string convert(const std::string &text, const char *to, const char *from)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return text;
    std::string out;
    char *in = const_cast<char *>(text.data());
    size_t in_left = text.size();
    char buffer[1024];
    while (in_left > 0) {
        char *o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out.append(buffer, (size_t)(o - buffer));
        if (r == (size_t)-1 && errno != E2BIG) {
            out += '?';             // a byte the code page does not map
            in++;
            in_left--;
        }
    }
    iconv_close(cd);
    return out;
}

std::string cp932_to_utf8(const std::string &text)
{
    return convert(text, "UTF-8", "CP932");
}

void prepare_utf8_output(void) {}

static int stat_kind(const std::string &path, unsigned long long *size)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return ENTRY_NONE;
    if (size)
        *size = (unsigned long long)st.st_size;
    return S_ISDIR(st.st_mode) ? ENTRY_FOLDER : ENTRY_FILE;
}

// The name in `folder` that equals `name` but for ASCII case, or "".
static std::string find_any_case(const std::string &folder, const std::string &name)
{
    std::string found;
    DIR *dir = opendir(folder.c_str());
    if (!dir)
        return found;
    while (struct dirent *entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

// The native path of `relative` under `base`, each name matched in any case;
// "" when a name is not there.
static std::string resolve(const std::string &base, const std::string &relative)
{
    std::string path = base;
    std::string utf8 = cp932_to_utf8(relative);
    size_t start = 0;
    while (start <= utf8.size()) {
        size_t end = utf8.find('\\', start);
        if (end == std::string::npos)
            end = utf8.size();
        std::string name = utf8.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        std::string next = path + "/" + name;
        if (stat_kind(next, nullptr) == ENTRY_NONE) {
            std::string other = find_any_case(path, name);
            if (other.empty())
                return "";
            next = path + "/" + other;
        }
        path = next;
    }
    return path;
}

EntryKind medium_entry(const std::string &base, const std::string &relative,
                       unsigned long long *size)
{
    std::string path = resolve(base, relative);
    return path.empty() ? ENTRY_NONE : (EntryKind)stat_kind(path, size);
}

int medium_list(const std::string &base, const std::string &relative,
                std::vector<FolderEntry> *entries)
{
    entries->clear();
    std::string path = resolve(base, relative);
    DIR *dir = path.empty() ? nullptr : opendir(path.c_str());
    if (!dir)
        return 0;
    while (struct dirent *entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        FolderEntry e;
        e.name = convert(name, "CP932", "UTF-8");
        e.size = 0;
        e.folder = stat_kind(path + "/" + name, &e.size) == ENTRY_FOLDER;
        entries->push_back(e);
    }
    closedir(dir);
    return 1;
}

int medium_read(const std::string &base, const std::string &relative, int text_mode,
                size_t limit, std::string *bytes, int *more)
{
    bytes->clear();
    *more = 0;
    std::string path = resolve(base, relative);
    FILE *file = path.empty() ? nullptr : fopen(path.c_str(), "rb");
    if (!file)
        return 0;
    int c;
    while ((c = fgetc(file)) != EOF) {
        if (text_mode && c == 0x1A)
            break;
        if (text_mode && c == '\r') {
            int next = fgetc(file);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                ungetc(next, file);
        }
        if (bytes->size() == limit) {
            *more = 1;
            break;
        }
        bytes->push_back((char)c);
    }
    fclose(file);
    return 1;
}

int medium_folder_parts(const std::string &given, std::string *full, std::string *parent,
                        std::string *name)
{
    char resolved[PATH_MAX];
    if (!realpath(given.c_str(), resolved) || stat_kind(resolved, nullptr) != ENTRY_FOLDER)
        return 0;
    *full = resolved;
    size_t cut = full->rfind('/');
    *name = full->substr(cut + 1);
    *parent = cut == 0 ? std::string("/") : full->substr(0, cut);
    if (name->empty())
        *parent = *full;
    return 1;
}
