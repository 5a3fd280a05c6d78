// Whole journeys of the real program from drive D:, driven by the UI robot:
// install, DirectX setup, run the game, start again, uninstall; two products
// of one maker; an install killed in the middle of its copy. Each runs from
// the medium as a folder and from the medium mastered into a disc image and
// mounted read-only as a CD-ROM drive; a medium of two discs is swapped in
// the drive while the program asks for the second.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"
#include "e2e/e2e_fixture.h"
#include "robot/ui_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/hkcu.h"

namespace {

using namespace e2e;

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
    // An empty brand adds no folder.
    std::string parent() const { return std::string(PROGRAM_FILES) + bland + (bland[0] ? "\\" : ""); }
    std::string folder() const { return parent() + title + "\\"; }
    std::string start_menu() const { return std::string(PROGRAMS) + "\\" + maker + "\\" + caption; }
};

const Product SAMPLE = {"サンプルゲーム", "サンプル工房", "SampleGame", "SampleSoft"};
const Product FIRST = {"E2Eテスト製品", "E2E工房", "E2EGame", "E2ESoft"};
const Product SEQUEL = {"E2E続編", "E2E工房", "E2EGame2", "E2ESoft"};
const Product NO_BRAND = {"E2E無印", "E2E工房", "E2ENoBrand", ""};

void delete_record(const Product &p)
{
    RegDeleteKey932(HKEY_CURRENT_USER, p.product_key().c_str());
    if (p.bland[0])         // never "software" itself
        RegDeleteKey932(HKEY_CURRENT_USER, p.brand_key().c_str());
}

// A value read back as text (Wine keeps the zero that followed the data).
std::string text_of(const std::string &value)
{
    return value.c_str();
}

class JourneyBase : public EndToEnd {
protected:
    void SetUp() override
    {
        if (kind_ == MediumKind::IMAGE && !cd_drive_unavailable().empty())
            GTEST_SKIP() << cd_drive_unavailable();
        EndToEnd::SetUp();
        programs_folder_.reset(new ProgramsFolder(PROGRAMS));
        CreateDirectory932(PROGRAMS, NULL);
        clean();
        DeleteFile932(temp_file("dxsetup.log").c_str());
    }

    void TearDown() override
    {
        if (IsSkipped())
            return;
        EndToEnd::TearDown();
        eject_medium();
        clean();
        for (const char *folder : {"D:\\setup\\extra", "D:\\setup\\more", "D:\\data2"})
            remove_tree(folder);
        programs_folder_.reset();
        if (path_exists("D:\\DirectX.off"))
            MoveFile932("D:\\DirectX.off", "D:\\DirectX");
    }

    void clean()
    {
        for (const Product *p : {&SAMPLE, &FIRST, &SEQUEL, &NO_BRAND}) {
            remove_tree(p->folder());
            if (p->bland[0])
                RemoveDirectory932(p->parent().c_str());
            delete_record(*p);
        }
        remove_tree(PROGRAMS);
        CreateDirectory932(PROGRAMS, NULL);
    }

    // A test medium's option 0: the header and one copy statement of `files`
    // files in D:\setup\data into the install folder's "data".
    void write_test_medium(const Product &p, int files, size_t bytes_each)
    {
        write_file("D:\\setup\\install.txt", p.settings());
        write_file("D:\\setup\\filelist0.txt",
                   "\"テスト\", 1, \"data\\game.exe\"\n\"data\" -> \"data\"\n");
        DeleteFile932("D:\\setup\\filelist1.txt");
        remove_tree("D:\\setup\\data");
        CreateDirectory932("D:\\setup\\data", NULL);
        for (int i = 0; i < files; i++)
            write_file("D:\\setup\\data\\file" + std::to_string(i) + ".bin",
                       std::string(bytes_each, (char)('a' + i % 26)));
    }

    // The medium laid out on D: goes into the drive: as it is for a folder;
    // for a disc, mastered with the publisher's command and mounted as D:.
    bool insert_medium()
    {
        if (kind_ == MediumKind::FOLDER)
            return true;
        const std::string image = disc_image("disc1");
        std::string failure = cd_drive({"master", "D:\\setup", image});
        if (failure.empty())
            failure = cd_drive({"insert", image});
        EXPECT_EQ("", failure);
        return failure.empty() && disc_in_drive();
    }

