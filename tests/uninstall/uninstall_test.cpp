// Uninstalling from a real log and record on Wine's file system and registry,
// and the launcher's uninstall button around it.
#include <stdio.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/open_file.h"
#include "core/install_log.h"
#include "install/make_path.h"
#include "launcher/launcher_commands.h"
#include "records/registry.h"
#include "state/install_state.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/hkcu.h"
#include "support/unix_command.h"
#include "uninstall/uninstall.h"

namespace {

const std::string base = "C:\\uninstall_test";
const std::string game = base + "\\Brand\\Game\\";        // the install folder
const std::string menu = base + "\\Programs";              // stands in for the Start menu

void set_product(const char *bland, const char *title, const char *caption)
{
    InstallState &s = install_state;
    snprintf(s.brand_key, sizeof s.brand_key, "software\\%s", bland);
    snprintf(s.product_key, sizeof s.product_key, "software\\%s\\%s", bland, title);
    snprintf(s.caption, sizeof s.caption, "%s", caption);
}

void make_folder(const std::string &path) { CreateDirectory932(path.c_str(), NULL); }

void write_record(const std::string &dir);

// Lays out what an install of `title` by maker "Maker" leaves behind.
void fake_install(const std::string &dir, const char *title, const std::vector<std::string> &extra)
{
    make_folder(dir);
    make_folder(dir + "data");
    write_file(dir + "game.exe", "exe");
    write_file(dir + "data\\a.bin", "a");
    write_file(dir + "data\\b.bin", "b");
    make_folder(menu + "\\Maker");
    make_folder(menu + "\\Maker\\" + title);
    write_file(menu + "\\Maker\\" + title + "\\" + title + ".lnk", "lnk");
    const std::string log = dir + "instlog.txt";
    log_create(log.c_str());
    std::vector<std::string> lines = {
        dir + "game.exe", ":" + dir + "data\\", dir + "data\\a.bin", dir + "data\\b.bin",
        std::string(">") + install_state.caption, "?" + std::string(install_state.product_key),
        ":" + menu + "\\Maker\\" + title, ":" + menu + "\\Maker",
        menu + "\\Maker\\" + title + "\\" + title + ".lnk",
    };
    lines.insert(lines.end(), extra.begin(), extra.end());
    for (const std::string &line : lines)
        log_append(log.c_str(), line.c_str());
    write_record(dir);
}

void write_record(const std::string &dir)
{
    reg_write_value("D:\\", install_state.product_key, "instdrv");
    reg_write_value((dir + "game.exe").c_str(), install_state.product_key, "exepath");
    reg_write_value("0", install_state.product_key, "instopt");
    reg_write_value(dir.c_str(), install_state.product_key, "gamedir");
}

// The first path an uninstall left, if any.
char left[PATH_CAPACITY];

int run_uninstall()
{
    left[0] = '\0';
    return uninstall(left, sizeof left);
}

bool has_value(const char *name)
{
    char buffer[260];
    return reg_read_value(buffer, install_state.product_key, name, sizeof buffer) == 1;
}

class Uninstall : public testing::Test {
protected:
    void SetUp() override
    {
        clean();
        make_folder(base);
        make_folder(base + "\\Brand");
        make_folder(menu);
        set_product("UninstallTestBrand", "Game", "ゲーム");
    }
    void TearDown() override { clean(); }
    ProgramsFolder programs_{menu};
    static void clean()
    {
        remove_tree(base);
        RegDeleteTree932(HKEY_CURRENT_USER, "software\\UninstallTestBrand");
    }
};

TEST_F(Uninstall, RemovesEveryLoggedFileAndEmptyFolderThenTheRecord)
{
    fake_install(game, "Game", {});
    ASSERT_EQ(1, run_uninstall());
    EXPECT_TRUE(is_folder(game));                    // never logged, so it stays
    EXPECT_TRUE(folder_entries(game).empty());       // without the log and the files
    EXPECT_FALSE(path_exists(menu + "\\Maker"));
    for (const char *name : {"instopt", "instdrv", "exepath", "gamedir"})
        EXPECT_FALSE(has_value(name)) << name;
    EXPECT_FALSE(key_exists("software\\UninstallTestBrand"));
    EXPECT_STREQ((game + "instlog.txt").c_str(), install_state.install_log_path);
}

// A crash while a line was written leaves a torn tail: the log's files are
// uninstalled all the same.
TEST_F(Uninstall, ALogWithATornTailIsUninstalledWhole)
{
    for (const std::string &tail : {std::string(4096, '\0'), std::string(300, 't')}) {
        fake_install(game, "Game", {});
        FILE *log = open_file((game + "instlog.txt").c_str(), "ab");
        fwrite(tail.data(), 1, tail.size(), log);
        fclose(log);
        BoxRobot robot;
        ASSERT_EQ(1, run_uninstall());
        EXPECT_TRUE(robot.boxes.empty());
        EXPECT_TRUE(folder_entries(game).empty());
        EXPECT_FALSE(path_exists(menu + "\\Maker"));
    }
}

TEST_F(Uninstall, AUsersFileKeepsItsFolderAndTheFoldersAbove)
{
    fake_install(game, "Game", {});
    write_file(game + "data\\save.dat", "mine");
    ASSERT_EQ(1, run_uninstall());
    EXPECT_EQ("mine", read_file(game + "data\\save.dat"));
    EXPECT_FALSE(path_exists(game + "data\\a.bin"));
    EXPECT_FALSE(path_exists(game + "instlog.txt"));
}

// A tree four levels deep, each folder holding a file and the next folder,
// logged as an install logs it: the folders it made for the install folder
// (the brand's too), then the list's folders in the list's order.
std::vector<std::string> nested_install(bool parents_first)
{
    std::vector<std::string> folders = {game + "d\\", game + "d\\e\\", game + "d\\e\\f\\",
                                        game + "d\\e\\f\\h\\"};
    for (const std::string &folder : folders) {
        make_path(folder.c_str());
        write_file(folder + "x.bin", "x");
    }
    if (!parents_first)
        std::reverse(folders.begin(), folders.end());
    std::vector<std::string> lines = {":" + base + "\\Brand\\", ":" + game};
    for (const std::string &folder : folders)
        lines.insert(lines.end(), {":" + folder, folder + "x.bin"});
    return lines;
}

TEST_F(Uninstall, EveryFolderTheInstallMadeGoesDeepestFirstWhateverTheLogOrder)
{
    for (bool parents_first : {true, false}) {
        fake_install(game, "Game", nested_install(parents_first));
        ASSERT_EQ(1, run_uninstall());
        EXPECT_FALSE(path_exists(base + "\\Brand")) << parents_first;
        EXPECT_EQ(std::vector<std::string>{"Programs"}, folder_entries(base)) << parents_first;
        make_folder(base + "\\Brand");
    }
}

TEST_F(Uninstall, AUsersFileInANestedFolderKeepsItAndItsParentsAlone)
{
    fake_install(game, "Game", nested_install(false));
    write_file(game + "d\\e\\mine.txt", "mine");
    ASSERT_EQ(1, run_uninstall());
    EXPECT_EQ(std::vector<std::string>{"mine.txt"}, folder_entries(game + "d\\e"));
    EXPECT_EQ(std::vector<std::string>{"e"}, folder_entries(game + "d"));
    EXPECT_EQ(std::vector<std::string>{"d"}, folder_entries(game));
    EXPECT_EQ(std::vector<std::string>{"Game"}, folder_entries(base + "\\Brand"));
    EXPECT_FALSE(path_exists(menu + "\\Maker"));
}

// A log of the program before it logged every folder it made: copy targets
// only, in list order, parents first. It still uninstalls, and leaves only
// the install folder it never logged, empty, and the brand's folder.
TEST_F(Uninstall, ALogOfTheEarlierProgramLeavesOnlyTheUnloggedInstallFolder)
{
    const std::string old_log = source_path("tests\\uninstall\\logs\\parents_first_instlog.txt");
    const std::vector<std::string> lines = read_lines(old_log);
    ASSERT_EQ(14u, lines.size());
    make_folder(game);
    for (const std::string &line : lines) {
        if (line[0] == ':') {
            ASSERT_EQ(1, make_path(line.c_str() + 1)) << line;
        }
    }
    for (const std::string &line : lines)
        if (line[0] != ':' && line[0] != '>' && line[0] != '?')
            write_file(line, "installed");
    write_record(game);
    ASSERT_TRUE(CopyFile932(old_log.c_str(), (game + "instlog.txt").c_str(), FALSE));
    ASSERT_EQ(1, run_uninstall());
    EXPECT_EQ(std::vector<std::string>{"Game"}, folder_entries(base + "\\Brand"));
    EXPECT_TRUE(folder_entries(game).empty());
    EXPECT_TRUE(folder_entries(menu).empty());
}

TEST_F(Uninstall, TheMakersFolderStaysWhileAnotherProductOfTheMakerIsInstalled)
{
    const std::string other = base + "\\Brand\\Other\\";
    set_product("UninstallTestBrand", "Other", "Other");
    fake_install(other, "Other", {});
    set_product("UninstallTestBrand", "Game", "ゲーム");
    fake_install(game, "Game", {});

    ASSERT_EQ(1, run_uninstall());
    EXPECT_FALSE(path_exists(menu + "\\Maker\\Game"));
    EXPECT_TRUE(path_exists(menu + "\\Maker\\Other\\Other.lnk"));
    EXPECT_TRUE(key_exists("software\\UninstallTestBrand\\Other"));
    EXPECT_TRUE(path_exists(other + "data\\a.bin"));
}

TEST_F(Uninstall, FilesAlreadyGoneAndForeignLogLinesChangeNothingElse)
{
    fake_install(game, "Game", {">Another caption", "?software\\Someone\\Else"});
    DeleteFile932((game + "data\\a.bin").c_str());
    ASSERT_EQ(1, run_uninstall());
    EXPECT_FALSE(path_exists(game + "data"));
    EXPECT_FALSE(has_value("exepath"));
}

// A file another program holds open without letting it be deleted is tried
// again for a bounded time: one let go within it goes, one held on stays
// and the rest of the uninstall carries on.
TEST_F(Uninstall, AFileHeldOpenForAMomentGoesAndOneHeldOnStays)
{
    for (int hold_ms : {500, 4000}) {
        fake_install(game, "Game", {});
        HANDLE held = CreateFile932((game + "data\\a.bin").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        std::thread release([&] {
            Sleep(hold_ms);
            CloseHandle(held);
        });
        bool held_on = hold_ms > 2000;
        // One held on is left, so the log and the record stay for a second try.
        EXPECT_EQ(held_on ? UNINSTALL_INCOMPLETE : UNINSTALL_DONE, run_uninstall()) << hold_ms;
        EXPECT_EQ(held_on, path_exists(game + "data\\a.bin")) << hold_ms;
        EXPECT_EQ(held_on, path_exists(game + "data")) << hold_ms;
        EXPECT_FALSE(path_exists(game + "data\\b.bin")) << hold_ms;
        EXPECT_FALSE(path_exists(menu + "\\Maker")) << hold_ms;
        EXPECT_EQ(held_on, has_value("gamedir")) << hold_ms;
        release.join();
        remove_tree(game);
    }
}

// The log is a text file anyone may edit: a line that leads out of the
// install and Programs folders, or that is not a plain absolute path, is
// left alone; the rest goes, and the log and the record stay, naming the
// first line left.
TEST_F(Uninstall, LinesLeadingOutOfTheInstallAndProgramsFoldersAreLeftInPlace)
{
    const std::string here = base + "\\here\\";
    make_folder(here);
    make_folder(base + "\\kept");
    std::vector<std::string> outside = {base + "\\outside.txt", here + "relative.txt",
                                        base + "\\Brand\\escaped.txt"};
    for (const std::string &path : outside)
        write_file(path, "not the install's");
    const std::string win_ini = "C:\\windows\\win.ini";
    if (!path_exists(win_ini))
        write_file(win_ini, "[windows]\r\n");
    fake_install(game, "Game", {win_ini, "..\\outside.txt", "relative.txt", game + "data\\..\\..\\escaped.txt",
                                ":" + base + "\\kept", game + "data/../../escaped.txt"});
    SetCurrentDirectory932(here.c_str());
    EXPECT_EQ(UNINSTALL_INCOMPLETE, run_uninstall());
    SetCurrentDirectory932("C:\\");
    EXPECT_EQ(win_ini, left);
    EXPECT_TRUE(path_exists(game + "instlog.txt"));
    EXPECT_TRUE(has_value("exepath"));
    EXPECT_TRUE(has_value("gamedir"));
    EXPECT_TRUE(path_exists(win_ini));
    for (const std::string &path : outside)
        EXPECT_TRUE(path_exists(path)) << path;
    EXPECT_TRUE(is_folder(base + "\\kept"));
    EXPECT_FALSE(path_exists(game + "game.exe"));
    EXPECT_FALSE(path_exists(menu + "\\Maker"));
}

// A file that cannot be deleted, and a folder that stays for another
// reason than what is in it, keep the log and the record; once they can
// go, the uninstall is run again and ends clean.
TEST_F(Uninstall, WhatCannotBeRemovedKeepsTheLogAndTheRecordUntilItCan)
{
    fake_install(game, "Game", {});
    HANDLE held = CreateFile932((game + "data\\b.bin").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(UNINSTALL_INCOMPLETE, run_uninstall());
    EXPECT_EQ(game + "data\\b.bin", left);
    EXPECT_FALSE(path_exists(game + "data\\a.bin"));
    EXPECT_FALSE(path_exists(menu + "\\Maker"));
    EXPECT_TRUE(path_exists(game + "instlog.txt"));
    EXPECT_TRUE(has_value("exepath"));
    CloseHandle(held);
    EXPECT_EQ(UNINSTALL_DONE, run_uninstall());
    EXPECT_STREQ("", left);
    EXPECT_TRUE(folder_entries(game).empty());
    EXPECT_FALSE(has_value("exepath"));
}

// A link put into the install folder (here a host's symbolic link, which
// Wine reports as a reparse point, as Windows does a junction) leads the
// log's paths outside: nothing is deleted through it, the link is not
// removed, and the uninstall names the first path through it.
TEST_F(Uninstall, NothingIsDeletedThroughAReparsePointInTheInstallFolder)
{
    const std::string outside = base + "\\outside";
    make_folder(outside);
    write_file(outside + "\\keep.txt", "not the install's");
    fake_install(game, "Game", {game + "link\\keep.txt", ":" + game + "link\\", ":" + game + "link"});
    ASSERT_EQ(0, run_unix("ln -s '" + unix_path(outside) + "' '" + unix_path(game) + "link'"));
    DWORD attributes = GetFileAttributes932((game + "link").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    ASSERT_NE(0u, attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    EXPECT_EQ(UNINSTALL_INCOMPLETE, run_uninstall());
    EXPECT_EQ(game + "link\\keep.txt", left);
    EXPECT_EQ("not the install's", read_file(outside + "\\keep.txt"));
    EXPECT_TRUE(path_exists(game + "link"));
    EXPECT_FALSE(path_exists(game + "game.exe"));
    EXPECT_TRUE(path_exists(game + "instlog.txt"));
    EXPECT_TRUE(has_value("exepath"));
    ASSERT_EQ(0, run_unix("rm '" + unix_path(game) + "link'"));
}

TEST_F(Uninstall, AnEmptyLogRemovesOnlyTheLogAndTheRecord)
{
    fake_install(game, "Game", {});
    log_create((game + "instlog.txt").c_str());
    ASSERT_EQ(1, run_uninstall());
    EXPECT_TRUE(path_exists(game + "data\\a.bin"));
    EXPECT_FALSE(path_exists(game + "instlog.txt"));
    EXPECT_FALSE(has_value("gamedir"));
}

TEST_F(Uninstall, AnUnreadableLogOrMissingGamedirChangesNothing)
{
    fake_install(game, "Game", {});
    DeleteFile932((game + "instlog.txt").c_str());
    {
        BoxRobot robot;
        EXPECT_EQ(0, run_uninstall());
        ASSERT_EQ(1u, robot.boxes.size());
        EXPECT_EQ("インストールログ読込失敗", robot.boxes[0].caption);
        EXPECT_EQ("インストールログが読めません。", robot.boxes[0].text);
        EXPECT_EQ(nullptr, robot.boxes[0].owner);
    }
    EXPECT_TRUE(has_value("exepath"));
    EXPECT_TRUE(path_exists(game + "game.exe"));

    reg_delete_value(install_state.product_key, "gamedir");
    BoxRobot robot;
    EXPECT_EQ(0, run_uninstall());
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("インストールログが読めません。", robot.boxes[0].text);
    EXPECT_TRUE(has_value("exepath"));
}

// A stand-in launcher: the three buttons the commands switch.
class LauncherCommands : public Uninstall {
protected:
    void SetUp() override
    {
        Uninstall::SetUp();
        window_ = CreateWindowA("STATIC", "launcher", WS_POPUP, 0, 0, 300, 300, NULL, NULL, NULL, NULL);
        for (int id : {ID_INSTALL, ID_RUN_GAME, ID_UNINSTALL})
            CreateWindowA("BUTTON", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 10, 10, window_,
                          (HMENU)(INT_PTR)id, NULL, NULL);
        set_launcher_buttons(window_, 1);
    }
    void TearDown() override
    {
        DestroyWindow(window_);
        Uninstall::TearDown();
    }
    std::vector<int> enabled() const
    {
        std::vector<int> states;
        for (int id : {ID_INSTALL, ID_RUN_GAME, ID_UNINSTALL})
            states.push_back(IsWindowEnabled(GetDlgItem(window_, id)) ? 1 : 0);
        return states;
    }
    HWND window_ = NULL;
};

const std::vector<int> installed = {0, 1, 1};
const std::vector<int> not_installed = {1, 0, 0};

TEST_F(LauncherCommands, NoToTheQuestionChangesNothing)
{
    fake_install(game, "Game", {});
    BoxRobot robot;
    robot.answer(IDNO);
    launcher_uninstall_command(window_);
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("アンインストールの確認", robot.boxes[0].caption);
    EXPECT_EQ("ゲームをアンインストールします。よろしいですか？", robot.boxes[0].text);
    EXPECT_EQ(window_, robot.boxes[0].owner);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), robot.boxes[0].button_ids);
    EXPECT_EQ(installed, enabled());
    EXPECT_TRUE(path_exists(game + "instlog.txt"));
}

// Only a Yes deletes: a question that cannot be shown is no consent.
TEST_F(LauncherCommands, AQuestionThatCannotBeShownChangesNothing)
{
    fake_install(game, "Game", {});
    BoxRobot robot;
    robot.refuse_windows = true;
    launcher_uninstall_command(window_);
    robot.refuse_windows = false;
    EXPECT_EQ(installed, enabled());
    EXPECT_TRUE(path_exists(game + "game.exe"));
    EXPECT_TRUE(has_value("exepath"));
}

TEST_F(LauncherCommands, YesUninstallsReportsAndSwitchesTheButtons)
{
    fake_install(game, "Game", {});
    BoxRobot robot;
    robot.answer({IDYES, IDOK});
    launcher_uninstall_command(window_);
    ASSERT_EQ(2u, robot.boxes.size());
    EXPECT_EQ("アンインストール完了確認", robot.boxes[1].caption);
    EXPECT_EQ("アンインストールしました。", robot.boxes[1].text);
    EXPECT_EQ(window_, robot.boxes[1].owner);
    EXPECT_EQ(not_installed, enabled());
    EXPECT_FALSE(has_value("exepath"));
}

TEST_F(LauncherCommands, AnUninstallThatLeavesAPathSaysSoAndKeepsTheButtons)
{
    const std::string elsewhere = base + "\\elsewhere.txt";
    write_file(elsewhere, "not the install's");
    fake_install(game, "Game", {elsewhere});
    BoxRobot robot;
    robot.answer({IDYES, IDOK});
    launcher_uninstall_command(window_);
    ASSERT_EQ(2u, robot.boxes.size());
    EXPECT_EQ("アンインストール未完了", robot.boxes[1].caption);
    EXPECT_EQ("\"" + elsewhere + "\"を削除できませんでした。インストールログとレジストリのインストール情報は"
              "残してあります。もう一度アンインストールするか、残ったものを手で削除してください。",
              robot.boxes[1].text);
    EXPECT_EQ(window_, robot.boxes[1].owner);
    EXPECT_EQ(installed, enabled());
    EXPECT_TRUE(has_value("exepath"));
    EXPECT_TRUE(path_exists(elsewhere));
    EXPECT_FALSE(path_exists(game + "game.exe"));
}

TEST_F(LauncherCommands, AFailedUninstallOffersToRemoveTheRecordAlone)
{
    fake_install(game, "Game", {});
    DeleteFile932((game + "instlog.txt").c_str());
    {
        BoxRobot robot;
        robot.answer({IDYES, IDOK, IDNO});
        launcher_uninstall_command(window_);
        ASSERT_EQ(3u, robot.boxes.size());
        EXPECT_EQ("インストールログが読めません。", robot.boxes[1].text);
        EXPECT_EQ(nullptr, robot.boxes[1].owner);
        EXPECT_EQ("アンインストール失敗", robot.boxes[2].caption);
        EXPECT_EQ("アンインストールに失敗しました。レジストリのインストール情報を削除しますか？",
                  robot.boxes[2].text);
        EXPECT_EQ(window_, robot.boxes[2].owner);
        EXPECT_EQ(installed, enabled());
        EXPECT_TRUE(has_value("exepath"));
    }
    BoxRobot robot;
    robot.answer({IDYES, IDOK, IDYES});
    launcher_uninstall_command(window_);
    EXPECT_EQ(3u, robot.boxes.size());
    EXPECT_EQ(not_installed, enabled());
    EXPECT_FALSE(has_value("exepath"));
    EXPECT_FALSE(key_exists("software\\UninstallTestBrand"));
    EXPECT_TRUE(path_exists(game + "game.exe"));     // no file is touched
}

// "software" itself is never touched: with an empty brand the product's
// own key ("software\\<title>") goes, the brand key ("software\") stays.
TEST_F(LauncherCommands, CleanUpWithAnEmptyBrandDeletesValuesAndTheProductsKeyOnly)
{
    set_product("", "UninstallTestEmptyBrand", "C");
    reg_write_value("x", install_state.product_key, "exepath");
    reg_write_value("0", install_state.product_key, "instopt");
    BoxRobot robot;
    robot.answer({IDYES, IDOK, IDYES});
    launcher_uninstall_command(window_);
    EXPECT_FALSE(has_value("exepath"));
    EXPECT_FALSE(has_value("instopt"));
    EXPECT_FALSE(key_exists("software\\UninstallTestEmptyBrand"));
    EXPECT_TRUE(key_exists("software"));
}

}  // namespace
