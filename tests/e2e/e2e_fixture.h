// The end-to-end tests' common ground: the medium on drive D: (mapped by
// run_e2e.sh), the test product's settings and record, a fixture that starts
// the real program from D:\setup and ends whatever it left running, and the
// CD-ROM drive that turns the medium laid out on D: into a disc.
#pragma once

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "robot/ui_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/test_bounds.h"
#include "support/unix_command.h"

namespace e2e {


constexpr char MEDIUM_PROGRAM[] = "D:\\setup\\installer.exe";
constexpr char MEDIUM_FOLDER[] = "D:\\setup";
constexpr char TEMP_COPY[] = "C:\\windows\\temp\\installer.exe";
constexpr char MUTEX_NAME[] = "kaduinstmutex";
constexpr char CAPTION[] = "E2Eテスト製品";
constexpr char PRODUCT_KEY[] = "software\\E2ESoft\\E2EGame";
constexpr char GAME_DIR[] = "C:\\e2e-game\\";
constexpr char GAME_PATH[] = "C:\\e2e-game\\testgame.exe";
constexpr char GAME_LOG[] = "C:\\e2e-game\\testgame.log";
constexpr char SETTINGS[] =
    "caption \"E2Eテスト製品\"\n"
    "maker \"E2E工房\"\n"
    "title \"E2EGame\"\n"
    "bland \"E2ESoft\"\n";
constexpr int WAIT_MS = 15000;

// ---- what the tests look at ----

inline std::string temp_file(const char *name)
{
    char folder[MAX_PATH];
    GetTempPath932(sizeof folder, folder);
    return std::string(folder) + name;
}

// The file lines of an install log (folder, caption and key lines left out).
inline std::vector<std::string> logged_files(const std::vector<std::string> &lines)
{
    std::vector<std::string> files;
    for (const std::string &line : lines)
        if (line.empty() || (line[0] != ':' && line[0] != '>' && line[0] != '?'))
            files.push_back(line);
    return files;
}

// Polls `done` every 20 ms until it holds or the time is up.
template <typename Condition>
bool wait_until(Condition done, int timeout_ms = WAIT_MS)
{
    for (DWORD started = GetTickCount(); !done(); Sleep(20))
        if ((int)(GetTickCount() - started) >= timeout_ms)
            return false;
    return true;
}

// Enabled states of the launcher's buttons 1001, 1002, 1003, read from the
// window styles (works while the launcher handles no messages).
inline std::vector<bool> buttons_of(HWND launcher)
{
    std::vector<bool> states;
    for (int id : {1001, 1002, 1003})
        states.push_back(IsWindowEnabled(GetDlgItem(launcher, id)) != 0);
    return states;
}

const std::vector<bool> NOT_INSTALLED = {true, false, false};
const std::vector<bool> INSTALLED = {false, true, true};

// ---- the CD-ROM drive (tests/e2e/cd_drive.sh) ----

enum class MediumKind { FOLDER, IMAGE };

inline void PrintTo(MediumKind kind, std::ostream *os)
{
    *os << (kind == MediumKind::FOLDER ? "a folder" : "a disc image");
}

// Why disc images cannot be mounted here (run_e2e.sh found out), or "".
inline std::string cd_drive_unavailable()
{
    char reason[512];
    DWORD length = GetEnvironmentVariableA("E2E_CD_UNAVAILABLE", reason, sizeof reason);
    return length > 0 && length < sizeof reason ? std::string(reason, length) : std::string();
}

// The folder of this run's own media and discs: run_e2e.sh gives each run a
// folder of its own, since two may run side by side from one build tree.
inline std::string work_folder()
{
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("E2E_WORK", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : build_folder() + "\\e2e-work";
}

inline std::string disc_image(const char *name)
{
    return work_folder() + "\\cd\\" + name + ".iso";
}

// Works the CD-ROM drive through cd_drive.sh with `words` (Windows paths
// allowed): "" when it succeeded, else what it said.
inline std::string cd_drive(const std::vector<std::string> &words)
{
    std::string command = std::string("'") + PROJECT_SOURCE_DIR_TEXT + "/tests/e2e/cd_drive.sh'";
    for (const std::string &word : words)
        command += " '" + word + "'";
    std::string output;
    int status = run_unix(command, &output);
    return status == 0 ? std::string() : "failed (" + std::to_string(status) + ")\n" + output;
}

inline bool mutex_exists()
{
    HANDLE h = OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME);
    if (h)
        CloseHandle(h);
    return h != nullptr;
}

inline void remove_record()
{
    RegDeleteKey932(HKEY_CURRENT_USER, PRODUCT_KEY);
    RegDeleteKey932(HKEY_CURRENT_USER, "software\\E2ESoft");
}

inline void write_record(const char *name, const char *value)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKey932(HKEY_CURRENT_USER, PRODUCT_KEY, &key));
    RegSetValueEx932(key, name, 0, REG_SZ, (const BYTE *)value, (DWORD)strlen(value));
    RegCloseKey(key);
}