    // D: refuses a new file, as a disc does (the folder medium takes it).
    static bool disc_in_drive()
    {
        HANDLE file = CreateFile932("D:\\written.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return true;
        CloseHandle(file);
        DeleteFile932("D:\\written.txt");
        ADD_FAILURE() << "D: took a new file: it holds no disc";
        return false;
    }

    // Takes the disc out: D: is the writable folder medium again.
    void eject_medium()
    {
        if (kind_ == MediumKind::IMAGE) {
            EXPECT_EQ("", cd_drive({"eject"}));
        }
    }

    // The sample medium's own control files, as the sample ships them.
    void restore_sample_medium()
    {
        for (const char *name : {"install.txt", "filelist0.txt", "comment.txt"})
            ASSERT_TRUE(CopyFile932((work_folder() + "\\sample\\setup\\" + name).c_str(),
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

    // Uninstall button, yes (then `after_yes`), then the success message.
    void uninstall(HWND launcher, const Product &p, const std::function<void()> &after_yes = {})
    {
        ASSERT_TRUE(robot_press(launcher, 1003));
        RobotBox box;
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("アンインストールの確認", box.caption);
        EXPECT_EQ(std::string(p.caption) + "をアンインストールします。よろしいですか？", box.text);
        robot_answer(box, IDYES);
        if (after_yes)
            after_yes();
        ASSERT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("アンインストール完了確認", box.caption);
        EXPECT_EQ("アンインストールしました。", box.text);
        EXPECT_EQ(launcher, box.owner);
        robot_answer(box, IDOK);
        EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == NOT_INSTALLED; }));
    }

    // What an uninstall must leave: no logged file, no logged folder but those
    // that still hold one of `kept` (what others put there), no log and no
    // record of the product. The install folder goes with everything else.
    void expect_uninstalled(const Product &p, const std::vector<std::string> &log,
                            const std::vector<std::string> &kept = {})
    {
        for (const std::string &file : logged_files(log))
            EXPECT_FALSE(path_exists(file.c_str())) << file;
        auto holds_kept = [&](const std::string &folder) {
            for (const std::string &path : kept)
                if (path.compare(0, folder.size(), folder) == 0 && path_exists(path))
                    return true;
            return false;
        };
        for (const std::string &line : log) {
            if (!line.empty() && line[0] == ':') {
                EXPECT_EQ(holds_kept(line.substr(1)), path_exists(line.c_str() + 1)) << line;
            }
        }
        EXPECT_EQ(holds_kept(p.folder()), is_folder(p.folder()));
        EXPECT_FALSE(path_exists((p.folder() + "instlog.txt").c_str()));
        EXPECT_FALSE(key_exists(p.product_key()));
    }

    MediumKind kind_ = MediumKind::FOLDER;
    std::unique_ptr<ProgramsFolder> programs_folder_;
};

class Journey : public JourneyBase, public testing::WithParamInterface<MediumKind> {
protected:
    void SetUp() override
    {
        kind_ = GetParam();
        JourneyBase::SetUp();
    }
};

TEST_P(Journey, SampleInstallDirectXRunGameStartAgainUninstall)
{
    restore_sample_medium();
    ASSERT_TRUE(insert_medium());
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
    EXPECT_TRUE(path_exists((SAMPLE.folder() + "readme.txt").c_str()));
    EXPECT_TRUE(path_exists((SAMPLE.start_menu() + "\\SampleGame.lnk").c_str()));
    const std::vector<std::string> log = read_lines(SAMPLE.folder() + "instlog.txt");
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
    expect_uninstalled(SAMPLE, log, {SAMPLE.folder() + "testgame.log"});
    EXPECT_FALSE(key_exists(SAMPLE.brand_key()));
    EXPECT_FALSE(path_exists((std::string(PROGRAMS) + "\\" + SAMPLE.maker).c_str()));
    // Only the game's own record of its start is left in the folder.
    EXPECT_EQ(std::vector<std::string>{"testgame.log"}, folder_entries(SAMPLE.folder()));
    robot_close(launcher);
    EXPECT_EQ(0, exit_code_of(launcher_));
}

TEST_P(Journey, CancellingTheOptionsDialogAsksNothingAndKeepsTheButtons)
{
    write_test_medium(FIRST, 1, 10);
    ASSERT_TRUE(insert_medium());
    ASSERT_TRUE(path_exists("D:\\DirectX\\dxsetup.exe"));
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
    EXPECT_FALSE(path_exists(temp_file("dxsetup.log").c_str()));
    EXPECT_FALSE(key_exists(FIRST.product_key()));
}

TEST_P(Journey, TwoProductsOfOneMakerUninstallingOneKeepsTheOther)
{
    ASSERT_TRUE(MoveFile932("D:\\DirectX", "D:\\DirectX.off"));   // no DirectX question
    write_test_medium(FIRST, 2, 100);
    ASSERT_TRUE(insert_medium());
    HWND launcher = open_launcher(nullptr, FIRST.caption);
    ASSERT_NE(nullptr, launcher);
    install(launcher, FIRST);
    robot_close(launcher);
    ASSERT_EQ(0, exit_code_of(launcher_));
    const std::vector<std::string> first_log = read_lines(FIRST.folder() + "instlog.txt");

    eject_medium();
    write_test_medium(SEQUEL, 2, 100);
    ASSERT_TRUE(insert_medium());
    launcher = open_launcher(nullptr, SEQUEL.caption);
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
    install(launcher, SEQUEL);
    const std::vector<std::string> sequel_log = read_lines(SEQUEL.folder() + "instlog.txt");
    EXPECT_EQ(3u, logged_files(sequel_log).size());   // two files and the shortcut
    uninstall(launcher, SEQUEL);
    // The sequel's Start-menu folder goes; the maker's folder, logged by
    // both, stays with the first product's folder in it, and so does the
    // brand's, which the first product made.
    expect_uninstalled(SEQUEL, sequel_log, {FIRST.start_menu(), FIRST.folder()});
    EXPECT_EQ(sequel_log.end(), std::find(sequel_log.begin(), sequel_log.end(), ":" + SEQUEL.parent()));
    EXPECT_FALSE(path_exists(SEQUEL.start_menu().c_str()));
    EXPECT_FALSE(path_exists((SEQUEL.folder() + "data").c_str()));

    // The first product is whole: files, log, Start-menu folder, record.
    EXPECT_EQ(first_log, read_lines(FIRST.folder() + "instlog.txt"));
    for (const std::string &file : logged_files(first_log))
        EXPECT_TRUE(path_exists(file.c_str())) << file;
    EXPECT_TRUE(is_folder(FIRST.start_menu()));
    EXPECT_EQ(std::vector<std::string>{FIRST.caption},
              folder_entries(std::string(PROGRAMS) + "\\" + FIRST.maker));
    std::string value;
    EXPECT_TRUE(robot_read_hkcu(FIRST.product_key().c_str(), "exepath", &value));
    EXPECT_TRUE(key_exists(FIRST.brand_key()));

    // The last one out is the product that made the brand's folder: it goes.
    robot_close(launcher);
    ASSERT_EQ(0, exit_code_of(launcher_));
    eject_medium();
    write_test_medium(FIRST, 2, 100);
    ASSERT_TRUE(insert_medium());
    launcher = open_launcher(nullptr, FIRST.caption);
    ASSERT_NE(nullptr, launcher);
    uninstall(launcher, FIRST);
    expect_uninstalled(FIRST, first_log);
    EXPECT_FALSE(path_exists(FIRST.parent()));
}

// A tree four levels deep, each folder holding a file and the next folder,
// copied one statement a folder from flat folders of the medium: parents
// first, then children first (the copy makes the parents on the way). The
// uninstall leaves nothing the install made, the brand's folder included; a
// file the user puts into a nested folder keeps that folder and those above.
TEST_P(Journey, ANestedTreeInEitherListOrderIsUninstalledWholeButForAUsersFile)
{
    ASSERT_TRUE(MoveFile932("D:\\DirectX", "D:\\DirectX.off"));   // no DirectX question
    const std::vector<std::string> levels = {"t", "t\\a", "t\\a\\データ", "t\\a\\データ\\c"};
    write_test_medium(FIRST, 1, 10);
    for (size_t i = 0; i < levels.size(); i++) {
        const std::string source = "D:\\setup\\level" + std::to_string(i);
        remove_tree(source);
        ASSERT_TRUE(CreateDirectory932(source.c_str(), NULL));
        write_file(source + "\\f.txt", levels[i]);
    }
    struct Round {
        bool parents_first;
        std::string users_file;     // relative to the install folder, or ""
    };
    for (const Round &round : {Round{true, ""}, Round{false, ""}, Round{false, "t\\a\\mine.txt"}}) {
        SCOPED_TRACE(round.parents_first ? "parents first" : "children first");
        std::string list = "\"入れ子\", 1, \"t\\f.txt\"\n";
        for (size_t n = 0; n < levels.size(); n++) {
            size_t i = round.parents_first ? n : levels.size() - 1 - n;
            list += "\"level" + std::to_string(i) + "\" -> \"" + levels[i] + "\"\n";
        }
        write_file("D:\\setup\\filelist0.txt", list);
        ASSERT_TRUE(insert_medium());
        HWND launcher = open_launcher(nullptr, FIRST.caption);
        ASSERT_NE(nullptr, launcher);
        install(launcher, FIRST);
        for (const std::string &level : levels)
            EXPECT_EQ(level, read_file(FIRST.folder() + level + "\\f.txt"));
        const std::vector<std::string> log = read_lines(FIRST.folder() + "instlog.txt");
        if (!round.users_file.empty())
            write_file(FIRST.folder() + round.users_file, "mine");
        uninstall(launcher, FIRST);
        robot_close(launcher);
        ASSERT_EQ(0, exit_code_of(launcher_));
        if (round.users_file.empty()) {
            expect_uninstalled(FIRST, log);
            EXPECT_FALSE(path_exists(FIRST.parent()));
        } else {
            expect_uninstalled(FIRST, log, {FIRST.folder() + round.users_file});
            EXPECT_EQ(std::vector<std::string>{"mine.txt"}, folder_entries(FIRST.folder() + "t\\a"));
            EXPECT_EQ(std::vector<std::string>{"a"}, folder_entries(FIRST.folder() + "t"));
            EXPECT_EQ(std::vector<std::string>{"t"}, folder_entries(FIRST.folder()));
        }
        eject_medium();
    }
    for (size_t i = 0; i < levels.size(); i++)
        remove_tree("D:\\setup\\level" + std::to_string(i));
}

// Three installs that stop half way into one folder: killed mid-copy, ended
// by a fatal error, given up at a disk change. Each leaves the product not
// installed and its files in the log, which the next install continues; the
// install that completes is then uninstalled with every attempt's files.
TEST_P(Journey, InstallsThatStopHalfWayAreFinishedIntoTheirFolderAndUninstalledWhole)
{
    ASSERT_TRUE(MoveFile932("D:\\DirectX", "D:\\DirectX.off"));
    const int files = 60;
    write_test_medium(FIRST, files, 64 * 1024);
    for (const char *folder : {"D:\\setup\\extra", "D:\\setup\\more", "D:\\data2"}) {
        CreateDirectory932(folder, NULL);
        write_file(std::string(folder) + "\\one.bin", "one");
    }
    const std::string log_path = FIRST.folder() + "instlog.txt";
    // Each attempt's log begins with every line of the one before.
    std::vector<std::string> every_line;
    auto keeps_every_line = [&] {
        std::vector<std::string> now = read_lines(log_path);
        EXPECT_TRUE(now.size() >= every_line.size() && std::equal(every_line.begin(), every_line.end(), now.begin()))
            << now.size() << " lines after " << every_line.size();
        every_line = now;
    };
    auto next_start = [&](const char *list) {
        keeps_every_line();
        eject_medium();
        write_file("D:\\setup\\filelist0.txt", list);
        EXPECT_TRUE(insert_medium());
        HWND launcher = open_launcher();
        EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
        return launcher;
    };

    // Killed once a few files have been logged.
    ASSERT_TRUE(insert_medium());
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    start_install(launcher, FIRST);
    ASSERT_TRUE(wait_until([&] { return logged_files(read_lines(log_path)).size() >= 5; }));
    ASSERT_TRUE(TerminateProcess(launcher_, 1));
    ASSERT_EQ(1, exit_code_of(launcher_));
    ASSERT_LT(logged_files(read_lines(log_path)).size(), (size_t)files) << "the copy ended before the kill";

    // Ended by a fatal error after one folder was copied: a file stands where
    // the next target folder belongs (a medium the checker passes).
    write_file(FIRST.folder() + "blocked", "in the way");
    launcher = next_start("\"テスト\", 1, \"data\\game.exe\"\n\"extra\" -> \"extra\"\n\"more\" -> \"blocked\"\n");
    start_install(launcher, FIRST, true);
    expect_box("エラー", "ファイルのコピーが正常に行われませんでした。", IDOK);
    ASSERT_EQ(0, exit_code_of(launcher_));
    DeleteFile932((FIRST.folder() + "blocked").c_str());

    // Given up at a disk change after one folder was copied.
    launcher = next_start("\"テスト\", 1, \"data\\game.exe\"\n\"more\" -> \"more\"\n"
                          "change \"Disc 2\", \"disc2.txt\"\n\"data2\" -> \"two\"\n");
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
    EXPECT_FALSE(path_exists(FIRST.parent()));
    EXPECT_FALSE(key_exists(FIRST.brand_key()));
}

// Installs the uninstall must be able to undo: an empty brand, a Programs
// folder whose name code page 932 cannot hold, a game path of the longest
// length; and a log edited by hand. From the medium as a folder.
class Undo : public JourneyBase {
protected:
    void SetUp() override
    {
        kind_ = MediumKind::FOLDER;
        JourneyBase::SetUp();
        ASSERT_TRUE(MoveFile932("D:\\DirectX", "D:\\DirectX.off"));    // no DirectX question
    }

