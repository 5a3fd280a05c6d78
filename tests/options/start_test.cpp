// The start button: the absolute-path check, the two questions, the folder
// creation, the chosen list, the log, the file list run and its fatal end;
// paths too long for their buffers; and no second install while one runs.
#include "options_support.h"
#include "robot/ui_robot.h"
#include "support/cp932_calls.h"

namespace {

using namespace options_bench;

const char kInstallFolder[] = "C:\\Program Files\\Brand\\Title\\";

std::function<int(HWND)> fake_run;
int fake_runs = 0;

int fake_runner(HWND owner)
{
    fake_runs++;
    return fake_run ? fake_run(owner) : 1;
}

class OptionsStart : public testing::Test {
protected:
    void SetUp() override
    {
        if (!in_death_test_child())
            remove_tree("C:\\Program Files\\Brand");
        fill_launcher_state(medium.path());
        medium.put("filelist0.txt", header_list("標準", "650"));
        fake_run = nullptr;
        fake_runs = 0;
        options_file_list_runner = fake_runner;
    }
    void TearDown() override
    {
        options_file_list_runner = run_file_list;
        remove_tree("C:\\Program Files\\Brand");
        remove_record("Brand");
    }

    // After every start that returned, the start and picker buttons and the
    // launcher are usable again.
    static void expect_usable(HWND dialog, HWND launcher)
    {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ID_OPTIONS_START)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, ID_OPTIONS_PICKER)));
        EXPECT_TRUE(IsWindowEnabled(launcher));
        EXPECT_FALSE(options_start_running());
    }

    // Puts `folder` into the folder box and presses start; the dialog, still
    // usable afterwards, is then closed. Returns the dialog.
    static HWND start_with_folder(const std::wstring &folder, const LauncherStandIn &launcher)
    {
        HWND seen = NULL;
        DialogScript script({
            [&](HWND dialog) {
                seen = dialog;
                SetDlgItemTextW(dialog, ID_OPTIONS_FOLDER, folder.c_str());
                press(dialog, ID_OPTIONS_START);
            },
            [&](HWND dialog) {
                expect_usable(dialog, launcher.window());
                close_box(dialog);
            },
        });
        EXPECT_EQ(0, open_options_dialog());
        return seen;
    }

    MediumFolder medium;
};

void expect_box(const BoxRecord &box, HWND owner, const std::string &caption, const std::string &text,
                std::vector<int> buttons)
{
    EXPECT_EQ(owner, box.owner);
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(buttons, box.button_ids);
}

TEST_F(OptionsStart, AFolderWithoutDriveColonIsRefusedAndTheDialogStays)
{
    const char *folders[] = {"Program Files\\Brand\\", "\\\\server\\share\\", ""};
    LauncherStandIn launcher;
    for (const char *folder : folders) {
        SCOPED_TRACE(folder);
        BoxRobot robot;
        bool stayed = false;
        HWND seen = NULL;
        DialogScript script({
            [&](HWND dialog) {
                seen = dialog;
                SetDlgItemText932(dialog, ID_OPTIONS_FOLDER, folder);
                press(dialog, ID_OPTIONS_START);
            },
            [&](HWND dialog) {
                stayed = IsWindowVisible(dialog) != FALSE;
                expect_usable(dialog, launcher.window());
                close_box(dialog);
            },
        });
        EXPECT_EQ(0, open_options_dialog());
        EXPECT_TRUE(stayed);
        ASSERT_EQ(1u, robot.boxes.size());
        expect_box(robot.boxes[0], seen, "インストールエラー", "インストール先は絶対パスで指定してください。",
                   {IDOK});
        EXPECT_EQ(0, fake_runs);
    }
}

TEST_F(OptionsStart, ATypedFolderWithACharacterBeyondCodePage932IsRefusedAndNothingIsCreated)
{
    const wchar_t parent[] = L"C:\\Caf\u00e9";
    RemoveDirectoryW(parent);
    LauncherStandIn launcher;
    BoxRobot robot;
    HWND seen = start_with_folder(L"C:\\Caf\u00e9\\", launcher);
    ASSERT_EQ(1u, robot.boxes.size());
    expect_box(robot.boxes[0], seen, "インストールエラー",
               "インストール先のフォルダ名に、このインストーラでは使えない文字が含まれています。"
               "別のフォルダを選んでください。",
               {IDOK});
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(parent)) << "nothing is created";
    EXPECT_EQ(0, fake_runs);
}

