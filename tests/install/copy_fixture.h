// Shared ground for the copy tests under Wine: a scratch folder per test,
// test bytes, drive letters of the host's folders, and the bar's real
// positions seen through a hook on the thread's sent messages.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/install_state.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/unix_command.h"

namespace copy_fixture {

inline long long file_size(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesEx932(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

inline std::string pattern_bytes(size_t size, int seed = 0)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i++)
        bytes[i] = (char)(i * 131 + i / 509 + seed);
    return bytes;
}

// An empty folder named after the running test, below the results folder.
inline std::string fresh_folder(const std::string &suffix = "")
{
    const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
    std::string base = current_folder() + "copy_work\\";
    CreateDirectory932(base.c_str(), NULL);
    std::string folder = base + test->test_suite_name() + "." + test->name() + suffix + "\\";
    run_unix("rm -rf '" + unix_path(folder) + "'");     // host speed, whatever it holds
    CreateDirectory932(folder.c_str(), NULL);
    return folder;
}

// Points drive `letter` at a folder of the host (the prefix's dosdevices).
inline void map_drive(char letter, const std::string &windows_folder)
{
    run_unix(std::string("ln -sfn '") + unix_path(windows_folder) + "' \\\"$WINEPREFIX/dosdevices/" +
             (char)tolower(letter) + ":\\\"");
}

inline void unmap_drive(char letter)
{
    run_unix(std::string("rm -f \\\"$WINEPREFIX/dosdevices/") + (char)tolower(letter) + ":\\\"");
}

// What the copy leaves in the process-wide record for a test: the program's
// own resources, a log in `folder`, no windows behind the dialog.
inline void prepare_state(const std::string &folder)
{
    install_state.instance = GetModuleHandleA(NULL);
    install_state.launcher_window = NULL;
    install_state.options_window = NULL;
    std::string log = folder + "instlog.txt";
    snprintf(install_state.install_log_path, sizeof install_state.install_log_path, "%s", log.c_str());
}

// Every PBM_SETPOS sent to a real progress bar of this thread, as the bar's
// own position right after it took the message; and an event list that
// other observers of a test may append to.
struct BarWatch {
    std::vector<int> positions;
    std::vector<std::string> events;
    std::vector<HWND> invalidate_after_each;     // windows made dirty after each position
    HHOOK hook;

    static BarWatch *&current()
    {
        static BarWatch *watch;
        return watch;
    }

    static LRESULT CALLBACK after_send(int code, WPARAM wparam, LPARAM lparam)
    {
        const CWPRETSTRUCT *sent = (const CWPRETSTRUCT *)lparam;
        BarWatch *watch = current();
        if (code == HC_ACTION && watch && sent->message == PBM_SETPOS) {
            char name[64];
            GetClassNameA(sent->hwnd, name, sizeof name);
            if (std::string(name) == "msctls_progress32") {
                LRESULT position = SendMessageA(sent->hwnd, PBM_GETPOS, 0, 0);
                watch->positions.push_back(position);
                watch->events.push_back("bar " + std::to_string(position));
                for (HWND window : watch->invalidate_after_each)
                    InvalidateRect(window, NULL, FALSE);
            }
        }
        return CallNextHookEx(NULL, code, wparam, lparam);
    }

    BarWatch()
    {
        current() = this;
        hook = SetWindowsHookExA(WH_CALLWNDPROCRET, after_send, NULL, GetCurrentThreadId());
    }
    ~BarWatch()
    {
        UnhookWindowsHookEx(hook);
        current() = nullptr;
    }
};

}  // namespace copy_fixture