// Exit code of a process, waiting for its end; -1 if it does not end.
inline long exit_code_of(HANDLE process, int timeout_ms = WAIT_MS)
{
    if (WaitForSingleObject(process, timeout_ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return (long)code;
}

// The processes a test started or found; whatever still runs at the end is
// ended, after `grace_ms` for it to end by itself.
class ProcessList {
public:
    ~ProcessList() { end_all(0); }
    void add(HANDLE process)
    {
        if (process) {
            handles_.push_back(process);
            bound_process(process);
        }
    }
    HANDLE track(DWORD pid)
    {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                     FALSE, pid);
        add(process);
        return process;
    }
    void end_all(int grace_ms)
    {
        for (HANDLE process : handles_) {
            if (WaitForSingleObject(process, grace_ms) == WAIT_TIMEOUT) {
                TerminateProcess(process, 99);
                WaitForSingleObject(process, WAIT_MS);
            }
            unbound_process(process);
            CloseHandle(process);
        }
        handles_.clear();
    }

private:
    std::vector<HANDLE> handles_;
};

class EndToEnd : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(path_exists(MEDIUM_FOLDER)) << "D: is not mapped: run through run_e2e.sh";
        SetFileAttributes932(MEDIUM_PROGRAM, FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(CopyFile932((build_folder() + "\\..\\installer.exe").c_str(), MEDIUM_PROGRAM, FALSE));
        write_file("D:\\setup\\install.txt", SETTINGS);
        DeleteFile932("D:\\setup\\installer.bmp");
        remove_record();
        ASSERT_FALSE(mutex_exists()) << "a launcher from an earlier test still runs";
    }

    void TearDown() override
    {
        processes_.end_all(0);
        remove_record();
    }

    // Starts D:\setup\installer.exe in D:\setup as the user would; a null
    // command line gives the program just its own name.
    HANDLE start_medium(const char *command_line = nullptr)
    {
        std::string line = command_line ? command_line : "";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        BOOL ok = CreateProcess932(MEDIUM_PROGRAM, command_line ? &line[0] : NULL, NULL, NULL,
                                 FALSE, 0, NULL, MEDIUM_FOLDER, &startup, &process);
        EXPECT_TRUE(ok) << GetLastError();
        if (!ok)
            return nullptr;
        CloseHandle(process.hThread);
        processes_.add(process.hProcess);
        return process.hProcess;
    }

    HANDLE track(DWORD pid) { return processes_.track(pid); }

    // The medium process relaunches and ends with 0; the launcher shows.
    HWND open_launcher(const char *command_line = nullptr, const char *caption = CAPTION)
    {
        HANDLE medium = start_medium(command_line);
        if (!medium)
            return nullptr;
        EXPECT_EQ(0, exit_code_of(medium));
        HWND window = robot_wait_window(caption, "#32770", 0, WAIT_MS, true);
        EXPECT_NE(nullptr, window);
        if (window) {
            launcher_pid_ = robot_process_of(window);
            launcher_ = track(launcher_pid_);
        }
        return window;
    }

    ProcessList processes_;
    DWORD launcher_pid_ = 0;
    HANDLE launcher_ = nullptr;
};

}  // namespace e2e