TEST_F(OptionsStart, DecliningEitherQuestionCreatesNothingAndTheDialogStays)
{
    struct Case {
        bool folder_exists;
        const char *caption;
        const char *text;
    } cases[] = {
        {true, "インストールフォルダ確認",
         "フォルダ\"C:\\Program Files\\Brand\\Title\\\"にインストールします。よろしいですか？"},
        {false, "インストールフォルダ作成確認",
         "フォルダ\"C:\\Program Files\\Brand\\Title\\\"を作成します。よろしいですか？"},
    };
    LauncherStandIn launcher;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        remove_tree("C:\\Program Files\\Brand");
        if (c.folder_exists) {
            ASSERT_TRUE(CreateDirectory932("C:\\Program Files\\Brand", NULL)
                        && CreateDirectory932(kInstallFolder, NULL));
        }
        BoxRobot robot;
        robot.answer(IDNO);
        bool launcher_enabled_at_question = true;
        ActivationWatch watch([&](HWND box) {
            if (box != (HWND)install_state.options_window)
                launcher_enabled_at_question = IsWindowEnabled(launcher.window());
        });
        HWND seen = NULL;
        DialogScript script({
            [&](HWND dialog) {
                seen = dialog;
                press(dialog, ID_OPTIONS_START);
            },
            [&](HWND dialog) {
                expect_usable(dialog, launcher.window());
                EXPECT_STREQ("C:\\Program Files\\Brand\\", install_state.install_dir);
                close_box(dialog);
            },
        });
        EXPECT_EQ(0, open_options_dialog());
        ASSERT_EQ(1u, robot.boxes.size());
        expect_box(robot.boxes[0], seen, c.caption, c.text, {IDYES, IDNO});
        EXPECT_FALSE(launcher_enabled_at_question) << "the launcher is blocked from the first question on";
        EXPECT_EQ(c.folder_exists, path_exists(kInstallFolder));
        EXPECT_FALSE(path_exists(c.folder_exists ? std::string(kInstallFolder) + "instlog.txt"
                                            : std::string("C:\\Program Files\\Brand")));
        EXPECT_EQ(0, fake_runs);
        EXPECT_EQ('\0', install_state.option_digit[0]);
    }
}

TEST_F(OptionsStart, AFolderThatCannotBeCreatedIsReportedAndTheDialogStays)
{
    // A file where a folder of the path should be: the folder below it
    // cannot be made.
    medium.put("blocker", "not a folder");
    const std::string folder = medium.path() + "blocker\\";
    LauncherStandIn launcher;
    BoxRobot robot;
    robot.answer({IDYES, IDOK});
    HWND seen = start_with_folder(Wide(folder.c_str()).text(), launcher);
    ASSERT_EQ(2u, robot.boxes.size());
    expect_box(robot.boxes[0], seen, "インストールフォルダ作成確認",
               "フォルダ\"" + folder + "Title\\\"を作成します。よろしいですか？", {IDYES, IDNO});
    expect_box(robot.boxes[1], seen, "インストールエラー",
               "フォルダ\"" + folder + "Title\\\"の作成に失敗しました。", {IDOK});
    EXPECT_EQ(0, fake_runs);
}

struct RunView {
    std::string install_dir, log_path, option_digit, list_text;
    bool log_exists = false, slots_empty = false;
    bool start_enabled = true, picker_enabled = true, launcher_enabled = true;
};

RunView view_of_run(HWND dialog)
{
    RunView v;
    const InstallState &s = install_state;
    v.install_dir = s.install_dir;
    v.log_path = s.install_log_path;
    v.option_digit = s.option_digit;
    v.list_text = FileListText;
    v.log_exists = path_exists(s.install_log_path);
    v.slots_empty = true;
    for (int i = 0; i < SHORTCUT_SLOTS; i++)
        v.slots_empty = v.slots_empty && !s.shortcut_names[i][0] && !s.shortcut_targets[i][0];
    v.start_enabled = IsWindowEnabled(GetDlgItem(dialog, ID_OPTIONS_START));
    v.picker_enabled = IsWindowEnabled(GetDlgItem(dialog, ID_OPTIONS_PICKER));
    v.launcher_enabled = IsWindowEnabled((HWND)s.launcher_window);
    return v;
}

