// Win32 side of the checker tests: lays a medium out on a Wine drive and runs
// build/medium-check.exe on it, capturing its report and exit code.
#pragma once

#include <string.h>
#include <windows.h>

#include <string>
#include <vector>

#include "checker/checker_media.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"

namespace checker_media {

// Writes `files` under `root` ('/' becomes '\'), creating folders on the way.
inline void write_medium(const std::string &root, const std::vector<MediumFile> &files)
{
    CreateDirectory932(root.c_str(), NULL);
    for (const MediumFile &file : files) {
        std::string path = root + "\\" + file.path;
        for (char &c : path)
            if (c == '/')
                c = '\\';
        for (size_t i = root.size() + 1; i < path.size(); i++)
            if (path[i] == '\\')
                CreateDirectory932(path.substr(0, i).c_str(), NULL);
        if (path.back() != '\\')
            write_file(path, file.bytes);
    }
}

// Runs medium-check.exe with `arguments`; its exit code, or -1.
inline int run_medium_check(const std::string &arguments, std::string *out)
{
    out->clear();
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0))
        return -1;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string program = build_folder() + "\\..\\medium-check.exe";
    std::string line = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcess932(program.c_str(), &line[0], NULL, NULL, TRUE, 0, NULL, NULL,
                                  &startup, &process);
    CloseHandle(write_end);
    if (!started) {
        CloseHandle(read_end);
        return -1;
    }
    char buffer[4096];
    DWORD got;
    while (ReadFile(read_end, buffer, sizeof buffer, &got, NULL) && got > 0)
        out->append(buffer, got);
    CloseHandle(read_end);
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (int)code;
}

}  // namespace checker_media
