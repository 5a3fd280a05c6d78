// End to end: the real build/installer.exe started from a medium mapped to
// drive D: (D:\setup\installer.exe, current directory D:\setup), driven from
// outside through the UI robot under the same wineserver, and checked through
// the robot, the registry and the file system.
#include <stdio.h>
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/e2e_fixture.h"
#include "launcher/bmp_builder.h"
#include "robot/ui_robot.h"
#include "support/cp932_calls.h"

namespace {

using namespace e2e;

std::string relaunch_line()
{
    return std::string(TEMP_COPY) + " " + MEDIUM_PROGRAM;
}

TEST_F(EndToEnd, TheMediumProcessRelaunchesFromAWritableTempCopy)
{
    SetFileAttributes932(TEMP_COPY, FILE_ATTRIBUTE_NORMAL);
    DeleteFile932(TEMP_COPY);
    ASSERT_TRUE(SetFileAttributes932(MEDIUM_PROGRAM, FILE_ATTRIBUTE_READONLY));
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    // The copy runs with the medium path as its whole argument text, which
    // becomes installer_path; it found install.txt in the inherited D:\setup.
    std::string line;
    ASSERT_TRUE(robot_command_line(launcher_pid_, &line));
    EXPECT_EQ(relaunch_line(), line);
    DWORD attributes = GetFileAttributes932(TEMP_COPY);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_EQ(0u, attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0u, GetFileAttributes932(MEDIUM_PROGRAM) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(mutex_exists());

    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
    EXPECT_FALSE(IsWindow(launcher));
    EXPECT_FALSE(mutex_exists());
}

TEST_F(EndToEnd, ACommandLineOfBlanksCountsAsEmpty)
{
    HWND launcher = open_launcher("\"D:\\setup\\installer.exe\"  \t   ");
    ASSERT_NE(nullptr, launcher);
    std::string line;
    ASSERT_TRUE(robot_command_line(launcher_pid_, &line));
    EXPECT_EQ(relaunch_line(), line);
}

TEST_F(EndToEnd, AMissingTempFolderIsCreatedForTheCopy)
{
    const char temp[] = "C:\\windows\\temp";
    const char saved[] = "C:\\windows\\temp.e2e-saved";
    if (path_exists(saved)) {                      // left by an interrupted run
        DeleteFile932(TEMP_COPY);
        RemoveDirectory932(temp);
        MoveFile932(saved, temp);
    }
    ASSERT_TRUE(MoveFile932(temp, saved)) << GetLastError();
    HWND launcher = open_launcher();
    EXPECT_NE(nullptr, launcher);
    EXPECT_TRUE(path_exists(TEMP_COPY));
    if (launcher) {
        robot_close(launcher);
        EXPECT_EQ(0, exit_code_of(launcher_));
    }
    DeleteFile932(TEMP_COPY);
    EXPECT_TRUE(RemoveDirectory932(temp));
    EXPECT_TRUE(MoveFile932(saved, temp)) << GetLastError();
}

// A copy of the medium program at D:\setup\<a...>\<b...>\installer.exe whose
// path is `length` bytes, started from D:\setup as the user would.
class LongMediumPath : public EndToEnd {
protected:
    void start_copy(size_t length)
    {
        folder_ = "D:\\setup\\" + std::string(110, 'a');
        deeper_ = folder_ + "\\" + std::string(length - folder_.size() - 15, 'b');
        program_ = deeper_ + "\\installer.exe";
        ASSERT_EQ(length, program_.size());
        ASSERT_TRUE(CreateDirectory932(folder_.c_str(), NULL));
        ASSERT_TRUE(CreateDirectory932(deeper_.c_str(), NULL));
        ASSERT_TRUE(CopyFile932(MEDIUM_PROGRAM, program_.c_str(), FALSE));
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcess932(program_.c_str(), NULL, NULL, NULL, FALSE, 0, NULL,
                                   MEDIUM_FOLDER, &startup, &process)) << GetLastError();
        CloseHandle(process.hThread);
        processes_.add(process.hProcess);
        process_ = process;
    }
    void TearDown() override
    {
        EndToEnd::TearDown();
        DeleteFile932(program_.c_str());
        RemoveDirectory932(deeper_.c_str());
        RemoveDirectory932(folder_.c_str());
    }
    std::string folder_, deeper_, program_;
    PROCESS_INFORMATION process_ = {};
};

TEST_F(LongMediumPath, AMediumPathLongerThanInstallerPathIsRefusedBeforeAnyCopy)
{
    SetFileAttributes932(TEMP_COPY, FILE_ATTRIBUTE_NORMAL);
    DeleteFile932(TEMP_COPY);
    ASSERT_NO_FATAL_FAILURE(start_copy(256));
    PROCESS_INFORMATION process = process_;
    RobotBox box;
    ASSERT_TRUE(robot_wait_box(process.dwProcessId, WAIT_MS, &box));
    EXPECT_EQ("エラー", box.caption);
    EXPECT_EQ("インストーラのパスが長すぎます。255バイトまでです。", box.text);
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(process.hProcess));
    EXPECT_FALSE(path_exists(TEMP_COPY));
}

