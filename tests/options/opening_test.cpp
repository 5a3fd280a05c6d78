// Opening the options dialog: where it stands, its title, what it learns
// from the installer's path, the default folder, the comment and the option
// list; the keys and commands it must ignore; the close box.
#include "options_support.h"
#include "support/cp932_calls.h"

namespace {

using namespace options_bench;

class OptionsOpening : public testing::Test {
protected:
    void SetUp() override { fill_launcher_state(medium.path()); }
    MediumFolder medium;
};

INT_PTR CALLBACK plain_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(OptionsOpening, ShowsBrandFolderOnTheWindowsDriveUnderItsTitleCentredOnePixelWider)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    HWND raw = CreateDialogParam932(GetModuleHandleA(NULL), "IDD_INSTSUBDLG", NULL, plain_proc, 0);
    ASSERT_NE(nullptr, raw);
    RECT raw_rect;
    GetWindowRect(raw, &raw_rect);
    DestroyWindow(raw);

    char windows[MAX_PATH];
    GetWindowsDirectory932(windows, sizeof windows);
    ASSERT_STREQ("C:\\windows", windows);

    std::string folder, title;
    RECT rect{};
    HWND focus = NULL, dialog_seen = NULL, start = NULL;
    DialogScript script({[&](HWND dialog) {
        dialog_seen = dialog;
        start = GetDlgItem(dialog, ID_OPTIONS_START);
        folder = control_text(dialog, ID_OPTIONS_FOLDER);
        title = window_title(dialog);
        GetWindowRect(dialog, &rect);
        focus = GetFocus();
        close_box(dialog);
    }});
    EXPECT_EQ(0, open_options_dialog());
    EXPECT_EQ("C:\\Program Files\\Brand\\", folder);
    EXPECT_STREQ("C:\\Program Files\\Brand\\", install_state.install_dir);
    EXPECT_EQ("Captionのインストール", title);
    EXPECT_EQ(dialog_seen, (HWND)install_state.options_window);
    EXPECT_EQ(start, focus) << "the start button has the focus";

    int width = raw_rect.right - raw_rect.left + 1;
    int height = raw_rect.bottom - raw_rect.top + 1;
    EXPECT_EQ(width, rect.right - rect.left);
    EXPECT_EQ(height, rect.bottom - rect.top);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - width) / 2, rect.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - height) / 2, rect.top);
}

TEST_F(OptionsOpening, DrivesAndFoldersOfTheInstallerPath)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    struct Case {
        const char *installer_path, *drive, *dir;
    } cases[] = {
        {"D:\\setup\\installer.exe", "D:\\", "D:\\setup\\"},
        {"D:\\installer.exe", "D:\\", "D:\\"},
        {"\\\\server\\share\\installer.exe", "\\\\server\\", "\\\\server\\share\\"},
        {"D:\\ソフト\\installer.exe", "D:\\", "D:\\ソフト\\"},
        // The second byte of '表' is the backslash code: it is no separator.
        {"D:\\setup\\表.exe", "D:\\", "D:\\setup\\"},
        {"installer.exe", "installer.exe\\", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.installer_path);
        SET_FIELD(installer_path, c.installer_path);
        DialogScript script({[](HWND dialog) { close_box(dialog); }});
        EXPECT_EQ(0, open_options_dialog());
        EXPECT_STREQ(c.drive, install_state.source_drive);
        EXPECT_STREQ(c.dir, install_state.source_dir);
    }
}

TEST_F(OptionsOpening, CommentShowsItsFirst50000BytesWithCrLfKeptAndStaysEmptyWhenMissing)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    std::string comment;
    for (int i = 0; i < 6000; i++)
        comment += "コメント\r\n";             // 10 bytes a line: 60,000 bytes
    struct Case {
        bool present;
        std::string expected;
    } cases[] = {{true, comment.substr(0, 50000)}, {false, ""}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.present ? "60,000 bytes" : "missing");
        if (c.present)
            medium.put("comment.txt", comment);
        else
            DeleteFile932("comment.txt");
        std::string shown;
        DialogScript script({[&](HWND dialog) {
            shown = control_text(dialog, ID_OPTIONS_COMMENT);
            close_box(dialog);
        }});
        EXPECT_EQ(0, open_options_dialog());
        EXPECT_EQ(c.expected.size(), shown.size());
        EXPECT_TRUE(c.expected == shown);
    }
}

struct OptionCase {
    const char *name;
    std::vector<std::pair<int, std::string>> lists;   // number, content
    std::vector<std::string> items;
};

