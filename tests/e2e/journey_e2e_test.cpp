// Whole journeys of the real program from drive D:, driven by the UI robot:
// install, DirectX setup, run the game, start again, uninstall; two products
// of one maker; an install killed in the middle of its copy.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/e2e_fixture.h"
#include "robot/ui_robot.h"
#include "support/file_tree.h"

namespace {

using namespace e2e;

const char SHELL_FOLDERS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char PROGRAMS[] = "C:\\e2e-programs";
const char PROGRAM_FILES[] = "C:\\Program Files\\";

struct Product {
    const char *caption;
    const char *maker;
    const char *title;
    const char *bland;

    std::string settings() const
    {
        return std::string("caption \"") + caption + "\"\nmaker \"" + maker + "\"\ntitle \"" + title
               + "\"\nbland \"" + bland + "\"\n";
    }
    std::string brand_key() const { return std::string("software\\") + bland; }
    std::string product_key() const { return brand_key() + "\\" + title; }
    std::string parent() const { return std::string(PROGRAM_FILES) + bland + "\\"; }
    std::string folder() const { return parent() + title + "\\"; }
    std::string start_menu() const { return std::string(PROGRAMS) + "\\" + maker + "\\" + caption; }
};

const Product SAMPLE = {"サンプルゲーム", "サンプル工房", "SampleGame", "SampleSoft"};
const Product FIRST = {"E2Eテスト製品", "E2E工房", "E2EGame", "E2ESoft"};
const Product SEQUEL = {"E2E続編", "E2E工房", "E2EGame2", "E2ESoft"};

std::string temp_file(const char *name)
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

bool key_exists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void delete_record(const Product &p)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, p.product_key().c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, p.brand_key().c_str());
}

// The lines of an install log as they lie on disk (CR LF ends).
std::vector<std::string> log_lines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = read_file(path);
    if (text == "<missing>")
        return lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> logged_files(const std::vector<std::string> &lines)
{
    std::vector<std::string> files;
    for (const std::string &line : lines)
        if (line.empty() || (line[0] != ':' && line[0] != '>' && line[0] != '?'))
            files.push_back(line);
    return files;
}

