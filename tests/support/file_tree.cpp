#include "support/file_tree.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "boundary/open_file.h"
#include "core/path_scan.h"
#include "install/make_path.h"
#include "support/cp932_calls.h"

std::string build_folder()
{
    char path[MAX_PATH];
    GetModuleFileName932(NULL, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return path;
}

bool path_exists(const std::string &path)
{
    return GetFileAttributes932(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool is_folder(const std::string &path)
{
    DWORD a = GetFileAttributes932(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void write_file(const std::string &path, const std::string &bytes)
{
    FILE *f = open_file(path.c_str(), "wb");
    if (!f) {
        ADD_FAILURE() << "cannot write " << path;
        return;
    }
    size_t written = fwrite(bytes.data(), 1, bytes.size(), f);
    if (fclose(f) != 0 || written != bytes.size())
        ADD_FAILURE() << "cannot write " << path;
}

std::string read_file(const std::string &path)
{
    std::string bytes;
    FILE *f = open_file(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

std::vector<std::string> read_lines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = read_file(path);
    if (text == "<missing>")
        return lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r')
            length--;
        lines.push_back(text.substr(start, length));
    }
    return lines;
}

std::vector<std::string> folder_entries(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    std::string pattern = folder + (ends_with_separator(folder.c_str(), cp932_lead_byte) ? "*" : "\\*");
    HANDLE find = FindFirstFile932(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFile932(find, &found));
    FindClose(find);
    return names;
}

void remove_tree(const std::string &path)
{
    // A link is removed itself, never entered: what it leads to is not the test's.
    DWORD attributes = GetFileAttributes932(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!RemoveDirectory932(path.c_str()))
            DeleteFile932(path.c_str());
        return;
    }
    if (!is_folder(path)) {
        SetFileAttributes932(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFile932(path.c_str());
        return;
    }
    std::string base = ends_with_separator(path.c_str(), cp932_lead_byte) ? path : path + "\\";
    for (const std::string &name : folder_entries(base))
        remove_tree(base + name);
    RemoveDirectory932(path.c_str());
}

std::string read_file_when(const std::string &path, const std::string &marker, int timeout_ms)
{
    for (int waited = 0; waited < timeout_ms; waited += 50) {
        std::string text = read_file(path);
        if (text != "<missing>" && text.find(marker) != std::string::npos)
            return text;
        Sleep(50);
    }
    return std::string();
}

std::string source_path(const std::string &relative)
{
    std::string path = std::string("Z:") + PROJECT_SOURCE_DIR_TEXT + "\\" + relative;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}