TEST_F(LongMediumPath, AMediumPathOfExactly255BytesStillRelaunches)
{
    ASSERT_NO_FATAL_FAILURE(start_copy(255));
    PROCESS_INFORMATION process = process_;
    const std::string &program = program_;
    EXPECT_EQ(0, exit_code_of(process.hProcess));
    HWND launcher = robot_wait_window(CAPTION, "#32770", 0, WAIT_MS, true);
    ASSERT_NE(nullptr, launcher);
    launcher_ = track(robot_process_of(launcher));
    std::string line;
    ASSERT_TRUE(robot_command_line(robot_process_of(launcher), &line));
    EXPECT_EQ(std::string(TEMP_COPY) + " " + program, line);
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
}

TEST_F(EndToEnd, TheProgramCarriesTheLauncherTemplateAndItsIcon)
{
    HMODULE program = LoadLibraryExA(MEDIUM_PROGRAM, NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, program);
    EXPECT_NE(nullptr, FindResourceA(program, "IDD_INSTDLG", (LPCSTR)RT_DIALOG));
    EXPECT_NE(nullptr, FindResourceA(program, "IDI_ICON1", (LPCSTR)RT_GROUP_ICON));
    FreeLibrary(program);
}

TEST_F(EndToEnd, ASecondStartShowsTheStartErrorAndChangesNothing)
{
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    std::vector<RobotControl> before = robot_controls(launcher);
    HANDLE second = start_medium();
    RobotBox box;
    ASSERT_TRUE(robot_wait_box(0, WAIT_MS, &box));
    EXPECT_NE(launcher_pid_, box.process);
    EXPECT_EQ("起動エラー", box.caption);
    EXPECT_EQ("同時に二つ実行しないでください", box.text);
    EXPECT_EQ(nullptr, box.owner);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    // The box belongs to the relaunched copy, which was given the medium path.
    std::string line;
    ASSERT_TRUE(robot_command_line(box.process, &line));
    EXPECT_EQ(relaunch_line(), line);
    HANDLE refused = track(box.process);
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(refused));
    EXPECT_EQ(0, exit_code_of(second));

    EXPECT_TRUE(IsWindowVisible(launcher));
    EXPECT_EQ(CAPTION, robot_text(launcher));
    std::vector<RobotControl> after = robot_controls(launcher);
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); i++)
        EXPECT_EQ(before[i].enabled, after[i].enabled) << before[i].id;
    std::string value;
    EXPECT_FALSE(robot_read_hkcu(PRODUCT_KEY, "exepath", &value));
    EXPECT_TRUE(mutex_exists());
}