    void press_uninstall_and_confirm(HWND launcher, const Product &p)
    {
        ASSERT_TRUE(robot_press(launcher, 1003));
        expect_box("アンインストールの確認", std::string(p.caption) + "をアンインストールします。よろしいですか？", IDYES);
    }
};

std::string lines_text(const std::vector<std::string> &lines)
{
    std::string text;
    for (const std::string &line : lines)
        text += line + "\r\n";
    return text;
}

// bland "": the default folder is "C:\Program Files\" and the install folder
// "C:\Program Files\<title>\", recorded that way. A line added to the log by
// hand that the uninstall refuses keeps the log and the record, and the box
// names it; without it the uninstall leaves nothing of the install.
TEST_F(Undo, AnEmptyBrandInstallsBelowProgramFilesAndItsUninstallLeavesNothing)
{
    write_test_medium(NO_BRAND, 2, 10);
    HWND launcher = open_launcher(nullptr, NO_BRAND.caption);
    ASSERT_NE(nullptr, launcher);
    install(launcher, NO_BRAND);
    std::string value;
    ASSERT_TRUE(robot_read_hkcu(NO_BRAND.product_key().c_str(), "gamedir", &value));
    EXPECT_EQ("C:\\Program Files\\E2ENoBrand\\", text_of(value));
    const std::string log_path = NO_BRAND.folder() + "instlog.txt";
    const std::vector<std::string> log = read_lines(log_path);
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), ":" + NO_BRAND.folder()));
    EXPECT_EQ(3u, logged_files(log).size());      // two files and the shortcut

    const std::string elsewhere = "C:\\e2e-elsewhere.txt";
    write_file(elsewhere, "not the install's");
    std::vector<std::string> edited = log;
    edited.insert(edited.begin() + 2, elsewhere);
    write_file(log_path, lines_text(edited));
    press_uninstall_and_confirm(launcher, NO_BRAND);
    expect_box("アンインストール未完了",
               "\"" + elsewhere + "\"を削除できませんでした。インストールログとレジストリのインストール情報は"
               "残してあります。もう一度アンインストールするか、残ったものを手で削除してください。", IDOK);
    EXPECT_EQ(INSTALLED, buttons_of(launcher));
    EXPECT_EQ(edited, read_lines(log_path));
    EXPECT_TRUE(robot_read_hkcu(NO_BRAND.product_key().c_str(), "exepath", &value));
    EXPECT_TRUE(path_exists(elsewhere));
    for (const std::string &file : logged_files(log))
        EXPECT_FALSE(path_exists(file)) << file;

    write_file(log_path, lines_text(log));
    uninstall(launcher, NO_BRAND);
    expect_uninstalled(NO_BRAND, log);
    EXPECT_FALSE(path_exists(NO_BRAND.folder()));
    EXPECT_FALSE(key_exists("software\\E2ENoBrand"));
    EXPECT_FALSE(path_exists(std::string(PROGRAMS) + "\\" + NO_BRAND.maker));
    DeleteFile932(elsewhere.c_str());
}

