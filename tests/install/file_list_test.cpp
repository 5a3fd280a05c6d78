// The file list run through the real folder copy, dialogs and message boxes
// under Wine, from a medium mapped to drive M: (the program's folder M:\setup\).
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "boundary/open_file.h"
#include "copy_fixture.h"
#include "install/file_list.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

using namespace copy_fixture;

namespace {

const char disk_caption[] = "ドライブ入替確認";
const char disk_prompt[] = "ドライブMに「ディスク２」を入れてＯＫを押してください。";

// Creates a file when the n-th message box of the run appears, before the
// robot answers it (a hook set after the robot's runs first).
struct AppearOnBox {
    static AppearOnBox *&current() { static AppearOnBox *a; return a; }
    int box_number;
    std::string path;
    int seen = 0;
    HHOOK hook;

    static LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam)
    {
        AppearOnBox *a = current();
        if (code == HCBT_ACTIVATE && a && GetDlgItem((HWND)wparam, 0xFFFF) && ++a->seen == a->box_number)
            write_file(a->path, "disk 2");
        return CallNextHookEx(NULL, code, wparam, lparam);
    }
    AppearOnBox(int n, const std::string &file) : box_number(n), path(file)
    {
        current() = this;
        hook = SetWindowsHookExA(WH_CBT, on_cbt, NULL, GetCurrentThreadId());
    }
    ~AppearOnBox()
    {
        UnhookWindowsHookEx(hook);
        current() = nullptr;
    }
};