// A value read back as text (Wine keeps the zero that followed the data).
std::string text_of(const std::string &value)
{
    return value.c_str();
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
std::vector<bool> buttons_of(HWND launcher)
{
    std::vector<bool> states;
    for (int id : {1001, 1002, 1003})
        states.push_back(IsWindowEnabled(GetDlgItem(launcher, id)) != 0);
    return states;
}

const std::vector<bool> NOT_INSTALLED = {true, false, false};
const std::vector<bool> INSTALLED = {false, true, true};

class Journey : public EndToEnd {
protected:
    void SetUp() override
    {
        EndToEnd::SetUp();
        saved_programs_ = robot_read_hkcu(SHELL_FOLDERS, "Programs", &programs_);
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, SHELL_FOLDERS, &key));
        RegSetValueExA(key, "Programs", 0, REG_SZ, (const BYTE *)PROGRAMS, sizeof PROGRAMS);
        RegCloseKey(key);
        CreateDirectoryA(PROGRAMS, NULL);
        clean();
        DeleteFileA(temp_file("dxsetup.log").c_str());
    }

    void TearDown() override
    {
        EndToEnd::TearDown();
        clean();
        HKEY key;
        if (RegOpenKeyA(HKEY_CURRENT_USER, SHELL_FOLDERS, &key) == ERROR_SUCCESS) {
            if (saved_programs_)
                RegSetValueExA(key, "Programs", 0, REG_SZ, (const BYTE *)programs_.data(),
                               (DWORD)programs_.size());
            else
                RegDeleteValueA(key, "Programs");
            RegCloseKey(key);
        }
        if (exists("D:\\DirectX.off"))
            MoveFileA("D:\\DirectX.off", "D:\\DirectX");
    }

    void clean()
    {
        for (const Product *p : {&SAMPLE, &FIRST, &SEQUEL}) {
            remove_tree(p->folder());
            RemoveDirectoryA(p->parent().c_str());
            delete_record(*p);
        }
        remove_tree(PROGRAMS);
        CreateDirectoryA(PROGRAMS, NULL);
    }

    // A test medium's option 0: the header and one copy statement of `files`
    // files in D:\setup\data into the install folder's "data".
    void write_test_medium(const Product &p, int files, size_t bytes_each)
    {
        write_file("D:\\setup\\install.txt", p.settings());
        write_file("D:\\setup\\filelist0.txt",
                   "\"テスト\", 1, \"data\\game.exe\"\n\"data\" -> \"data\"\n");
        DeleteFileA("D:\\setup\\filelist1.txt");
        remove_tree("D:\\setup\\data");
        CreateDirectoryA("D:\\setup\\data", NULL);
        for (int i = 0; i < files; i++)
            write_file("D:\\setup\\data\\file" + std::to_string(i) + ".bin",
                       std::string(bytes_each, (char)('a' + i % 26)));
    }

    // The sample medium's own control files, as the sample ships them.
    void restore_sample_medium()
    {
        for (const char *name : {"install.txt", "filelist0.txt", "comment.txt"})
            ASSERT_TRUE(CopyFileA((build_folder() + "\\e2e-sample\\setup\\" + name).c_str(),
                                  (std::string("D:\\setup\\") + name).c_str(), FALSE));
    }

    // Install button, default folder, option 0, yes to the folder question
    // (creating the folder, or installing into the one there). Returns the
    // options dialog (gone by the time the copy has ended).
    HWND start_install(HWND launcher, const Product &p, bool folder_exists = false)
    {
        EXPECT_TRUE(robot_press(launcher, 1001));
        HWND options = robot_wait_window((std::string(p.caption) + "のインストール").c_str(),
                                         "#32770", launcher_pid_, WAIT_MS, true);
        EXPECT_NE(nullptr, options);
        if (!options)
            return nullptr;
        EXPECT_EQ(p.parent(), robot_text(GetDlgItem(options, 1008)));
        EXPECT_EQ(0, SendMessageA(GetDlgItem(options, 1007), CB_GETCURSEL, 0, 0));
        EXPECT_TRUE(robot_press(options, 1005));
        RobotBox box;
        EXPECT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        if (folder_exists) {
            EXPECT_EQ("インストールフォルダ確認", box.caption);
            EXPECT_EQ("フォルダ\"" + p.folder() + "\"にインストールします。よろしいですか？", box.text);
        } else {
            EXPECT_EQ("インストールフォルダ作成確認", box.caption);
            EXPECT_EQ("フォルダ\"" + p.folder() + "\"を作成します。よろしいですか？", box.text);
        }
        EXPECT_EQ(options, box.owner);
        robot_answer(box, IDYES);
        EXPECT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        return options;
    }

    // The next box is `caption`/`text`; answers it with `id`.
    void expect_box(const char *caption, const std::string &text, int id)
    {
        RobotBox box;
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(text, box.text);
        robot_answer(box, id);
        ASSERT_TRUE(robot_wait_gone(box.window, WAIT_MS));
    }

    // A whole install without DirectX on the medium: the buttons switch as
    // soon as the options dialog has gone, and no box is shown.
    void install(HWND launcher, const Product &p)
    {
        HWND options = start_install(launcher, p);
        ASSERT_TRUE(robot_wait_gone(options, WAIT_MS));
        EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == INSTALLED; }));
        RobotBox box;
        EXPECT_FALSE(robot_wait_box(launcher_pid_, 0, &box)) << box.caption;
    }

    // Uninstall button, yes, then the success message.
    void uninstall(HWND launcher, const Product &p)
    {
        ASSERT_TRUE(robot_press(launcher, 1003));
        RobotBox box;
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("アンインストールの確認", box.caption);
        EXPECT_EQ(std::string(p.caption) + "をアンインストールします。よろしいですか？", box.text);
        robot_answer(box, IDYES);
        ASSERT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("アンインストール完了確認", box.caption);
        EXPECT_EQ("アンインストールしました。", box.text);
        EXPECT_EQ(launcher, box.owner);
        robot_answer(box, IDOK);
        EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == NOT_INSTALLED; }));
    }

    // What an uninstall must leave: no logged file (nor, with `folders`, any
    // logged folder), the install folder without its log, no record and no
    // key of the product.
    void expect_uninstalled(const Product &p, const std::vector<std::string> &log, bool folders = true)
    {
        for (const std::string &file : logged_files(log))
            EXPECT_FALSE(exists(file.c_str())) << file;
        for (const std::string &line : log) {
            if (folders && !line.empty() && line[0] == ':') {
                EXPECT_FALSE(exists(line.c_str() + 1)) << line;
            }
        }
        EXPECT_TRUE(is_folder(p.folder()));
        EXPECT_FALSE(exists((p.folder() + "instlog.txt").c_str()));
        EXPECT_FALSE(key_exists(p.product_key()));
    }

    bool saved_programs_ = false;
    std::string programs_;
};