// A user named 김민수: the Programs folder is reached by its short (8.3) name
// where Wine gives one, and the uninstall removes what went there; without
// one, a box says that no Start-menu entries were made.
TEST_F(Undo, AProgramsFolderBeyondCodePage932GetsTheShortcutsAndLosesThemAgain)
{
    const std::wstring user = L"C:\\users\\\uAE40\uBBFC\uC218";
    const std::wstring programs = user + L"\\Start Menu\\Programs";
    const std::wstring product_menu = programs + L"\\E2E\u5DE5\u623F";     // "E2E工房"
    for (const std::wstring &folder : {user, user + L"\\Start Menu", programs})
        CreateDirectoryW(folder.c_str(), NULL);
    ProgramsFolder menu(programs);
    write_test_medium(FIRST, 1, 10);
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    wchar_t short_name[MAX_PATH];
    const bool has_short_name = GetShortPathNameW(programs.c_str(), short_name, MAX_PATH) != 0;
    RecordProperty("programs_short_name", has_short_name ? "yes" : "no");
    if (!has_short_name) {
        HWND options = start_install(launcher, FIRST);
        ASSERT_TRUE(robot_wait_gone(options, WAIT_MS));
        expect_box("インストールエラー",
                   "スタートメニューのフォルダ名に、このインストーラでは使えない文字が含まれているため、"
                   "スタートメニューにショートカットを作成しませんでした。", IDOK);
        EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == INSTALLED; }));
    } else {
        install(launcher, FIRST);
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(product_menu.c_str()));
        const std::vector<std::string> files = logged_files(read_lines(FIRST.folder() + "instlog.txt"));
        char short_932[MAX_PATH];
        ASSERT_EQ(1, to_cp932(short_name, short_932, sizeof short_932));
        EXPECT_NE(files.end(), std::find(files.begin(), files.end(),
                                         std::string(short_932) + "\\E2E工房\\E2Eテスト製品\\E2EGame.lnk"));
    }
    uninstall(launcher, FIRST);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(product_menu.c_str()));
    EXPECT_FALSE(key_exists(FIRST.product_key()));
    for (const std::wstring &folder : {programs, user + L"\\Start Menu", user})
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// The file list takes a program path up to 259 bytes with the install
// folder: the install shows as installed after a restart, runs the game and
// uninstalls.
TEST_F(Undo, AGamePathOf259BytesShowsInstalledAfterARestartRunsAndUninstalls)
{
    const std::string name = std::string(220, 'g') + ".exe";
    const std::string program = "d\\" + name;
    ASSERT_EQ(259u, (FIRST.folder() + program).size());
    write_file("D:\\setup\\install.txt", FIRST.settings());
    write_file("D:\\setup\\filelist0.txt", "\"長い名前\", 1, \"" + program + "\"\n\"d\" -> \"d\"\n");
    DeleteFile932("D:\\setup\\filelist1.txt");
    remove_tree("D:\\setup\\d");
    ASSERT_TRUE(CreateDirectory932("D:\\setup\\d", NULL));
    ASSERT_TRUE(CopyFile932((build_folder() + "\\testgame.exe").c_str(), ("D:\\setup\\" + program).c_str(), FALSE));
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    install(launcher, FIRST);
    const std::vector<std::string> log = read_lines(FIRST.folder() + "instlog.txt");
    robot_close(launcher);
    ASSERT_EQ(0, exit_code_of(launcher_));

    launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    EXPECT_EQ(INSTALLED, buttons_of(launcher));
    ASSERT_TRUE(robot_press(launcher, 1002));
    EXPECT_EQ(0, exit_code_of(launcher_));
    EXPECT_NE(std::string::npos, read_file_when(FIRST.folder() + "testgame.log", "cwd=", WAIT_MS)
                                     .find("cwd=[C:\\Program Files\\E2ESoft\\E2EGame]"));

    launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    uninstall(launcher, FIRST);
    expect_uninstalled(FIRST, log, {FIRST.folder() + "testgame.log"});
    remove_tree("D:\\setup\\d");
}

