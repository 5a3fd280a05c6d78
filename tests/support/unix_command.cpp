#include "support/unix_command.h"

#include <stdlib.h>
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"

std::string current_folder()
{
    char buffer[MAX_PATH];
    DWORD n = GetCurrentDirectory932(sizeof buffer, buffer);
    return std::string(buffer, n) + "\\";
}

std::string unix_path(const std::string &windows_path)
{
    typedef char *(CDECL * UnixName)(LPCWSTR);
    UnixName unix_name = (UnixName)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    Wide wide(windows_path.c_str());
    char *name = unix_name && wide ? unix_name(wide) : NULL;
    std::string result = name ? name : "";
    if (name)
        HeapFree(GetProcessHeap(), 0, name);
    return result;
}

int run_unix(const std::string &command, std::string *output)
{
    // The reply's name is taken in the file system, not from the process
    // number: test programs of two Wine servers share the current folder,
    // and each server numbers its processes alike.
    wchar_t taken[MAX_PATH];
    char taken932[MAX_PATH * 2];
    if (!GetTempFileNameW(Wide(current_folder().c_str()), L"ux", 0, taken) ||
        !to_cp932(taken, taken932, sizeof taken932)) {
        ADD_FAILURE() << "no name for the reply of: " << command;
        return -1;
    }
    std::string reply = std::string(taken932) + ".reply";
    std::string file = "'" + unix_path(reply) + "'";
    // The whole reply appears at once: written aside, then moved in place.
    std::string line = "/bin/sh -c \"(" + command + ") >" + file + ".part 2>&1; echo $? >>" + file +
                       ".part; mv " + file + ".part " + file + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcess932(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        ADD_FAILURE() << "cannot start: " << command;
        DeleteFile932(taken932);
        return -1;
    }
    for (int waited = 0; !path_exists(reply); waited += 20) {
        if (waited >= 120000) {
            ADD_FAILURE() << "no end of: " << command;
            DeleteFile932(taken932);
            return -1;
        }
        Sleep(20);
    }
    std::string text = read_file(reply);
    DeleteFile932(reply.c_str());
    DeleteFile932(taken932);
    // The last line is the exit status.
    size_t status_at = text.rfind('\n', text.size() >= 2 ? text.size() - 2 : 0);
    status_at = status_at == std::string::npos ? 0 : status_at + 1;
    if (output)
        *output = text.substr(0, status_at);
    return atoi(text.c_str() + status_at);
}
