// Registration after the copy: the log lines in their order, the Start-menu
// folders, real .lnk files read back through the shell's link object, the
// four record values; and the whole install command around them.
#include "core/install_log.h"
#include "install/make_path.h"
#include "install/registration.h"
#include "options_support.h"
#include "support/cp932_calls.h"

namespace {

using namespace options_bench;

const std::string kInstall = "C:\\Program Files\\Brand\\Title\\";
const std::string kPrograms = "C:\\WINDOWS\\Start Menu\\Programs";
const std::string kProductMenu = kPrograms + "\\Maker\\Caption";

std::function<int(HWND)> fake_run;

int fake_runner(HWND owner)
{
    return fake_run ? fake_run(owner) : 1;
}

class Registration : public testing::Test {
protected:
    void SetUp() override
    {
        start_menu_existed_ = path_exists("C:\\windows\\Start Menu");
        remove_tree("C:\\Program Files\\Brand");
        remove_tree(kPrograms + "\\Maker");
        remove_record("Brand");
        fill_launcher_state(medium.path());
        medium.put("filelist0.txt", header_list("標準", "650"));
        options_file_list_runner = fake_runner;
        fake_run = nullptr;
    }
    void TearDown() override
    {
        options_file_list_runner = run_file_list;
        remove_tree("C:\\Program Files\\Brand");
        remove_tree(kPrograms + "\\Maker");
        if (!start_menu_existed_)
            remove_tree("C:\\windows\\Start Menu");
        remove_record("Brand");
    }

    // What a confirmed start and a file list leave behind: the folder, its
    // empty log, the game program and a manual in a subfolder.
    void fill_after_copy()
    {
        ASSERT_TRUE(CreateDirectory932("C:\\Program Files\\Brand", NULL));
        ASSERT_TRUE(CreateDirectory932(kInstall.c_str(), NULL));
        ASSERT_TRUE(CreateDirectory932((kInstall + "Manual").c_str(), NULL));
        write_file(kInstall + "game.exe", "MZ");
        write_file(kInstall + "Manual\\read.exe", "MZ");
        SET_FIELD(source_drive, "D:\\");
        SET_FIELD(install_dir, kInstall);
        SET_FIELD(option_digit, "1");
        SET_FIELD(install_log_path, kInstall + "instlog.txt");
        SET_FIELD(exe_path, kInstall + "game.exe");
        log_create(install_state.install_log_path);
    }

    static void expect_record(const std::string &drive, const std::string &exe, const std::string &option,
                              const std::string &folder)
    {
        const std::string key = "software\\Brand\\Title";
        std::string value;
        EXPECT_TRUE(reg_text(HKEY_CURRENT_USER, key, "instdrv", &value) && value == drive) << value;
        EXPECT_TRUE(reg_text(HKEY_CURRENT_USER, key, "exepath", &value) && value == exe) << value;
        EXPECT_TRUE(reg_text(HKEY_CURRENT_USER, key, "instopt", &value) && value == option) << value;
        EXPECT_TRUE(reg_text(HKEY_CURRENT_USER, key, "gamedir", &value) && value == folder) << value;
    }

    static void expect_link(const std::string &link, const std::string &target)
    {
        SCOPED_TRACE(link);
        LinkProperties p = load_link(link);
        ASSERT_TRUE(p.loaded);
        EXPECT_EQ(target, p.id_list_path);
        if (GetACP() == 932) {
            EXPECT_EQ(target, p.path);
        }
        EXPECT_EQ(kInstall, p.working_directory) << "the install folder with its trailing backslash";
        EXPECT_EQ(SW_SHOWNORMAL, p.show_command);
        EXPECT_EQ("", p.arguments);
        EXPECT_EQ("", p.description);
        EXPECT_EQ(0, p.hotkey);
        EXPECT_EQ("", p.icon_path);
        EXPECT_EQ(0, p.icon_index);
    }

