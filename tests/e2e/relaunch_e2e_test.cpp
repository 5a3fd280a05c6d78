// End to end: what the relaunch through the shared temporary folder lets in.
// Whatever stands at C:\windows\temp\installer.exe runs only when it is this
// program; a DLL planted beside the relaunched copy is not loaded by name;
// two starts at once give one launcher and one second-instance message.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"
#include "e2e/e2e_fixture.h"
#include "robot/ui_robot.h"
#include "support/cp932_calls.h"
#include "support/unix_command.h"

namespace {

using namespace e2e;

const char SECOND_TEXT[] = "同時に二つ実行しないでください";
const char SECOND_CAPTION[] = "起動エラー";
const char TEMP_FOLDER[] = "C:\\windows\\temp\\";

// A program placed at the temporary copy's path and made impossible to
// replace, as by another user's ACL: root ignores Windows' read-only bit, not
// the Linux immutable attribute. Clean-up undoes it on every path, failures
// included, and a set-up first undoes what an interrupted run left.
class FixedTempCopy : public EndToEnd {
protected:
    void place(const std::string &program)
    {
        const std::string copy = unix_path(TEMP_COPY);
        ASSERT_FALSE(copy.empty());
        run_unix("chattr -i '" + copy + "' 2>/dev/null; cp '" + unix_path(program) + "' '" + copy +
                 "' && chattr +i '" + copy + "'");
        placed_ = read_file(TEMP_COPY);
        ASSERT_TRUE(read_file(program) == placed_) << "not placed";
        ASSERT_FALSE(CopyFile932("D:\\setup\\install.txt", TEMP_COPY, FALSE))
            << "chattr +i does not hold on this file system";
    }
    void TearDown() override
    {
        EndToEnd::TearDown();
        run_unix("chattr -i '" + unix_path(TEMP_COPY) + "' 2>/dev/null");
        DeleteFile932(TEMP_COPY);
        DeleteFile932("D:\\setup\\testgame.log");
    }
    std::string placed_;
};

struct ForeignCase {
    const char *name;
    bool instance_running;
    const char *caption, *text;
};

class ForeignTempCopy : public FixedTempCopy, public testing::WithParamInterface<ForeignCase> {};

TEST_P(ForeignTempCopy, IsNeverStartedAndTheMediumProcessEndsWithItsMessage)
{
    const ForeignCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(place(build_folder() + "\\testgame.exe"));
    HANDLE held = c.instance_running ? CreateMutexA(NULL, FALSE, MUTEX_NAME) : NULL;
    HANDLE medium = start_medium();
    RobotBox box;
    bool shown = medium && robot_wait_box(GetProcessId(medium), WAIT_MS, &box);
    if (shown)
        robot_answer(box, IDOK);
    long code = medium ? exit_code_of(medium) : -1;
    if (held)
        CloseHandle(held);
    // The stand-in game logs its start in the inherited current directory.
    EXPECT_FALSE(path_exists("D:\\setup\\testgame.log"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(c.caption, box.caption);
    EXPECT_EQ(c.text, box.text);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(0, code);
    EXPECT_TRUE(placed_ == read_file(TEMP_COPY)) << "the foreign program was changed";
}

const ForeignCase FOREIGN_CASES[] = {
    {"no_instance_running", false, "エラー",
     "インストーラを\"C:\\windows\\temp\\installer.exe\"にコピーできませんでした。"},
    {"an_instance_running", true, SECOND_CAPTION, SECOND_TEXT},
};

INSTANTIATE_TEST_SUITE_P(Relaunch, ForeignTempCopy, testing::ValuesIn(FOREIGN_CASES),
                         [](const testing::TestParamInfo<ForeignCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(FixedTempCopy, ThisSameProgramThereIsStartedThoughTheCopyFails)
{
    ASSERT_NO_FATAL_FAILURE(place(MEDIUM_PROGRAM));
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    std::string line;
    ASSERT_TRUE(robot_command_line(launcher_pid_, &line));
    EXPECT_EQ(std::string(TEMP_COPY) + " " + MEDIUM_PROGRAM, line);
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
}

// Another start copying at that moment holds the copy alone: the copy is
// retried, neither refused nor started half-written.
TEST_F(EndToEnd, ACopyHeldByAnotherStartIsWaitedFor)
{
    HANDLE busy = CreateFile932(TEMP_COPY, GENERIC_WRITE, 0, NULL, OPEN_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, busy) << GetLastError();
    HANDLE medium = start_medium();
    RobotBox box;
    bool refused = robot_wait_box(0, 1000, &box);
    CloseHandle(busy);
    if (refused)
        robot_answer(box, IDOK);
    EXPECT_FALSE(refused) << box.text;
    EXPECT_EQ(0, exit_code_of(medium));
    HWND launcher = robot_wait_window(CAPTION, "#32770", 0, WAIT_MS, true);
    ASSERT_NE(nullptr, launcher);
    HANDLE opened = track(robot_process_of(launcher));
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(opened));
}

// Runs LoadLibraryA(name) on a thread of its own inside `process` (kernel32
// lies at one address in every process) and returns the thread's exit code:
// the module handle's low 32 bits, 0 when the load failed.
DWORD load_library_in(DWORD pid, const char *name)
{
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process)
        return 0;
    size_t size = strlen(name) + 1;
    void *remote = VirtualAllocEx(process, NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    DWORD code = 0;
    if (remote && WriteProcessMemory(process, remote, name, size, NULL)) {
        LPTHREAD_START_ROUTINE load = (LPTHREAD_START_ROUTINE)(void (*)(void))GetProcAddress(
            GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
        HANDLE thread = CreateRemoteThread(process, NULL, 0, load, remote, 0, NULL);
        EXPECT_NE(nullptr, thread) << GetLastError();
        if (thread) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, WAIT_MS));
            GetExitCodeThread(thread, &code);
            CloseHandle(thread);
        }
    }
    CloseHandle(process);
    return code;
}

class PlantedDll : public EndToEnd {
protected:
    void TearDown() override
    {
        EndToEnd::TearDown();       // the launcher that may hold the DLL ends first
        DeleteFile932(dll_.c_str());
        DeleteFile932(marker_.c_str());
    }
    const std::string dll_ = std::string(TEMP_FOLDER) + "planted.dll";
    const std::string marker_ = dll_ + ".loaded";
};

TEST_F(PlantedDll, BesideTheRelaunchedCopyIsNotLoadedByItsName)
{
    ASSERT_TRUE(CopyFile932((build_folder() + "\\planted.dll").c_str(), dll_.c_str(), FALSE));
    DeleteFile932(marker_.c_str());
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(0u, load_library_in(launcher_pid_, "planted.dll"));
    EXPECT_FALSE(path_exists(marker_.c_str()));
    // The same DLL by its full path loads and leaves its mark: the refusal
    // above is the search's, not the DLL's.
    EXPECT_NE(0u, load_library_in(launcher_pid_, dll_.c_str()));
    EXPECT_TRUE(path_exists(marker_.c_str()));
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
}

HANDLE start_suspended(PROCESS_INFORMATION *process)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    EXPECT_TRUE(CreateProcess932(MEDIUM_PROGRAM, NULL, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL,
                               MEDIUM_FOLDER, &startup, process)) << GetLastError();
    return process->hProcess;
}

std::vector<HWND> visible_launchers()
{
    std::vector<HWND> found;
    Wide caption(CAPTION);
    for (HWND w = NULL; (w = FindWindowExW(NULL, w, L"#32770", caption)) != NULL;)
        if (IsWindowVisible(w))
            found.push_back(w);
    return found;
}

// A double-clicked autorun: two medium processes let go at the same moment,
// in 20 rounds, each a case of its own (and so within the bound on one
// test's time however slowly processes start). Each round ends with one
// launcher and one second-instance message; a round where both passed the
// guard would show two launchers and no message.
class TwoStarts : public EndToEnd, public testing::WithParamInterface<int> {};

TEST_P(TwoStarts, AtOnceOpenOneLauncherAndOneSecondInstanceMessage)
{
    PROCESS_INFORMATION first = {}, second = {};
    processes_.add(start_suspended(&first));
    processes_.add(start_suspended(&second));
    ResumeThread(first.hThread);
    ResumeThread(second.hThread);
    CloseHandle(first.hThread);
    CloseHandle(second.hThread);
    RobotBox box;
    bool refused = robot_wait_box(0, WAIT_MS, &box);
    robot_wait_window(CAPTION, "#32770", 0, WAIT_MS, true);
    std::vector<HWND> launchers = visible_launchers();
    std::vector<HANDLE> owners;             // ended by the clean-up whatever fails
    for (HWND launcher : launchers)
        owners.push_back(track(robot_process_of(launcher)));
    ASSERT_TRUE(refused);
    ASSERT_EQ(1u, launchers.size());
    EXPECT_EQ(SECOND_CAPTION, box.caption);
    EXPECT_EQ(SECOND_TEXT, box.text);
    HANDLE shown = track(box.process);
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(shown));
    EXPECT_EQ(0, exit_code_of(first.hProcess));
    EXPECT_EQ(0, exit_code_of(second.hProcess));
    robot_close(launchers[0]);
    ASSERT_EQ(0, exit_code_of(owners[0]));
}

INSTANTIATE_TEST_SUITE_P(Round, TwoStarts, testing::Range(0, 20));

}  // namespace