TEST_F(EndToEnd, TheLauncherIsCentredLaidOutInPixelsAndIgnoresEnterAndEscape)
{
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    RECT outer;
    GetWindowRect(launcher, &outer);
    EXPECT_EQ(310, outer.right - outer.left);
    EXPECT_EQ(360, outer.bottom - outer.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 310) / 2, outer.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 360) / 2, outer.top);

    const struct {
        int id, left;
        const char *text;
        bool enabled;
    } expected[] = {{1001, 5, "インストール", true},
                    {1002, 105, "ゲーム実行", false},
                    {1003, 205, "アンインストール", false}};
    std::vector<RobotControl> controls = robot_controls(launcher);
    ASSERT_EQ(3u, controls.size());
    for (size_t i = 0; i < 3; i++) {
        const RobotControl &c = controls[i];
        EXPECT_EQ(expected[i].id, c.id);
        EXPECT_EQ("Button", c.class_name);
        EXPECT_EQ(expected[i].text, c.text);
        EXPECT_EQ(expected[i].enabled, c.enabled) << c.id;
        EXPECT_EQ(expected[i].left, c.rect.left) << c.id;
        EXPECT_EQ(295, c.rect.top) << c.id;
        EXPECT_EQ(95, c.rect.right - c.rect.left) << c.id;
        EXPECT_EQ(30, c.rect.bottom - c.rect.top) << c.id;
    }

    PostMessageA(launcher, WM_COMMAND, IDOK, 0);
    PostMessageA(launcher, WM_COMMAND, IDCANCEL, 0);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(launcher));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(launcher_, 0));

    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
    EXPECT_FALSE(mutex_exists());
}

TEST_F(EndToEnd, ButtonStatesFollowTheRecord)
{
    const struct {
        const char *name;
        const char *exepath;
        const char *gamedir;
        bool installed;
    } cases[] = {
        {"no record", nullptr, nullptr, false},
        {"empty exepath", "", nullptr, true},
        {"only gamedir", nullptr, "C:\\x\\", false},
        {"exepath and gamedir", "C:\\x\\game.exe", "C:\\x\\", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        remove_record();
        if (c.exepath)
            write_record("exepath", c.exepath);
        if (c.gamedir)
            write_record("gamedir", c.gamedir);
        HWND launcher = open_launcher();
        ASSERT_NE(nullptr, launcher);
        std::vector<RobotControl> controls = robot_controls(launcher);
        ASSERT_EQ(3u, controls.size());
        EXPECT_EQ(!c.installed, controls[0].enabled);
        EXPECT_EQ(c.installed, controls[1].enabled);
        EXPECT_EQ(c.installed, controls[2].enabled);
        robot_close(launcher);
        EXPECT_EQ(0, exit_code_of(launcher_));
    }
}

class RunGame : public EndToEnd {
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        CreateDirectory932(GAME_DIR, NULL);
        DeleteFile932(GAME_LOG);
        ASSERT_TRUE(CopyFile932((build_folder() + "\\testgame.exe").c_str(), GAME_PATH, FALSE));
        write_record("exepath", GAME_PATH);
        write_record("gamedir", GAME_DIR);
    }
    void TearDown() override
    {
        EndToEnd::TearDown();
        DeleteFile932(GAME_LOG);
        DeleteFile932(GAME_PATH);
        RemoveDirectory932(GAME_DIR);
    }
    std::string game_log() { return read_file_when(GAME_LOG, "cwd=", WAIT_MS); }
};

TEST_F(RunGame, TheGameStartsInItsFolderAfterTheExecMessageAndTheLauncherEnds)
{
    write_file("D:\\setup\\install.txt",
               std::string(SETTINGS) + "execmessage \"CDを入れたままにしてください\"\n");
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(robot_press(launcher, 1002));
    RobotBox box;
    ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
    EXPECT_EQ("実行確認", box.caption);
    EXPECT_EQ("CDを入れたままにしてください", box.text);
    EXPECT_EQ(launcher, box.owner);
    EXPECT_EQ(std::vector<int>{IDOK}, box.buttons);
    EXPECT_FALSE(path_exists(GAME_LOG));        // the box comes first
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(launcher_));
    std::string log = game_log();
    EXPECT_EQ(0u, log.find("cmdline=[]\n")) << log;
    EXPECT_NE(std::string::npos, log.find("cwd=[C:\\e2e-game]")) << log;
    EXPECT_FALSE(mutex_exists());
}

TEST_F(RunGame, WithoutExecMessageTheGameStartsAtOnce)
{
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(robot_press(launcher, 1002));
    EXPECT_EQ(0, exit_code_of(launcher_));
    std::string log = game_log();
    EXPECT_EQ(0u, log.find("cmdline=[]\n")) << log;
    EXPECT_NE(std::string::npos, log.find("cwd=[C:\\e2e-game]")) << log;
}