TEST_F(OptionsStart, AConfirmedStartCreatesTheFolderAndLogLoadsTheChosenListFromTheMediumAndRunsIt)
{
    // The option list comes from the current directory, the chosen list from
    // the installer's folder on the medium.
    medium.put("filelist1.txt", header_list("二", "1"));
    medium.put("filelist2.txt", header_list("三", "2"));
    const std::string source = medium.path() + "disc\\";
    CreateDirectory932(source.c_str(), NULL);
    // Written with CR LF: read in text mode, the list sees LF alone (a CR
    // before a statement would end the list unread).
    const std::string chosen = header_list("三 (媒体)", "2") + "; the chosen list\n";
    write_file(source + "filelist2.txt", header_list("三 (媒体)", "2").insert(chosen.find('\n'), "\r")
                                             + "; the chosen list\r\n");
    SET_FIELD(installer_path, source + "installer.exe");
    for (int i = 0; i < SHORTCUT_SLOTS; i++) {
        SET_FIELD(shortcut_names[i], "古い");
        SET_FIELD(shortcut_targets[i], "old.exe");
    }

    LauncherStandIn launcher;
    BoxRobot robot;
    robot.answer(IDYES);
    RunView view;
    fake_run = [&](HWND owner) {
        view = view_of_run(owner);
        return 1;
    };
    DialogScript script({[&](HWND dialog) {
        SendDlgItemMessageA(dialog, ID_OPTIONS_LIST, CB_SETCURSEL, 2, 0);
        press(dialog, ID_OPTIONS_START);
    }});
    EXPECT_EQ(1, open_options_dialog());
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("インストールフォルダ作成確認", robot.boxes[0].caption);
    EXPECT_EQ(1, fake_runs);
    EXPECT_EQ(kInstallFolder, view.install_dir);
    EXPECT_EQ(std::string(kInstallFolder) + "instlog.txt", view.log_path);
    EXPECT_TRUE(view.log_exists);
    EXPECT_EQ("2", view.option_digit);
    EXPECT_EQ(chosen, view.list_text);
    EXPECT_TRUE(view.slots_empty) << "an earlier list's shortcut slots are emptied before the run";
    EXPECT_FALSE(view.start_enabled);
    EXPECT_FALSE(view.picker_enabled);
    EXPECT_FALSE(view.launcher_enabled);
    EXPECT_TRUE(IsWindowEnabled(launcher.window())) << "the launcher is given back after the run";
    EXPECT_EQ(":C:\\Program Files\\Brand\\\r\n:C:\\Program Files\\Brand\\Title\\\r\n",
              read_file(std::string(kInstallFolder) + "instlog.txt"));
}

// The log opens with the folders this start made for the install folder, and
// only those: a brand folder another product made is that product's.
TEST_F(OptionsStart, TheLogOpensWithTheFoldersMadeForTheInstallFolderOnly)
{
    ASSERT_TRUE(CreateDirectory932("C:\\Program Files\\Brand", NULL));
    BoxRobot robot;
    robot.answer(IDYES);
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    EXPECT_EQ(1, open_options_dialog());
    EXPECT_EQ(":C:\\Program Files\\Brand\\Title\\\r\n", read_file(std::string(kInstallFolder) + "instlog.txt"));
}

TEST_F(OptionsStart, AnExistingFolderIsUsedWithoutCreatingIt)
{
    ASSERT_TRUE(CreateDirectory932("C:\\Program Files\\Brand", NULL) && CreateDirectory932(kInstallFolder, NULL));
    write_file(std::string(kInstallFolder) + "keep.txt", "kept");
    BoxRobot robot;
    robot.answer(IDYES);
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    EXPECT_EQ(1, open_options_dialog());
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("インストールフォルダ確認", robot.boxes[0].caption);
    EXPECT_EQ(1, fake_runs);
    EXPECT_EQ("kept", read_file(std::string(kInstallFolder) + "keep.txt"));
    EXPECT_EQ("", read_file(std::string(kInstallFolder) + "instlog.txt"));
    EXPECT_STREQ("0", install_state.option_digit);
}