    bool start_menu_existed_ = false;
    MediumFolder medium;
};

TEST_F(Registration, LogsSixLinesMakesBothShortcutsAndWritesTheRecord)
{
    ProgramsFolder menu(kPrograms);
    fill_after_copy();
    SET_FIELD(shortcut_names[0], "Manual");
    SET_FIELD(shortcut_targets[0], "Manual\\read.exe");
    register_install();

    const std::vector<std::string> expected = {
        ">Caption",
        "?software\\Brand\\Title",
        ":C:\\WINDOWS\\Start Menu\\Programs\\Maker\\Caption",
        ":C:\\WINDOWS\\Start Menu\\Programs\\Maker",
        "C:\\WINDOWS\\Start Menu\\Programs\\Maker\\Caption\\Title.lnk",
        "C:\\WINDOWS\\Start Menu\\Programs\\Maker\\Caption\\Manual.lnk",
    };
    EXPECT_EQ(expected, read_lines(install_state.install_log_path));
    expect_link(kProductMenu + "\\Title.lnk", kInstall + "game.exe");
    // The target is joined to the install folder with one backslash: a
    // doubled one would repeat the folder in the link's ID list.
    expect_link(kProductMenu + "\\Manual.lnk", kInstall + "Manual\\read.exe");
    expect_record("D:\\", kInstall + "game.exe", "1", kInstall);
}

TEST_F(Registration, SlotsAreTakenInOrderSkippingEmptyNamesAndNoneMeansOnlyTheMainShortcut)
{
    ProgramsFolder menu(kPrograms);
    fill_after_copy();
    struct Case {
        const char *name;
        std::vector<std::pair<std::string, std::string>> slots;
        std::vector<std::string> links;
    } cases[] = {
        {"no slot used", {{"", ""}, {"", ""}, {"", ""}, {"", ""}, {"", ""}}, {"Title"}},
        {"slots 1 and 4", {{"", ""}, {"説明書", "Manual\\read.exe"}, {"", ""}, {"", ""}, {"Readme", "game.exe"}},
         {"Title", "説明書", "Readme"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        log_create(install_state.install_log_path);
        remove_tree(kPrograms + "\\Maker");
        for (int i = 0; i < SHORTCUT_SLOTS; i++) {
            SET_FIELD(shortcut_names[i], c.slots[(size_t)i].first);
            SET_FIELD(shortcut_targets[i], c.slots[(size_t)i].second);
        }
        register_install();
        std::vector<std::string> lines = read_lines(install_state.install_log_path);
        ASSERT_EQ(4 + c.links.size(), lines.size());
        for (size_t i = 0; i < c.links.size(); i++) {
            EXPECT_EQ(kProductMenu + "\\" + c.links[i] + ".lnk", lines[4 + i]);
            EXPECT_TRUE(load_link(lines[4 + i]).loaded);
        }
    }
    expect_link(kProductMenu + "\\説明書.lnk", kInstall + "Manual\\read.exe");
}

TEST_F(Registration, TheMakerFolderIsLoggedAlsoWhenItExistedAndItsOtherProductsStay)
{
    ProgramsFolder menu(kPrograms);
    fill_after_copy();
    ASSERT_EQ(1, make_path((kPrograms + "\\Maker\\Other").c_str()));
    write_file(kPrograms + "\\Maker\\Other\\other.lnk", "x");
    register_install();
    std::vector<std::string> lines = read_lines(install_state.install_log_path);
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(":" + kPrograms + "\\Maker", lines[3]);
    EXPECT_TRUE(path_exists(kPrograms + "\\Maker\\Other\\other.lnk"));
    EXPECT_TRUE(path_exists(kProductMenu + "\\Title.lnk"));
}

TEST_F(Registration, WithoutTheProgramsValueOnlyTheRecordIsWritten)
{
    ProgramsFolder menu("");
    fill_after_copy();
    SET_FIELD(shortcut_names[0], "Manual");
    SET_FIELD(shortcut_targets[0], "Manual\\read.exe");
    register_install();
    const std::vector<std::string> expected = {">Caption", "?software\\Brand\\Title"};
    EXPECT_EQ(expected, read_lines(install_state.install_log_path));
    EXPECT_FALSE(path_exists(kPrograms + "\\Maker"));
    expect_record("D:\\", kInstall + "game.exe", "1", kInstall);
}

TEST_F(Registration, StartMenuPathsTooLongAreRefusedTheStartMenuStaysUntouchedTheRecordIsWritten)
{
    fill_after_copy();
    struct Case {
        const char *name;
        std::string programs, slot_target;
    } cases[] = {
        // ":" + Programs + "\Maker\Caption" beyond a log line of 259 bytes.
        {"product menu folder", "C:\\" + std::string(250, 'p'), "read.exe"},
        // Programs fits, the main shortcut's file does not.
        {"main shortcut file", "C:\\" + std::string(236, 'p'), "read.exe"},
        // The extra target: the install folder, '\' and 240 bytes.
        {"extra shortcut target", kPrograms, std::string(240, 'r')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ProgramsFolder menu(c.programs);
        log_create(install_state.install_log_path);
        remove_record("Brand");
        SET_FIELD(shortcut_names[0], "Manual");
        SET_FIELD(shortcut_targets[0], c.slot_target);
        BoxRobot robot;
        register_install();
        ASSERT_EQ(1u, robot.boxes.size());
        EXPECT_EQ("インストールエラー", robot.boxes[0].caption);
        EXPECT_EQ("スタートメニューのフォルダ名かショートカットのパスが長すぎるため、"
                  "ショートカットを作成しませんでした。",
                  robot.boxes[0].text);
        EXPECT_EQ(nullptr, robot.boxes[0].owner) << "no launcher in this test";
        const std::vector<std::string> expected = {">Caption", "?software\\Brand\\Title"};
        EXPECT_EQ(expected, read_lines(install_state.install_log_path));
        EXPECT_FALSE(path_exists(c.programs + "\\Maker"));
        expect_record("D:\\", kInstall + "game.exe", "1", kInstall);
    }
}

// A Programs folder under a user named 김민수, whose name code page 932
// cannot hold: the shortcuts go in through the folder's short (8.3) name,
// which the log holds; while the folder has no short name (it is not made
// yet) a box says that no Start-menu entries were made, and the record is
// written all the same.
TEST_F(Registration, AProgramsFolderBeyondCodePage932IsReachedByItsShortNameOrTheBoxSaysNone)
{
    const std::wstring user = L"C:\\users\\\uAE40\uBBFC\uC218";
    const std::wstring programs = user + L"\\Start Menu\\Programs";
    ProgramsFolder menu(programs);
    fill_after_copy();
    {
        BoxRobot robot;
        register_install();
        ASSERT_EQ(1u, robot.boxes.size());
        EXPECT_EQ("インストールエラー", robot.boxes[0].caption);
        EXPECT_EQ("スタートメニューのフォルダ名に、このインストーラでは使えない文字が含まれているため、"
                  "スタートメニューにショートカットを作成しませんでした。",
                  robot.boxes[0].text);
        const std::vector<std::string> expected = {">Caption", "?software\\Brand\\Title"};
        EXPECT_EQ(expected, read_lines(install_state.install_log_path));
        expect_record("D:\\", kInstall + "game.exe", "1", kInstall);
    }
    for (const std::wstring &folder : {user, user + L"\\Start Menu", programs})
        CreateDirectoryW(folder.c_str(), NULL);
    wchar_t short_name[MAX_PATH];
    ASSERT_NE(0u, GetShortPathNameW(programs.c_str(), short_name, MAX_PATH));
    char short_932[MAX_PATH];
    ASSERT_EQ(1, to_cp932(short_name, short_932, sizeof short_932));
    log_create(install_state.install_log_path);
    BoxRobot robot;
    register_install();
    EXPECT_TRUE(robot.boxes.empty());
    const std::string menu_folder = std::string(short_932) + "\\Maker\\Caption";
    const std::vector<std::string> expected = {">Caption", "?software\\Brand\\Title", ":" + menu_folder,
                                               ":" + std::string(short_932) + "\\Maker",
                                               menu_folder + "\\Title.lnk"};
    EXPECT_EQ(expected, read_lines(install_state.install_log_path));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((programs + L"\\Maker\\Caption\\Title.lnk").c_str()));
    expect_link(menu_folder + "\\Title.lnk", kInstall + "game.exe");
    remove_tree(short_932 + std::string("\\Maker"));
    for (const std::wstring &folder : {programs, user + L"\\Start Menu", user})
        RemoveDirectoryW(folder.c_str());
}

TEST_F(Registration, AShortcutIsSavedAlsoIntoAFolderLaterAndAMissingFolderIsNotAFailure)
{
    fill_after_copy();
    ASSERT_EQ(1, create_shortcut((kInstall + "direct.lnk").c_str(), (kInstall + "game.exe").c_str()));
    expect_link(kInstall + "direct.lnk", kInstall + "game.exe");
    // Saving fails silently; the link object itself was had.
    EXPECT_EQ(1, create_shortcut((kInstall + "missing\\x.lnk").c_str(), (kInstall + "game.exe").c_str()));
    EXPECT_FALSE(path_exists(kInstall + "missing\\x.lnk"));
}

// ---- the whole install command ----

// What a list leaves: its program and its shortcut slots.
int list_with_slots(const std::vector<std::string> &names)
{
    SET_FIELD(exe_path, std::string(install_state.install_dir) + "game.exe");
    write_file(install_state.exe_path, "MZ");
    for (size_t i = 0; i < names.size(); i++) {
        SET_FIELD(shortcut_names[i], names[i]);
        SET_FIELD(shortcut_targets[i], names[i] + ".exe");
    }
    return 1;
}

TEST_F(Registration, RunInstallRegistersAfterAConfirmedStartAndNotAfterTheCloseBox)
{
    ProgramsFolder menu(kPrograms);
    medium.put("filelist1.txt", header_list("全部", "900"));
    // The medium's lists are read from source_dir: point it at the bench.
    SET_FIELD(installer_path, medium.path() + "installer.exe");
    {
        BoxRobot robot;
        DialogScript script({[](HWND dialog) { close_box(dialog); }});
        EXPECT_EQ(0, run_install());
        EXPECT_FALSE(path_exists("C:\\Program Files\\Brand"));
        EXPECT_FALSE(key_exists("software\\Brand"));
        EXPECT_FALSE(path_exists(kPrograms + "\\Maker"));
    }
    BoxRobot robot;
    robot.answer(IDYES);
    fake_run = [](HWND) { return list_with_slots({"Manual"}); };
    DialogScript script({[](HWND dialog) {
        SendDlgItemMessageA(dialog, ID_OPTIONS_LIST, CB_SETCURSEL, 1, 0);
        press(dialog, ID_OPTIONS_START);
    }});
    EXPECT_EQ(1, run_install());
    std::vector<std::string> lines = read_lines(kInstall + "instlog.txt");
    ASSERT_EQ(8u, lines.size());       // the two folders made for the install folder first
    EXPECT_EQ(kProductMenu + "\\Manual.lnk", lines[7]);
    expect_link(kProductMenu + "\\Title.lnk", kInstall + "game.exe");
    expect_record(medium.path().substr(0, 3), kInstall + "game.exe", "1", kInstall);
}

// An options dialog that cannot be made (DialogBoxParam932 gives -1) is no
// install: nothing is registered.
TEST_F(Registration, RunInstallWhoseDialogCannotBeMadeRegistersNothing)
{
    ProgramsFolder menu(kPrograms);
    void *saved = install_state.instance;
    install_state.instance = GetModuleHandleA("kernel32.dll");      // no such template there
    BoxRobot robot;
    EXPECT_EQ(0, run_install());
    install_state.instance = saved;
    EXPECT_TRUE(robot.dialogs.empty());
    EXPECT_FALSE(key_exists("software\\Brand"));
    EXPECT_FALSE(path_exists(kPrograms + "\\Maker"));
}

TEST_F(Registration, RunInstallWithoutTheProgramsValueWritesTheRecordAndReportsAnInstall)
{
    ProgramsFolder menu("");
    SET_FIELD(installer_path, medium.path() + "installer.exe");
    BoxRobot robot;
    robot.answer(IDYES);
    fake_run = [](HWND) { return list_with_slots({"Manual"}); };
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    EXPECT_EQ(1, run_install());
    const std::vector<std::string> expected = {":C:\\Program Files\\Brand\\", ":" + kInstall, ">Caption",
                                               "?software\\Brand\\Title"};
    EXPECT_EQ(expected, read_lines(kInstall + "instlog.txt"));
    EXPECT_FALSE(path_exists(kPrograms + "\\Maker"));
    expect_record(medium.path().substr(0, 3), kInstall + "game.exe", "0", kInstall);
}

TEST_F(Registration, ASecondInstallInTheSameProcessMakesOnlyItsOwnListsShortcuts)
{
    ProgramsFolder menu(kPrograms);
    SET_FIELD(installer_path, medium.path() + "installer.exe");
    const std::vector<std::vector<std::string>> lists = {{"First", "Second"}, {"Only"}};
    for (const auto &names : lists) {
        SCOPED_TRACE(names.front());
        remove_tree("C:\\Program Files\\Brand");
        remove_tree(kPrograms + "\\Maker");
        BoxRobot robot;
        robot.answer(IDYES);
        fake_run = [&](HWND) { return list_with_slots(names); };
        DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
        EXPECT_EQ(1, run_install());
        std::vector<std::string> lines = read_lines(kInstall + "instlog.txt");
        ASSERT_EQ(7 + names.size(), lines.size());
        for (size_t i = 0; i < names.size(); i++)
            EXPECT_EQ(kProductMenu + "\\" + names[i] + ".lnk", lines[7 + i]);
    }
    EXPECT_FALSE(path_exists(kProductMenu + "\\Second.lnk"));
}

}  // namespace
