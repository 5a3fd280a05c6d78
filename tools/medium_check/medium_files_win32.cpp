#include "medium_files.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "boundary/open_file.h"
#include "boundary/wide_text.h"
#include "install/path_scan.h"

static std::string join(const std::string &base, const std::string &relative)
{
    std::string path = base;
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path + relative;
}

std::string cp932_to_utf8(const std::string &text)
{
    if (text.empty())
        return text;
    int wide_length = MultiByteToWideChar(932, 0, text.data(), (int)text.size(), NULL, 0);
    std::wstring wide((size_t)wide_length, L'\0');
    MultiByteToWideChar(932, 0, text.data(), (int)text.size(), &wide[0], wide_length);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, NULL, 0, NULL, NULL);
    std::string out((size_t)length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wide_length, &out[0], length, NULL, NULL);
    return out;
}

// A name from the medium in code page 932, '?' for a character it lacks.
static std::string name_cp932(const wchar_t *name)
{
    std::string out;
    for (const wchar_t *c = name; *c; c++) {
        int pair = c[0] >= 0xD800 && c[0] < 0xDC00 && c[1] >= 0xDC00 && c[1] < 0xE000;
        wchar_t one[3] = {c[0], pair ? c[1] : L'\0', L'\0'};
        char bytes[8];
        out += to_cp932(one, bytes, sizeof bytes) ? bytes : "?";
        c += pair;
    }
    return out;
}

static UINT console_code_page;

// The console keeps its code page after the program ends: give it back.
static void restore_console_code_page(void)
{
    if (console_code_page)
        SetConsoleOutputCP(console_code_page);
}

void prepare_utf8_output(void)
{
    console_code_page = GetConsoleOutputCP();
    if (console_code_page && SetConsoleOutputCP(CP_UTF8))
        atexit(restore_console_code_page);
    _setmode(_fileno(stdout), _O_BINARY);
}

EntryKind medium_entry(const std::string &base, const std::string &relative,
                       unsigned long long *size)
{
    std::string path = join(base, relative);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path.c_str()), GetFileExInfoStandard, &data))
        return ENTRY_NONE;
    if (size)
        *size = (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ENTRY_FOLDER : ENTRY_FILE;
}

int medium_list(const std::string &base, const std::string &relative,
                std::vector<FolderEntry> *entries)
{
    entries->clear();
    std::string folder = join(base, relative);
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide((folder + "*.*").c_str()), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = name_cp932(found.cFileName);
        if (name == "." || name == "..")
            continue;
        FolderEntry e;
        e.name = name;
        e.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        e.size = (unsigned long long)found.nFileSizeHigh << 32 | found.nFileSizeLow;
        entries->push_back(e);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return 1;
}

// The program's own open and fread: what it reads is what is checked.
int medium_read(const std::string &base, const std::string &relative, int text_mode,
                size_t limit, std::string *bytes, int *more)
{
    bytes->clear();
    *more = 0;
    FILE *file = open_file(join(base, relative).c_str(), text_mode ? "rt" : "rb");
    if (!file)
        return 0;
    bytes->resize(limit + 1);
    size_t got = fread(&(*bytes)[0], 1, limit + 1, file);
    fclose(file);
    *more = got > limit;
    bytes->resize(got > limit ? limit : got);
    return 1;
}

int medium_folder_parts(const std::string &given, std::string *full, std::string *parent,
                        std::string *name)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetFullPathNameW(Wide(given.c_str()), MAX_PATH, path, NULL);
    char narrow[2 * MAX_PATH];
    if (length == 0 || length >= MAX_PATH || !to_cp932(path, narrow, sizeof narrow))
        return 0;
    *full = narrow;
    while (full->size() > 3 && full->back() == '\\')
        full->pop_back();
    DWORD attributes = GetFileAttributesW(Wide(full->c_str()));
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    // The last real '\': a name may end in a character whose second byte is 0x5C.
    int last = last_separator(full->c_str(), cp932_lead_byte);
    size_t cut = last < 0 ? std::string::npos : (size_t)last;
    if (cut == std::string::npos || cut + 1 == full->size()) {
        name->clear();
        *parent = *full;
        return 1;
    }
    *name = full->substr(cut + 1);
    *parent = full->substr(0, cut + 1);
    return 1;
}