TEST_F(Journey, SampleInstallDirectXRunGameStartAgainUninstall)
{
    restore_sample_medium();
    HWND launcher = open_launcher(nullptr, SAMPLE.caption);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
    HWND options = start_install(launcher, SAMPLE);
    ASSERT_TRUE(robot_wait_gone(options, WAIT_MS));

    // DirectX setup is offered after the copy, asked through the launcher.
    RobotBox box;
    ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
    EXPECT_EQ("DirectXインストール確認", box.caption);
    EXPECT_EQ("DirectXをインストールしますか？", box.text);
    EXPECT_EQ(launcher, box.owner);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box.buttons);
    robot_answer(box, IDYES);
    std::string dx_log;
    ASSERT_TRUE(wait_until([&] {
        dx_log = read_file(temp_file("dxsetup.log"));
        return dx_log.find("cwd=") != std::string::npos;
    }));
    EXPECT_NE(std::string::npos, dx_log.find("cmdline=[]\n")) << dx_log;
    // Started in D:\DirectX\ (the current directory reads back without the
    // final backslash).
    EXPECT_NE(std::string::npos, dx_log.find("cwd=[D:\\DirectX]\n")) << dx_log;
    // While setup runs the launcher waits: its buttons are not switched yet.
    DWORD setup_pid = strtoul(dx_log.c_str() + dx_log.find("pid=[") + 5, NULL, 10);
    HANDLE setup = OpenProcess(SYNCHRONIZE, FALSE, setup_pid);
    ASSERT_NE(nullptr, setup);
    std::vector<bool> during = buttons_of(launcher);
    bool setup_was_running = WaitForSingleObject(setup, 0) == WAIT_TIMEOUT;
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(setup, WAIT_MS));
    CloseHandle(setup);
    EXPECT_TRUE(setup_was_running) << "setup ended before the launcher could be seen waiting";
    EXPECT_EQ(NOT_INSTALLED, during);
    EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == INSTALLED; }));
    EXPECT_NE(std::string::npos, read_file(temp_file("dxsetup.log")).find("end\n"));

    // The record, the copied game and the Start-menu shortcut.
    std::string value;
    const std::string key = SAMPLE.product_key();
    ASSERT_TRUE(robot_read_hkcu(key.c_str(), "exepath", &value));
    EXPECT_EQ(SAMPLE.folder() + "testgame.exe", text_of(value));
    ASSERT_TRUE(robot_read_hkcu(key.c_str(), "gamedir", &value));
    EXPECT_EQ(SAMPLE.folder(), text_of(value));
    ASSERT_TRUE(robot_read_hkcu(key.c_str(), "instdrv", &value));
    EXPECT_EQ("D:\\", text_of(value));
    ASSERT_TRUE(robot_read_hkcu(key.c_str(), "instopt", &value));
    EXPECT_EQ("0", text_of(value));
    EXPECT_TRUE(exists((SAMPLE.folder() + "readme.txt").c_str()));
    EXPECT_TRUE(exists((SAMPLE.start_menu() + "\\SampleGame.lnk").c_str()));
    const std::vector<std::string> log = log_lines(SAMPLE.folder() + "instlog.txt");
    EXPECT_EQ(3u, logged_files(log).size());   // readme.txt, testgame.exe, SampleGame.lnk

    // Run the game: the exec message, then the game in its folder with an
    // empty command line; the launcher ends.
    ASSERT_TRUE(robot_press(launcher, 1002));
    ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
    EXPECT_EQ("実行確認", box.caption);
    EXPECT_EQ("ゲームを起動します。", box.text);
    robot_answer(box, IDOK);
    EXPECT_EQ(0, exit_code_of(launcher_));
    const std::string game_log = SAMPLE.folder() + "testgame.log";
    std::string game;
    EXPECT_TRUE(wait_until([&] {
        game = read_file(game_log);
        return game.find("cwd=") != std::string::npos;
    }));
    EXPECT_EQ(0u, game.find("cmdline=[]\n")) << game;
    EXPECT_NE(std::string::npos, game.find("cwd=[C:\\Program Files\\SampleSoft\\SampleGame]")) << game;

    // Start again: installed; uninstall.
    launcher = open_launcher(nullptr, SAMPLE.caption);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(INSTALLED, buttons_of(launcher));
    uninstall(launcher, SAMPLE);
    expect_uninstalled(SAMPLE, log);
    EXPECT_FALSE(key_exists(SAMPLE.brand_key()));
    EXPECT_FALSE(exists((std::string(PROGRAMS) + "\\" + SAMPLE.maker).c_str()));
    // Only the game's own record of its start is left in the folder.
    EXPECT_EQ(std::vector<std::string>{"testgame.log"}, folder_entries(SAMPLE.folder()));
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
}