TEST_F(OptionsStart, AnInstallFolderOrLogPathTooLongIsRefusedBeforeAnythingIsMade)
{
    // 'C:\' + name + '\' is the folder shown; the title and "instlog.txt" follow.
    struct Case {
        const char *name;
        size_t shown_length, title_length;
    } cases[] = {
        {"folder over 259 bytes", 250, 10},
        {"folder fits, log path does not", 240, 10},
    };
    LauncherStandIn launcher;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string shown = "C:\\" + std::string(c.shown_length - 4, 'f') + "\\";
        SET_FIELD(title, std::string(c.title_length, 't'));
        BoxRobot robot;
        HWND seen = start_with_folder(Wide(shown.c_str()).text(), launcher);
        ASSERT_EQ(1u, robot.boxes.size());
        expect_box(robot.boxes[0], seen, "インストールエラー",
                   "インストール先のフォルダ名が長すぎます。短い名前のフォルダを選んでください。", {IDOK});
        EXPECT_FALSE(path_exists(shown));
        EXPECT_EQ(0, fake_runs);
    }
}

// ---- the ends of the program ----

void run_install_and_die()
{
    BoxRobot robot;
    robot.answer(IDYES);
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    run_install();
}

TEST_F(OptionsStart, AFailedCopyEndsTheProgramLeavingAnUnfinishedRecordAndNoShortcut)
{
    const std::string programs = medium.path() + "Programs";
    ProgramsFolder menu(programs);
    fake_run = [](HWND) {
        SET_FIELD(exe_path, std::string(kInstallFolder) + "game.exe");
        SET_FIELD(shortcut_names[0], "Manual");
        SET_FIELD(shortcut_targets[0], "manual.exe");
        return 0;
    };
    EXPECT_EXIT(run_install_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("ファイルのコピーが正常に行われませんでした。") + "owner=none");
    EXPECT_EQ(":C:\\Program Files\\Brand\\\r\n:C:\\Program Files\\Brand\\Title\\\r\n",
              read_file(std::string(kInstallFolder) + "instlog.txt"));
    // The install folder alone, written before the copy: the next start shows
    // the product not installed, and an install into that folder continues
    // the log.
    std::string value;
    ASSERT_TRUE(robot_read_hkcu("software\\Brand\\Title", "gamedir", &value));
    EXPECT_STREQ(kInstallFolder, value.c_str());
    EXPECT_FALSE(robot_read_hkcu("software\\Brand\\Title", "exepath", &value));
    EXPECT_FALSE(robot_read_hkcu("software\\Brand\\Title", "instdrv", &value));
    EXPECT_FALSE(path_exists(programs + "\\Maker"));
}

// The chosen list is read, and judged, before the install folder is asked
// for: a list that is not there ends the program with nothing made.
TEST_F(OptionsStart, AChosenListMissingFromTheMediumEndsTheProgramBeforeAnythingIsMade)
{
    const std::string source = medium.path() + "empty disc\\";
    CreateDirectory932(source.c_str(), NULL);
    SET_FIELD(installer_path, source + "installer.exe");
    EXPECT_EXIT(run_install_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("\"" + source + "filelist0.txt\"が開けません。") + "owner=none");
    EXPECT_FALSE(path_exists("C:\\Program Files\\Brand"));
    EXPECT_FALSE(path_exists(std::string(kInstallFolder) + "instlog.txt"));
    EXPECT_EQ(0, fake_runs);
}

