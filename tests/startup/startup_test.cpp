// Start-up in this process: the temporary folder (found, created, or given up
// on after a bounded wait), replace_process, the exit handlers' order, the
// single-instance guard and the length limit of installer_path. The relaunch
// itself runs the real program: see tests/e2e.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "boundary/open_file.h"
#include "launcher/launcher_harness.h"
#include "launcher/splash_bitmap.h"
#include "process/process.h"
#include "startup/startup.h"
#include "state/install_state.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"

namespace {

const char MUTEX_NAME[] = "kaduinstmutex";

std::string windows_temp()
{
    char windows[MAX_PATH];
    GetWindowsDirectory932(windows, sizeof windows);
    return std::string(windows) + "\\temp\\";
}

bool is_folder(const std::string &path)
{
    DWORD a = GetFileAttributes932(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Moves the Windows temp folder aside for one test and puts it back after.
// A death test's child runs SetUp again over what its parent did, so it
// moves the folder only when nothing is aside yet.
class TempFolderAside : public testing::Test {
protected:
    void SetUp() override
    {
        temp_ = windows_temp();
        temp_.pop_back();
        saved_ = temp_ + ".startup-test-saved";
        if (!is_folder(saved_)) {
            ASSERT_TRUE(MoveFile932(temp_.c_str(), saved_.c_str())) << GetLastError();
        }
    }
    void TearDown() override
    {
        DeleteFile932(temp_.c_str());
        RemoveDirectory932(temp_.c_str());
        EXPECT_TRUE(MoveFile932(saved_.c_str(), temp_.c_str())) << GetLastError();
    }
    std::string temp_, saved_;
};

TEST(EnsureTempDir, GivesTheWindowsTempFolderWithItsTrailingBackslash)
{
    char buffer[260];
    memset(buffer, 'x', sizeof buffer);
    ensure_temp_dir(buffer);
    EXPECT_EQ(windows_temp(), buffer);
    EXPECT_TRUE(is_folder(buffer));
}

TEST_F(TempFolderAside, AMissingTempFolderIsCreated)
{
    ASSERT_FALSE(is_folder(temp_));
    char buffer[260];
    ensure_temp_dir(buffer);
    EXPECT_EQ(windows_temp(), buffer);
    EXPECT_TRUE(is_folder(temp_));
}

TEST_F(TempFolderAside, AFolderThatCanNeverBeMadeEndsTheProgramAfterABoundedWait)
{
    // A file stands where the folder should be: CreateDirectory932 fails and
    // no folder ever appears.
    if (GetFileAttributes932(temp_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        FILE *f = open_file(temp_.c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fclose(f);
    }
    DWORD started = GetTickCount();
    EXPECT_EXIT(
        {
            BoxRobot robot;
            char buffer[260];
            ensure_temp_dir(buffer);
        },
        testing::ExitedWithCode(0),
        fatal_pattern("一時フォルダ\"" + windows_temp() + "\"を作成できませんでした。"));
    DWORD waited = GetTickCount() - started;
    EXPECT_GE(waited, (DWORD)TEMP_DIR_WAIT_MS);
    EXPECT_LT(waited, (DWORD)TEMP_DIR_WAIT_MS + 10000);
}

std::string beside_this_program(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileName932(NULL, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return std::string(path) + "\\" + name;
}


void say_handler_ran() { fputs("exit handler ran\n", stderr); }

TEST(ReplaceProcess, AProgramThatCannotStartReturnsZeroAndNothingEnds)
{
    const char *arguments[] = {"a", "b"};
    EXPECT_EQ(0, replace_process("C:\\no-such-folder\\game.exe", arguments, 2));
    EXPECT_EQ(0, replace_process("C:\\no-such-folder\\game.exe", NULL, 0));
}

// Runs replace_process in a death-test child and returns what the started
// game recorded. One death test per test: a child re-runs its test's body.
std::string record_of_replaced(std::vector<const char *> arguments)
{
    const std::string game = beside_this_program("testgame.exe");
    DeleteFile932("testgame.log");
    // Exit code 0, and no exit handler: nothing at all on standard error.
    EXPECT_EXIT(
        {
            atexit(say_handler_ran);
            replace_process(game.c_str(), arguments.data(), (int)arguments.size());
            fputs("replace_process returned\n", stderr);
            exit(1);
        },
        testing::ExitedWithCode(0), "^$");
    std::string record = read_file_when("testgame.log", "cwd=", 5000);
    DeleteFile932("testgame.log");
    char here[MAX_PATH];
    GetCurrentDirectory932(sizeof here, here);
    EXPECT_NE(std::string::npos, record.find(std::string("cwd=[") + here + "]")) << record;
    return record;
}

TEST(ReplaceProcess, StartsTheProgramWithTheArgumentsJoinedAndEndsAtOnce)
{
    std::string record = record_of_replaced({"testgame", "two words", "x"});
    EXPECT_EQ(0u, record.find("cmdline=[two words x]\nfull=[testgame two words x]\n")) << record;
}

TEST(ReplaceProcess, AnEmptyArgumentListGivesAnEmptyCommandLine)
{
    std::string record = record_of_replaced({});
    EXPECT_EQ(0u, record.find("cmdline=[]\n")) << record;
}

void trace_to_stderr(const char *which)
{
    if (!strcmp(which, "splash"))
        fprintf(stderr, "splash dc=%s ", splash_bitmap.memory_dc ? "held" : "freed");
    else
        fprintf(stderr, "mutex open=%s ",
                OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME) ? "yes" : "no");
    fflush(stderr);
}

TEST(ExitHandlers, FreeTheSplashFirstThenTheMutex)
{
    EXPECT_EXIT(
        {
            install_state.mutex = CreateMutexA(NULL, FALSE, MUTEX_NAME);
            splash_bitmap.load("no-such-picture.bmp");
            exit_handler_trace = trace_to_stderr;
            exit(0);
        },
        testing::ExitedWithCode(0), "^splash dc=freed mutex open=no $");
    // The child is gone, and its mutex with it.
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME));
}

const char SETTINGS[] =
    "caption \"起動テスト\" maker \"m\" title \"StartupTestGame\" bland \"StartupTestSoft\"\n";

class SingleInstance : public testing::Test {
protected:
    void TearDown() override
    {
        if (install_state.mutex)
            CloseHandle((HANDLE)install_state.mutex);
        install_state.mutex = nullptr;
        if (held_)
            CloseHandle(held_);
        remove_record_keys("StartupTestSoft", "StartupTestGame");
    }
    HANDLE held_ = nullptr;
};

TEST_F(SingleInstance, TheFirstInstanceKeepsTheMediumPathAndHoldsTheMutexWhileOpen)
{
    MediumFolder medium("startup_medium", SETTINGS);
    BoxRobot robot;
    bool mutex_seen = false;
    robot.on_dialog = [&](HWND dialog) {
        HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME);
        mutex_seen = other != nullptr;
        if (other)
            CloseHandle(other);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    };
    const std::string path = "D:\\a folder with blanks\\installer.exe";
    EXPECT_EQ(0, start_program(GetModuleHandleA(NULL), path.c_str()));
    EXPECT_TRUE(mutex_seen);
    EXPECT_EQ(path, install_state.installer_path);
    EXPECT_EQ(GetModuleHandleA(NULL), (HMODULE)install_state.instance);
    EXPECT_EQ(1u, robot.dialogs.size());
    EXPECT_TRUE(robot.boxes.empty());
}

TEST_F(SingleInstance, ASecondInstanceShowsTheStartErrorAndChangesNothing)
{
    held_ = CreateMutexA(NULL, FALSE, MUTEX_NAME);
    ASSERT_NE(nullptr, held_);
    MediumFolder medium("startup_medium", SETTINGS);
    BoxRobot robot;
    // The longest command line that fits installer_path is taken whole.
    const std::string longest(255, 'p');
    EXPECT_EQ(0, start_program(GetModuleHandleA(NULL), longest.c_str()));
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("起動エラー", robot.boxes[0].caption);
    EXPECT_EQ("同時に二つ実行しないでください", robot.boxes[0].text);
    EXPECT_EQ(nullptr, robot.boxes[0].owner);
    EXPECT_EQ(std::vector<int>{IDOK}, robot.boxes[0].button_ids);
    EXPECT_TRUE(robot.dialogs.empty());
    EXPECT_EQ(nullptr, install_state.mutex);
    EXPECT_EQ(longest, install_state.installer_path);
}

// Not even a mutex can be had under that name (another user's instance, or
// another kind of object): the launcher does not run unguarded.
TEST_F(SingleInstance, ANameThatCannotBeHadCountsAsARunningInstance)
{
    held_ = CreateEventA(NULL, FALSE, FALSE, MUTEX_NAME);
    ASSERT_NE(nullptr, held_);
    MediumFolder medium("startup_medium", SETTINGS);
    BoxRobot robot;
    robot.on_dialog = [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
    EXPECT_EQ(0, start_program(GetModuleHandleA(NULL), "D:\\setup\\installer.exe"));
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("起動エラー", robot.boxes[0].caption);
    EXPECT_EQ("同時に二つ実行しないでください", robot.boxes[0].text);
    EXPECT_TRUE(robot.dialogs.empty());
    EXPECT_EQ(nullptr, install_state.mutex);
}

TEST_F(SingleInstance, ACommandLineLongerThanInstallerPathEndsWithAMessage)
{
    const std::string too_long(256, 'p');
    EXPECT_EXIT(
        {
            BoxRobot robot;
            start_program(GetModuleHandleA(NULL), too_long.c_str());
        },
        testing::ExitedWithCode(0), fatal_pattern("コマンドラインが長すぎます。255バイトまでです。"));
}

TEST_F(SingleInstance, TheMutexIsGoneAfterTheLauncherClosesAndAfterAFatalError)
{
    MediumFolder medium("startup_medium", SETTINGS);
    EXPECT_EXIT(
        {
            BoxRobot robot;
            robot.on_dialog = [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
            exit(start_program(GetModuleHandleA(NULL), "D:\\setup\\installer.exe"));
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME));
    medium.remove("install.txt");
    EXPECT_EXIT(
        {
            BoxRobot robot;
            start_program(GetModuleHandleA(NULL), "D:\\setup\\installer.exe");
        },
        testing::ExitedWithCode(0), fatal_pattern("install.txtが開けませんでした。"));
    EXPECT_EQ(nullptr, OpenMutexA(SYNCHRONIZE, FALSE, MUTEX_NAME));
}

}  // namespace