// The disc image alone, and a medium of two discs swapped in the drive.
class CdDrive : public JourneyBase {
protected:
    void SetUp() override
    {
        kind_ = MediumKind::IMAGE;
        JourneyBase::SetUp();
    }

    // Disc 1, laid out on D:, holds the program and a list that copies its
    // "data", asks for disc 2 and copies that disc's "データ"; disc 2 holds
    // the check file and that folder. Both are mastered; disc 1 goes in.
    void insert_two_discs()
    {
        write_test_medium(FIRST, 1, 10);
        write_file("D:\\setup\\filelist0.txt",
                   "\"二枚組\", 1, \"data\\file0.bin\"\n\"data\" -> \"data\"\n"
                   "change \"ディスク2\", \"disk2.txt\"\n\"データ\" -> \"データ\"\n");
        const std::string disc2 = work_folder() + "\\disc2";
        remove_tree(disc2);
        CreateDirectory932(disc2.c_str(), NULL);
        CreateDirectory932((disc2 + "\\データ").c_str(), NULL);
        write_file(disc2 + "\\disk2.txt", "2");
        write_file(disc2 + "\\データ\\説明書.txt", "二枚目");
        ASSERT_EQ("", cd_drive({"master", "D:\\setup", disc_image("disc1"), disc2, disc_image("disc2")}));
        ASSERT_EQ("", cd_drive({"insert", disc_image("disc1")}));
        ASSERT_TRUE(disc_in_drive());
    }