TEST_F(Journey, CancellingTheOptionsDialogAsksNothingAndKeepsTheButtons)
{
    write_test_medium(FIRST, 1, 10);
    ASSERT_TRUE(exists("D:\\DirectX\\dxsetup.exe"));
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    ASSERT_TRUE(robot_press(launcher, 1001));
    HWND options = robot_wait_window("E2Eテスト製品のインストール", "#32770", launcher_pid_, WAIT_MS, true);
    ASSERT_NE(nullptr, options);
    robot_close(options);
    ASSERT_TRUE(robot_wait_gone(options, WAIT_MS));
    RobotBox box;
    EXPECT_FALSE(robot_wait_box(launcher_pid_, 500, &box)) << box.caption;
    EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
    EXPECT_FALSE(exists(temp_file("dxsetup.log").c_str()));
    EXPECT_FALSE(key_exists(FIRST.product_key()));
}

TEST_F(Journey, TwoProductsOfOneMakerUninstallingOneKeepsTheOther)
{
    ASSERT_TRUE(MoveFileA("D:\\DirectX", "D:\\DirectX.off"));   // no DirectX question
    write_test_medium(FIRST, 2, 100);
    HWND launcher = open_launcher(nullptr, FIRST.caption);
    ASSERT_NE(nullptr, launcher);
    install(launcher, FIRST);
    robot_close(launcher);
    ASSERT_EQ(0, exit_code_of(launcher_));
    const std::vector<std::string> first_log = log_lines(FIRST.folder() + "instlog.txt");

    write_test_medium(SEQUEL, 2, 100);
    launcher = open_launcher(nullptr, SEQUEL.caption);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
    install(launcher, SEQUEL);
    const std::vector<std::string> sequel_log = log_lines(SEQUEL.folder() + "instlog.txt");
    EXPECT_EQ(3u, logged_files(sequel_log).size());   // two files and the shortcut
    uninstall(launcher, SEQUEL);
    // The sequel's Start-menu folder goes; the maker's folder, logged by
    // both, stays with the first product's folder in it.
    expect_uninstalled(SEQUEL, sequel_log, false);
    EXPECT_FALSE(exists(SEQUEL.start_menu().c_str()));
    EXPECT_FALSE(exists((SEQUEL.folder() + "data").c_str()));

    // The first product is whole: files, log, Start-menu folder, record.
    EXPECT_EQ(first_log, log_lines(FIRST.folder() + "instlog.txt"));
    for (const std::string &file : logged_files(first_log))
        EXPECT_TRUE(exists(file.c_str())) << file;
    EXPECT_TRUE(is_folder(FIRST.start_menu()));
    EXPECT_EQ(std::vector<std::string>{FIRST.caption},
              folder_entries(std::string(PROGRAMS) + "\\" + FIRST.maker));
    std::string value;
    EXPECT_TRUE(robot_read_hkcu(FIRST.product_key().c_str(), "exepath", &value));
    EXPECT_TRUE(key_exists(FIRST.brand_key()));
}

