#include "support/test_bounds.h"

#include <io.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include <gtest/gtest.h>

#include "robot/ui_robot.h"
#include "support/box_pattern.h"

namespace {

std::mutex guard;
std::string running_test;          // "" between tests
DWORD test_started = 0;
HANDLE test_changed = NULL;        // set when a test starts or ends
std::vector<HANDLE> bound;
int report_fd = -1;                // the standard error the program started with

struct LastAnswer {
    HWND box = NULL;
    DWORD process = 0;
    std::string caption, text;
    int count = 0;
} last_answer;

// A window's text without a message to its thread, which may be the one
// that hangs; in UTF-8 for the log.
std::string utf8_of(const wchar_t *wide, int n)
{
    char utf8[4096];
    int m = n > 0 ? WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, NULL, NULL) : 0;
    return std::string(utf8, m > 0 ? (size_t)m : 0);
}

std::string utf8_text(HWND window)
{
    wchar_t wide[1024];
    return utf8_of(wide, InternalGetWindowText(window, wide, 1024));
}

// A code page 932 text as the robots record it, in UTF-8 for the log.
std::string utf8_of_932(const std::string &text)
{
    wchar_t wide[1024];
    return utf8_of(wide, MultiByteToWideChar(932, 0, text.data(), (int)text.size(), wide, 1024));
}

BOOL CALLBACK print_child(HWND child, LPARAM)
{
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (IsWindowVisible(child))
        fprintf(stderr, "      %s id=%d \"%s\"\n", name, GetDlgCtrlID(child), utf8_text(child).c_str());
    return TRUE;
}

// Visible windows, and this program's own dialogs and boxes, which the robot
// answers as they activate, before they show.
BOOL CALLBACK print_window(HWND window, LPARAM)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    bool own_dialog = process == GetCurrentProcessId() && !strcmp(name, "#32770");
    if (!IsWindowVisible(window) && !own_dialog)
        return TRUE;
    fprintf(stderr, "    window %s of process %lu \"%s\"\n", name, (unsigned long)process,
            utf8_text(window).c_str());
    EnumChildWindows(window, print_child, 0);
    return TRUE;
}

DWORD WINAPI watch_the_clock(LPVOID)
{
    for (;;) {
        DWORD wait = INFINITE;
        {
            std::lock_guard<std::mutex> lock(guard);
            if (!running_test.empty()) {
                DWORD spent = GetTickCount() - test_started;
                if (spent >= TEST_TIME_LIMIT_MS)
                    break;
                wait = TEST_TIME_LIMIT_MS - spent;
            }
        }
        WaitForSingleObject(test_changed, wait);
    }
    fail_test_now("it ran past " + std::to_string(TEST_TIME_LIMIT_MS / 1000) + " s");
}

class Clock : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo &info) override
    {
        std::lock_guard<std::mutex> lock(guard);
        running_test = std::string(info.test_suite_name()) + "." + info.name();
        test_started = GetTickCount();
        last_answer = LastAnswer();
        SetEvent(test_changed);
    }
    void OnTestEnd(const testing::TestInfo &) override
    {
        std::lock_guard<std::mutex> lock(guard);
        running_test.clear();
        SetEvent(test_changed);
    }
};

void note_robot_answer(const RobotBox &box, int)
{
    note_box_answered(box.window, box.process, box.caption, box.text);
}

// The processes this one started that still run: a death test's child
// holds the test's output open until it ends.
void end_own_children()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != GetCurrentProcessId() || entry.th32ProcessID == GetCurrentProcessId())
            continue;
        if (HANDLE child = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(child, 99);
            CloseHandle(child);
        }
    }
    CloseHandle(snapshot);
}

}  // namespace

bool in_death_test_child()
{
    return strstr(GetCommandLineA(), "--gtest_internal_run_death_test") != nullptr;
}

void install_test_bounds()
{
    test_changed = CreateEventA(NULL, FALSE, FALSE, NULL);
    // A death test sends standard error to a file while its child runs.
    report_fd = _dup(2);
    testing::UnitTest::GetInstance()->listeners().Append(new Clock);
    // A death test's child gets no test events: its clock runs from the
    // start, so a statement that hangs there ends within the same bound.
    if (in_death_test_child()) {
        std::lock_guard<std::mutex> lock(guard);
        running_test = "the death test's child";
        test_started = GetTickCount();
    }
    robot_answer_observer = note_robot_answer;
    HANDLE thread = CreateThread(NULL, 0, watch_the_clock, NULL, 0, NULL);
    if (thread)
        CloseHandle(thread);
}

void note_box_answered(HWND box, DWORD process, const std::string &caption, const std::string &text)
{
    int count;
    {
        std::lock_guard<std::mutex> lock(guard);
        LastAnswer &last = last_answer;
        if (last.count > 0 && last.box == box) {
            // the same window, not yet closed: no new box
        } else if (last.count > 0 && last.process == process && last.caption == caption && last.text == text) {
            last.box = box;
            last.count++;
        } else {
            last.box = box;
            last.process = process;
            last.caption = caption;
            last.text = text;
            last.count = 1;
        }
        count = last.count;
    }
    if (count > SAME_BOX_ANSWERS_MAX)
        fail_test_now("it answered the same box " + std::to_string(count) + " times in a row (\""
                      + utf8_of_932(caption) + "\": \"" + utf8_of_932(text) + "\", " + box_line_pattern(caption, text)
                      + ")");
}

void bound_process(HANDLE process)
{
    std::lock_guard<std::mutex> lock(guard);
    bound.push_back(process);
}

void unbound_process(HANDLE process)
{
    std::lock_guard<std::mutex> lock(guard);
    bound.erase(std::remove(bound.begin(), bound.end(), process), bound.end());
}

void fail_test_now(const std::string &why)
{
    std::string test;
    {
        std::lock_guard<std::mutex> lock(guard);
        test = running_test.empty() ? "(between tests)" : running_test;
    }
    fflush(stderr);
    if (report_fd >= 0)
        _dup2(report_fd, 2);
    fprintf(stderr, "[  FAILED  ] %s stopped: %s. On screen:\n", test.c_str(), why.c_str());
    EnumWindows(print_window, 0);
    fflush(stderr);
    fflush(stdout);
    {
        std::lock_guard<std::mutex> lock(guard);
        for (HANDLE process : bound)
            TerminateProcess(process, 99);
    }
    end_own_children();
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;)
        Sleep(INFINITE);
}