    // Starts the install; the prompt for disc 2 once disc 1's copy is done.
    RobotBox disc_two_prompt(HWND launcher)
    {
        HWND options = start_install(launcher, FIRST);
        RobotBox box;
        EXPECT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("ドライブ入替確認", box.caption);
        EXPECT_EQ("ドライブDに「ディスク2」を入れてＯＫを押してください。", box.text);
        EXPECT_EQ(options, box.owner);
        EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), box.buttons);
        EXPECT_TRUE(path_exists((FIRST.folder() + "data\\file0.bin").c_str()));
        return box;
    }

    // Answers `box` and returns the box that comes next.
    RobotBox answer_and_next(const RobotBox &box, int answer)
    {
        robot_answer(box, answer);
        EXPECT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        RobotBox next;
        EXPECT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &next));
        return next;
    }
};

TEST_F(CdDrive, TheDiscIsAReadOnlyCdRomDrive)
{
    write_test_medium(FIRST, 1, 10);
    ASSERT_TRUE(insert_medium());
    EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("D:\\"));
    EXPECT_NE(0u, GetFileAttributes932("D:\\setup\\installer.exe") & FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFile932("D:\\setup\\new.txt", GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_FALSE(CreateDirectory932("D:\\setup\\new", NULL));
    EXPECT_FALSE(DeleteFile932("D:\\setup\\install.txt"));
    EXPECT_TRUE(path_exists("D:\\setup\\install.txt"));
}

TEST_F(CdDrive, TheSecondDiscPutInAtThePromptCompletesTheInstall)
{
    ASSERT_NO_FATAL_FAILURE(insert_two_discs());
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    RobotBox prompt = disc_two_prompt(launcher);
    ASSERT_EQ("", cd_drive({"insert", disc_image("disc2")}));
    ASSERT_TRUE(path_exists("D:\\disk2.txt"));
    ASSERT_TRUE(disc_in_drive());
    robot_answer(prompt, IDOK);
    EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == INSTALLED; }));
    const std::string from_disc_two = FIRST.folder() + "データ\\説明書.txt";
    EXPECT_EQ("二枚目", read_file(from_disc_two));
    std::vector<std::string> files = logged_files(read_lines(FIRST.folder() + "instlog.txt"));
    EXPECT_NE(files.end(), std::find(files.begin(), files.end(), from_disc_two));
    RobotBox box;   // disc 2 holds no DirectX setup: nothing more is asked
    EXPECT_FALSE(robot_wait_box(launcher_pid_, 500, &box)) << box.caption;
}