TEST_F(RunGame, AMissingGameClosesTheLauncherWithoutAMessage)
{
    DeleteFile932(GAME_PATH);
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(robot_press(launcher, 1002));
    EXPECT_EQ(0, exit_code_of(launcher_));
    RobotBox box;
    EXPECT_FALSE(robot_wait_box(launcher_pid_, 0, &box));
    EXPECT_FALSE(mutex_exists());
}

struct SettingsError {
    const char *name;
    const char *settings;       // null: no install.txt
    const char *message;
    const char *caption_so_far;
};

class SettingsErrors : public EndToEnd, public testing::WithParamInterface<SettingsError> {};

TEST_P(SettingsErrors, EndTheProgramWithTheirMessageBeforeTheWindowShows)
{
    const SettingsError &e = GetParam();
    if (e.settings)
        write_file("D:\\setup\\install.txt", e.settings);
    else
        DeleteFile932("D:\\setup\\install.txt");
    HANDLE medium = start_medium();
    ASSERT_NE(nullptr, medium);
    EXPECT_EQ(0, exit_code_of(medium));
    RobotBox box;
    ASSERT_TRUE(robot_wait_box(0, WAIT_MS, &box));
    HANDLE program = track(box.process);
    EXPECT_EQ("エラー", box.caption);
    EXPECT_EQ(e.message, box.text);
    EXPECT_EQ(nullptr, box.owner);
    // The launcher exists, never shown, with the caption set so far.
    int launchers = 0;
    for (HWND window : robot_windows_of(box.process)) {
        if (window == box.window || robot_class(window) != "#32770")
            continue;
        launchers++;
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_EQ(e.caption_so_far, robot_text(window));
    }
    EXPECT_EQ(1, launchers);
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(program));
    EXPECT_FALSE(mutex_exists());
}

const SettingsError SETTINGS_ERRORS[] = {
    {"no_install_txt", nullptr, "install.txtが開けませんでした。", ""},
    {"no_caption", "maker \"m\" title \"t\" bland \"b\"", "caption文が見つかりません。", ""},
    {"no_maker", "caption \"製品\" title \"t\" bland \"b\"", "maker文が見つかりません。", ""},
    {"no_title", "caption \"製品\" maker \"m\" bland \"b\"",
     "title文もしくはbland文が見つかりません。", "製品"},
    {"no_bland", "caption \"製品\" maker \"m\" title \"t\"",
     "title文もしくはbland文が見つかりません。", "製品"},
    {"keyword_inside_a_value", "caption \"a title b\" maker \"m\" title \"t\" bland \"b\"",
     "文字列が来るべきところに文字列が来ませんでした。", "a title b"},
    {"only_comments", "; caption \"c\"\n;maker \"m\"\n", "caption文が見つかりません。", ""},
};

INSTANTIATE_TEST_SUITE_P(Launcher, SettingsErrors, testing::ValuesIn(SETTINGS_ERRORS),
                         [](const testing::TestParamInfo<SettingsError> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(EndToEnd, TheSplashPictureIsOnScreenAt25_20)
{
    BmpRecipe recipe;
    recipe.pixel = [](int x, int y) { return (uint32_t)((x << 16) | (y << 8) | 0x80); };
    write_file("D:\\setup\\installer.bmp", bmp_bytes(recipe));
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    Sleep(300);                              // let the first paint reach the screen
    POINT origin = {0, 0};
    ClientToScreen(launcher, &origin);
    HDC screen = GetDC(NULL);
    for (int p : {0, 100, 255}) {
        EXPECT_EQ(colorref_of(recipe.pixel(p, p)), GetPixel(screen, origin.x + 25 + p, origin.y + 20 + p)) << p;
        EXPECT_EQ(colorref_of(recipe.pixel(p, 255 - p)),
                  GetPixel(screen, origin.x + 25 + p, origin.y + 20 + 255 - p)) << p;
    }
    ReleaseDC(NULL, screen);
}

}  // namespace