TEST_F(OptionsOpening, OneOptionPerListUpToTheFirstMissingWithSizesByAtoi)
{
    std::vector<std::pair<int, std::string>> eleven;
    std::vector<std::string> ten_items;
    for (int n = 0; n <= 10; n++) {
        std::string name = "オプション" + std::to_string(n);
        eleven.push_back({n, header_list(name, std::to_string(n * 100))});
        if (n < 10)
            ten_items.push_back(name + " (" + std::to_string(n * 100) + "Mb必要)");
    }
    const OptionCase cases[] = {
        {"lists 0 and 2, 1 missing",
         {{0, header_list("標準", "650")}, {2, header_list("最小", "100")}},
         {"標準 (650Mb必要)"}},
        {"lists 0 to 10", eleven, ten_items},
        {"size words by atoi",
         {{0, header_list("a", "650MB")}, {1, header_list("b", "abc")}, {2, header_list("c", "007")},
          {3, header_list("d", "-5")}, {4, header_list("e", "99999999999")}},
         {"a (650Mb必要)", "b (0Mb必要)", "c (7Mb必要)", "d (-5Mb必要)", "e (2147483647Mb必要)"}},
        {"comments and blanks before the header, CR LF line ends",
         {{0, "; option one\r\n\r\n  \"標準\"  ,\t650 , \"a.exe\"\r\n"}},
         {"標準 (650Mb必要)"}},
    };
    for (const OptionCase &c : cases) {
        SCOPED_TRACE(c.name);
        for (int n = 0; n <= 10; n++)
            DeleteFile932(("filelist" + std::to_string(n) + ".txt").c_str());
        for (const auto &list : c.lists)
            medium.put("filelist" + std::to_string(list.first) + ".txt", list.second);
        std::vector<std::string> items;
        LRESULT selected = -1;
        DialogScript script({[&](HWND dialog) {
            items = option_items(dialog);
            selected = SendDlgItemMessageA(dialog, ID_OPTIONS_LIST, CB_GETCURSEL, 0, 0);
            close_box(dialog);
        }});
        EXPECT_EQ(0, open_options_dialog());
        EXPECT_EQ(c.items, items);
        EXPECT_EQ(0, selected);
    }
}

TEST_F(OptionsOpening, EscapeEnterAndOtherCommandsLeaveItOpenTheCloseBoxEndsItWithZero)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    BoxRobot robot;
    bool open_after_keys = false;
    DialogScript script({
        [](HWND dialog) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            PostMessageA(dialog, WM_COMMAND, ID_OPTIONS_LIST, 0);
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_OPTIONS_START, BN_SETFOCUS), 0);
        },
        [&](HWND dialog) {
            open_after_keys = IsWindowVisible(dialog) != FALSE;
            close_box(dialog);
        },
    });
    EXPECT_EQ(0, open_options_dialog());
    EXPECT_TRUE(open_after_keys);
    EXPECT_TRUE(robot.boxes.empty());
    EXPECT_FALSE(path_exists("C:\\Program Files\\Brand\\Title\\"));
}

// ---- the ends of the program while opening ----

void open_and_die()
{
    BoxRobot robot;
    open_options_dialog();
}

TEST_F(OptionsOpening, MissingFirstListEndsTheProgram)
{
    medium.put("filelist1.txt", header_list("標準", "650"));
    EXPECT_EXIT(open_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("filelist0.txtがありません。") + "owner=none");
}

struct BrokenCase {
    const char *name;
    const char *list1;
    const char *message;
};

class OptionsBrokenHeader : public OptionsOpening,
                            public testing::WithParamInterface<BrokenCase> {};

TEST_P(OptionsBrokenHeader, EndsTheProgramWhenTheDialogOpens)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    medium.put("filelist1.txt", GetParam().list1);
    EXPECT_EXIT(open_and_die(), testing::ExitedWithCode(0),
                fatal_pattern(GetParam().message) + "owner=none");
}

const std::string long_name(250, 'n');
const std::string long_header = header_list(long_name, "650");

INSTANTIATE_TEST_SUITE_P(
    Lists, OptionsBrokenHeader,
    testing::Values(
        BrokenCase{"Empty", "", "文字列が来るべきところに文字列が来ませんでした。"},
        BrokenCase{"WordFirst", "standard, 650, \"a.exe\"\n",
                   "文字列が来るべきところに文字列が来ませんでした。"},
        BrokenCase{"NoComma", "\"標準\" 650, \"a.exe\"\n", "コンマが来るべきところにコンマがありません"},
        BrokenCase{"OpenString", "\"標準\n", "文字列が２行に渡るか途中で終わっています。"},
        // 250 bytes of name and " (650Mb必要)" do not fit an item of 259 bytes.
        BrokenCase{"ItemTooLong", long_header.c_str(), "filelist1.txtのオプション名が長すぎます。"}),
    [](const testing::TestParamInfo<BrokenCase> &info) { return std::string(info.param.name); });

}  // namespace

namespace {

using namespace options_bench;

// Values from start-up and install.txt too long for what the dialog forms
// from them end the program before the dialog shows anything.
TEST_F(OptionsOpening, ADriveOrDefaultFolderTooLongEndsTheProgram)
{
    medium.put("filelist0.txt", header_list("標準", "650"));
    // source_drive holds 100 bytes: a server name of 120 does not fit.
    SET_FIELD(installer_path, "\\\\" + std::string(120, 's') + "\\share\\installer.exe");
    EXPECT_EXIT(open_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("インストーラのあるドライブの名前が長すぎます。") + "owner=none");

    fill_launcher_state(medium.path(), std::string(250, 'b'));
    EXPECT_EXIT(open_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("インストール先のフォルダ名が長すぎます。ブランド名を短くしてください。")
                    + "owner=none");
}

}  // namespace