// Three installs that stop half way into one folder: killed mid-copy, ended
// by a fatal error, given up at a disk change. Each leaves the product not
// installed and its files in the log, which the next install continues; the
// install that completes is then uninstalled with every attempt's files.
TEST_F(Journey, InstallsThatStopHalfWayAreFinishedIntoTheirFolderAndUninstalledWhole)
{
    ASSERT_TRUE(MoveFileA("D:\\DirectX", "D:\\DirectX.off"));
    const int files = 60;
    write_test_medium(FIRST, files, 64 * 1024);
    for (const char *folder : {"D:\\setup\\extra", "D:\\setup\\more"}) {
        CreateDirectoryA(folder, NULL);
        write_file(std::string(folder) + "\\one.bin", "one");
    }
    const std::string log_path = FIRST.folder() + "instlog.txt";
    // Each attempt's log begins with every line of the one before.
    std::vector<std::string> every_line;
    auto keeps_every_line = [&] {
        std::vector<std::string> now = log_lines(log_path);
        EXPECT_TRUE(now.size() >= every_line.size() && std::equal(every_line.begin(), every_line.end(), now.begin()))
            << now.size() << " lines after " << every_line.size();
        every_line = now;
    };
    auto next_start = [&](const char *list) {
        keeps_every_line();
        write_file("D:\\setup\\filelist0.txt", list);
        HWND launcher = open_launcher();
        EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
        return launcher;
    };

    // Killed once a few files have been logged.
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    start_install(launcher, FIRST);
    ASSERT_TRUE(wait_until([&] { return logged_files(log_lines(log_path)).size() >= 5; }));
    ASSERT_TRUE(TerminateProcess(launcher_, 1));
    ASSERT_EQ(1, exit_code_of(launcher_));
    ASSERT_LT(logged_files(log_lines(log_path)).size(), (size_t)files) << "the copy ended before the kill";

    // Ended by a fatal error after one folder was copied.
    launcher = next_start("\"テスト\", 1, \"data\\game.exe\"\n\"extra\" -> \"extra\"\n\"gone\" -> \"gone\"\n");
    start_install(launcher, FIRST, true);
    expect_box("エラー", "コピー元フォルダ\"D:\\setup\\gone\\\"にアクセス出来ません。", IDOK);
    ASSERT_EQ(0, exit_code_of(launcher_));

    // Given up at a disk change after one folder was copied.
    launcher = next_start("\"テスト\", 1, \"data\\game.exe\"\n\"more\" -> \"more\"\n"
                          "change \"Disc 2\", \"disc2.txt\"\n\"\" -> \"two\"\n");
    start_install(launcher, FIRST, true);
    expect_box("ドライブ入替確認", "ドライブDに「Disc 2」を入れてＯＫを押してください。", IDCANCEL);
    expect_box("インストール中断確認", "インストールを中断しますか？", IDYES);
    expect_box("エラー", "ファイルのコピーが正常に行われませんでした。", IDOK);
    ASSERT_EQ(0, exit_code_of(launcher_));

    // The install that completes keeps every earlier line in its log.
    launcher = next_start("\"テスト\", 1, \"data\\game.exe\"\n\"data\" -> \"data\"\n");
    HWND options = start_install(launcher, FIRST, true);
    ASSERT_TRUE(robot_wait_gone(options, WAIT_MS));
    EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == INSTALLED; }));
    keeps_every_line();
    const std::vector<std::string> final_log = every_line;
    for (const char *folder : {"data\\", "extra\\", "more\\"})
        EXPECT_NE(final_log.end(), std::find(final_log.begin(), final_log.end(), ":" + FIRST.folder() + folder));

    uninstall(launcher, FIRST);
    expect_uninstalled(FIRST, final_log);
    EXPECT_TRUE(folder_entries(FIRST.folder()).empty());
    EXPECT_FALSE(key_exists(FIRST.brand_key()));
}

}  // namespace