TEST_F(CdDrive, WithTheFirstDiscStillInThePromptComesAgainAndCancelStops)
{
    ASSERT_NO_FATAL_FAILURE(insert_two_discs());
    HWND launcher = open_launcher();
    ASSERT_NE(nullptr, launcher);
    RobotBox prompt = disc_two_prompt(launcher);
    RobotBox again = answer_and_next(prompt, IDOK);
    EXPECT_EQ(prompt.caption, again.caption);
    EXPECT_EQ(prompt.text, again.text);

    // Cancel asks whether to stop: No asks for the disc again, Yes stops.
    RobotBox confirm = answer_and_next(again, IDCANCEL);
    EXPECT_EQ("インストール中断確認", confirm.caption);
    EXPECT_EQ("インストールを中断しますか？", confirm.text);
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), confirm.buttons);
    again = answer_and_next(confirm, IDNO);
    EXPECT_EQ(prompt.text, again.text);
    confirm = answer_and_next(again, IDCANCEL);
    EXPECT_EQ("インストールを中断しますか？", confirm.text);
    RobotBox fatal = answer_and_next(confirm, IDYES);
    EXPECT_EQ("エラー", fatal.caption);
    EXPECT_EQ("ファイルのコピーが正常に行われませんでした。", fatal.text);
    robot_answer(fatal, IDOK);
    EXPECT_EQ(0, exit_code_of(launcher_));
    EXPECT_FALSE(path_exists((FIRST.folder() + "データ").c_str()));
}