class FileList : public testing::Test {
protected:
    void SetUp() override
    {
        root = fresh_folder();
        prepare_state(root);
        medium = root + "medium\\";
        for (const char *folder : {"", "setup", "setup\\a", "setup\\b", "disk2", "b", "c"})
            CreateDirectory932((medium + folder).c_str(), NULL);
        write_file(medium + "setup\\a\\a1.txt", "a1");
        write_file(medium + "setup\\b\\b1.txt", "setup b1");
        write_file(medium + "b\\b1.txt", "root b1");
        write_file(medium + "c\\c1.txt", "c1");
        map_drive('m', medium);
        ASSERT_TRUE(path_exists("M:\\setup\\a\\a1.txt"));
        strcpy(install_state.source_dir, "m:\\setup\\");
        install = root + "install\\";
        CreateDirectory932(install.c_str(), NULL);
        snprintf(install_state.install_dir, sizeof install_state.install_dir, "%s", install.c_str());
        owner = CreateWindowA("STATIC", "owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    }
    void TearDown() override
    {
        DestroyWindow(owner);
        unmap_drive('m');
    }

    int run(const std::string &text)
    {
        snprintf(FileListText, sizeof FileListText, "%s", text.c_str());
        return run_file_list(owner);
    }
    std::vector<std::string> log() { return read_lines(install_state.install_log_path); }

    void expect_box(const BoxRecord &box, const char *caption, const char *text, std::vector<int> buttons)
    {
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(owner, box.owner);
        std::sort(buttons.begin(), buttons.end());
        std::vector<int> seen = box.button_ids;
        std::sort(seen.begin(), seen.end());
        EXPECT_EQ(buttons, seen);
    }

    std::string root, medium, install;
    HWND owner;
};

const std::string header = "\"標準\", 10, \"bin\\game.exe\"\n";

TEST_F(FileList, ADiskChangeAsksUntilTheCheckFileIsThereThenEveryCopyTakesTheDriveRoot)
{
    BoxRobot robot;
    robot.answer({IDOK, IDOK});
    AppearOnBox disk2(2, medium + "disk2\\check.dat");
    EXPECT_EQ(1, run(header + "\"a\" -> \"a\"\nchange \"ディスク２\", \"disk2\\check.dat\"\n"
                              "\"b\" -> \"b\"\n\"c\" -> \"x\\y\"\n"));
    ASSERT_EQ(2u, robot.boxes.size());
    expect_box(robot.boxes[0], disk_caption, disk_prompt, {IDOK, IDCANCEL});
    expect_box(robot.boxes[1], disk_caption, disk_prompt, {IDOK, IDCANCEL});
    EXPECT_STREQ("m:\\", install_state.source_dir);
    EXPECT_EQ(install + "bin\\game.exe", install_state.exe_path);
    EXPECT_EQ((std::vector<std::string>{":" + install + "a\\", install + "a\\a1.txt", ":" + install + "b\\",
                                        install + "b\\b1.txt", ":" + install + "x\\", ":" + install + "x\\y\\",
                                        install + "x\\y\\c1.txt"}),
              log());
    EXPECT_EQ("root b1", read_file(install + "b\\b1.txt"));
    EXPECT_EQ("c1", read_file(install + "x\\y\\c1.txt"));
}

TEST_F(FileList, CancelThenYesStopsWithZeroBeforeTheCopy)
{
    BoxRobot robot;
    robot.answer({IDCANCEL, IDYES});
    EXPECT_EQ(0, run(header + "change \"ディスク２\", \"disk2\\check.dat\" \"b\" -> \"b\""));
    ASSERT_EQ(2u, robot.boxes.size());
    expect_box(robot.boxes[0], disk_caption, disk_prompt, {IDOK, IDCANCEL});
    expect_box(robot.boxes[1], "インストール中断確認", "インストールを中断しますか？", {IDYES, IDNO});
    EXPECT_TRUE(log().empty());
}

TEST_F(FileList, CancelThenNoAsksAgain)
{
    write_file(medium + "disk2\\check.dat", "present");
    BoxRobot robot;
    robot.answer({IDCANCEL, IDNO, IDOK});
    EXPECT_EQ(1, run(header + "change \"ディスク２\", \"disk2\" \"b\" -> \"b\""));
    ASSERT_EQ(3u, robot.boxes.size());
    EXPECT_EQ(disk_prompt, robot.boxes[2].text);
    EXPECT_EQ((std::vector<std::string>{":" + install + "b\\", install + "b\\b1.txt"}), log());
}

TEST_F(FileList, TheDiskChangeClosesTheStreamsThisProcessHasOpen)
{
    std::string held = medium + "held.txt";
    write_file(held, "open");
    FILE *stream = open_file(held.c_str(), "rb");
    ASSERT_NE(nullptr, stream);
    EXPECT_FALSE(DeleteFile932(held.c_str()));            // held open
    write_file(medium + "disk2\\check.dat", "present");
    BoxRobot robot;
    EXPECT_EQ(1, run(header + "change \"ディスク２\", \"disk2\\check.dat\" \"b\" -> \"b\""));
    EXPECT_TRUE(DeleteFile932(held.c_str()));             // closed by the change
}

TEST_F(FileList, TwoStatementsIntoOneNewFolderLogItOnce)
{
    EXPECT_EQ(1, run(header + "\"a\" -> \"new\\dir\"\n\"b\" -> \"new\\dir\""));
    EXPECT_EQ((std::vector<std::string>{":" + install + "new\\", ":" + install + "new\\dir\\",
                                        install + "new\\dir\\a1.txt",
                                        install + "new\\dir\\b1.txt"}),
              log());
    EXPECT_EQ("setup b1", read_file(install + "new\\dir\\b1.txt"));
}

TEST_F(FileList, AFailedFolderCopyStopsTheRestWithZero)
{
    BoxRobot robot;
    robot.on_dialog = [&](HWND dialog) {
        if (robot.dialogs.size() == 2)
            PostMessageA(dialog, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(0, run(header + "\"a\" -> \"1\" \"b\" -> \"2\" \"a\" -> \"3\""));
    EXPECT_EQ((std::vector<std::string>{":" + install + "1\\", install + "1\\a1.txt", ":" + install + "2\\",
                                        install + "2\\b1.txt"}),
              log());
    EXPECT_FALSE(path_exists(install + "3"));
}

TEST_F(FileList, EveryRunStartsWithEmptyShortcutSlots)
{
    EXPECT_EQ(1, run(header + "shortcut \"一\",\"1.txt\" shortcut \"二\",\"2.txt\" shortcut \"三\",\"3.txt\""));
    EXPECT_STREQ("三", install_state.shortcut_names[2]);
    EXPECT_EQ(1, run(header + "shortcut \"説明書\",\"doc\\readme.txt\"\nEND"));
    EXPECT_STREQ("説明書", install_state.shortcut_names[0]);
    EXPECT_STREQ("doc\\readme.txt", install_state.shortcut_targets[0]);
    for (int i = 1; i < SHORTCUT_SLOTS; i++) {
        EXPECT_STREQ("", install_state.shortcut_names[i]) << i;
        EXPECT_STREQ("", install_state.shortcut_targets[i]) << i;
    }
}

TEST_F(FileList, AnUnknownFirstByteEndsTheListWithOneAndReadsNoFurther)
{
    BoxRobot robot;
    EXPECT_EQ(1, run(header + "\"a\" -> \"a\"\nStop \"b\" -> \"b\" \"unterminated"));
    EXPECT_EQ((std::vector<std::string>{":" + install + "a\\", install + "a\\a1.txt"}), log());
    EXPECT_TRUE(robot.boxes.empty());
}

TEST_F(FileList, ErrorsEndWithTheirUnownedBoxes)
{
    std::string five;
    for (int i = 0; i < 5; i++)
        five += "shortcut \"n\",\"t\"\n";
    struct { std::string text; const char *message; } cases[] = {
        {"\"a\" -> \"a\"", "コンマが来るべきところにコンマがありません"},
        {header + five + "shortcut \"n\",\"t\"", "ショートカットは５つまでしか作れません。"},
        {header + five + "sortcut", "ショートカットは５つまでしか作れません。"},
        {header + "shortcuts \"n\",\"t\"", "ファイルリストにエラーがあります。"},
        {header + "shortcut\"n\",\"t\"", "ファイルリストにエラーがあります。"},
        {header + "change2 \"ディスク２\",\"x\" \"a\"->\"a\"", "ファイルリストにエラーがあります。"},
        {header + "change\"ディスク２\",\"x\" \"a\"->\"a\"", "ファイルリストにエラーがあります。"},
        {header + "change \"ディスク２\",\"x\"", "文字列が来るべきところに文字列が来ませんでした。"},
    };
    write_file(medium + "x", "present");
    for (auto &c : cases)
        EXPECT_EXIT(
            {
                BoxRobot robot;
                run(c.text);
            },
            testing::ExitedWithCode(0), fatal_pattern(c.message) + "owner=none")
            << c.message;
}

}  // namespace