// Every path the install would make from the chosen list passes the
// uninstall's rule before the install folder is asked for; the first that
// does not ends the program naming its value, with nothing made.
TEST_F(OptionsStart, APathTheUninstallCouldNotRemoveEndsTheProgramBeforeAnythingIsMade)
{
    const std::string tail = "\"からは、アンインストールで削除できるパスを作れません。";
    const struct {
        std::string list;
        std::string message;
    } cases[] = {
        {header_list("標準", "650", "..\\game.exe"), "ゲームプログラムのパス\"..\\game.exe" + tail},
        {header_list("標準", "650") + "\"\" -> \"a\\\\b\"\n", "コピー先フォルダ\"a\\\\b" + tail},
        {header_list("標準", "650") + "shortcut \"..\\x\", \"game.exe\"\n", "ショートカット名\"..\\x" + tail},
        {header_list("標準", "650") + "\"\" -> \"\x81\"\n",
         "filelist0.txtの値に、シフトJISとして読めないバイトがあります。"},
    };
    SET_FIELD(installer_path, medium.path() + "installer.exe");
    for (const auto &c : cases) {
        medium.put("filelist0.txt", c.list);
        EXPECT_EXIT(run_install_and_die(), testing::ExitedWithCode(0), fatal_pattern(c.message) + "owner=none")
            << c.message;
        EXPECT_FALSE(path_exists("C:\\Program Files\\Brand"));
    }
    EXPECT_EQ(0, fake_runs);
}

TEST_F(OptionsStart, AListPathTooLongEndsTheProgramBeforeAnythingIsMade)
{
    // A medium folder of 250 bytes: "filelist0.txt" does not fit after it.
    SET_FIELD(installer_path, "D:\\" + std::string(246, 'm') + "\\installer.exe");
    EXPECT_EXIT(run_install_and_die(), testing::ExitedWithCode(0),
                fatal_pattern("ファイルリストのパスが長すぎます。") + "owner=none");
    EXPECT_FALSE(path_exists("C:\\Program Files\\Brand"));
}

// ---- no second install while one runs ----

TEST_F(OptionsStart, WhileTheListRunsNeitherTheDialogNorTheLauncherStartsAnything)
{
    ProgramsFolder no_start_menu("");
    LauncherStandIn launcher;
    // The hand works on an enabled launcher: the run button takes a click.
    click(launcher.button(1002));
    pump_messages(200);
    ASSERT_EQ(1u, launcher.commands.size()) << "a real click reaches an enabled launcher";
    EXPECT_EQ(1002, launcher.commands[0].id);
    EXPECT_TRUE(launcher.commands[0].clicked);
    launcher.commands.clear();

    BoxRobot robot;
    robot.answer(IDYES);
    size_t boxes_before_run = 0, dialogs_before_run = 0;
    bool still_open = false;
    RunView during;
    fake_run = [&](HWND owner) {
        during = view_of_run(owner);
        boxes_before_run = robot.boxes.size();
        dialogs_before_run = robot.dialogs.size();
        // The user's hand: clicks on all three launcher buttons and on the
        // dialog's own buttons, then the commands arriving as messages.
        click(launcher.button(1001));
        click(launcher.button(1003));
        click(launcher.button(1002));
        click(GetDlgItem(owner, ID_OPTIONS_START));
        click(GetDlgItem(owner, ID_OPTIONS_PICKER));
        pump_messages(300);
        press(owner, ID_OPTIONS_START);
        press(owner, ID_OPTIONS_PICKER);
        PostMessageA(launcher.window(), WM_COMMAND, 1001, 0);
        close_box(owner);
        pump_messages(300);
        still_open = IsWindowVisible(owner) != FALSE;
        return 1;
    };
    // The whole install command, as the launcher runs it.
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    EXPECT_EQ(1, run_install());

    EXPECT_EQ(1, fake_runs) << "no second run of the list";
    EXPECT_FALSE(during.start_enabled);
    EXPECT_FALSE(during.picker_enabled);
    EXPECT_FALSE(during.launcher_enabled);
    EXPECT_TRUE(still_open) << "the close box waits for the end of the install";
    EXPECT_EQ(boxes_before_run, robot.boxes.size()) << "no question, no uninstall, no picker";
    EXPECT_EQ(dialogs_before_run, robot.dialogs.size()) << "no second options dialog";
    // Only the bare posted install command reached the launcher, and it
    // opened nothing.
    ASSERT_EQ(1u, launcher.commands.size());
    EXPECT_EQ(1001, launcher.commands[0].id);
    EXPECT_FALSE(launcher.commands[0].clicked);
    EXPECT_TRUE(IsWindowEnabled(launcher.window()));
    EXPECT_FALSE(options_start_running());
}

}  // namespace