// Another program (a virus scanner, the search indexer, Wine's menu builder)
// may hold a new shortcut or an installed file open for a moment, letting
// others read and write it but not delete it. The uninstall meets both held
// and still removes everything, and says so.
class HeldOpen : public JourneyBase {};

TEST_F(HeldOpen, AShortcutAndAFileHeldForHalfASecondAreRemovedAllTheSame)
{
    ASSERT_TRUE(MoveFile932("D:\\DirectX", "D:\\DirectX.off"));   // no DirectX question
    write_test_medium(FIRST, 2, 100);
    HWND launcher = open_launcher(nullptr, FIRST.caption);
    ASSERT_NE(nullptr, launcher);
    install(launcher, FIRST);
    const std::vector<std::string> log = read_lines(FIRST.folder() + "instlog.txt");
    std::vector<HANDLE> held;
    for (const std::string &path : {FIRST.start_menu() + "\\E2EGame.lnk", FIRST.folder() + "data\\file1.bin"}) {
        held.push_back(CreateFile932(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                     OPEN_EXISTING, 0, NULL));
        ASSERT_NE(INVALID_HANDLE_VALUE, held.back()) << path;
    }
    // Let go half a second after the uninstall was confirmed.
    std::thread release;
    uninstall(launcher, FIRST, [&] {
        release = std::thread([&] {
            Sleep(500);
            for (HANDLE handle : held)
                CloseHandle(handle);
        });
    });
    if (release.joinable())
        release.join();
    else
        for (HANDLE handle : held)
            CloseHandle(handle);
    expect_uninstalled(FIRST, log);
    EXPECT_FALSE(path_exists(FIRST.start_menu().c_str()));
    EXPECT_FALSE(path_exists(FIRST.parent().c_str()));
}

INSTANTIATE_TEST_SUITE_P(From, Journey, testing::Values(MediumKind::FOLDER, MediumKind::IMAGE),
                         [](const testing::TestParamInfo<MediumKind> &info) {
                             return std::string(info.param == MediumKind::FOLDER ? "Folder" : "Image");
                         });

}  // namespace
