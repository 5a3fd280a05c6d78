// Real faults injected under Wine while the program works: files that vanish
// or are locked after the listing, the medium's drive taken away with a copy
// dialog up, targets that are read-only or in use, a Start menu that cannot
// take its folder, a temporary folder that is a file. Each ends with a
// message or a known silent outcome, and the install log names every file
// the install created.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/install_log.h"
#include "install/copy_fixture.h"
#include "install/file_list.h"
#include "install/registration.h"
#include "robot/ui_robot.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/hkcu.h"

namespace cf = copy_fixture;

namespace {

const char kDrive = 'n';

// Every file and folder below `folder` must have its line in the log.
void expect_log_names_everything_in(const std::string &folder, const std::vector<std::string> &log)
{
    for (const std::string &name : folder_entries(folder)) {
        std::string path = folder + name;
        if (is_folder(path)) {
            EXPECT_NE(log.end(), std::find(log.begin(), log.end(), ":" + path + "\\")) << path;
            expect_log_names_everything_in(path + "\\", log);
        } else if (name != "instlog.txt") {
            EXPECT_NE(log.end(), std::find(log.begin(), log.end(), path)) << path;
        }
    }
}

// A copy dialog that is still up after the first tick is looked at (its
// bar) and closed, as a user would close a stalled one.
struct StallWatch {
    static StallWatch *&current() { static StallWatch *w; return w; }
    HWND dialog = NULL;
    int closed = 0;
    LRESULT bar_when_closed = -1;

    static void CALLBACK close_now(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(NULL, id);
        StallWatch *w = current();
        if (!w || !IsWindow(w->dialog))
            return;
        w->bar_when_closed = SendDlgItemMessageA(w->dialog, 1011, PBM_GETPOS, 0, 0);
        w->closed++;
        PostMessageA(w->dialog, WM_CLOSE, 0, 0);
    }
    void arm(HWND d)
    {
        dialog = d;
        SetTimer(NULL, 0, 1500, close_now);
    }
    StallWatch() { current() = this; }
    ~StallWatch() { current() = nullptr; }
};

class Faults : public testing::Test {
protected:
    void SetUp() override
    {
        root = cf::fresh_folder();
        cf::prepare_state(root);
        medium = root + "medium\\";
        game = medium + "setup\\game\\";
        for (const char *folder : {"", "setup", "setup\\game"})
            CreateDirectory932((medium + folder).c_str(), NULL);
        for (const char *name : {"a.dat", "b.dat", "c.dat"})
            write_file(game + name, cf::pattern_bytes(3000, name[0]));
        cf::map_drive(kDrive, medium);
        ASSERT_TRUE(path_exists("N:\\setup\\game\\a.dat"));
        strcpy(install_state.source_dir, "n:\\setup\\");
        install = root + "install\\";
        CreateDirectory932(install.c_str(), NULL);
        snprintf(install_state.install_dir, sizeof install_state.install_dir, "%s", install.c_str());
        log_create(install_state.install_log_path);
    }
    void TearDown() override { cf::unmap_drive(kDrive); }

    int run_list()
    {
        snprintf(FileListText, sizeof FileListText, "\"標準\", 1, \"game\\a.dat\"\n\"game\" -> \"game\"\n");
        return run_file_list(NULL);
    }
    std::vector<std::string> log() { return read_lines(install_state.install_log_path); }

    std::string root, medium, game, install;
};

// The source of the second file is taken away as its dialog opens: after the
// listing, before its copy. The dialog stalls with an empty bar until closed,
// the list stops there (the options dialog then ends the program with
// "ファイルのコピーが正常に行われませんでした。"), the first file is whole.
TEST_F(Faults, ASourceGoneOrLockedOrItsDriveUnmappedAfterTheListingStopsTheInstall)
{
    struct Case {
        const char *name;
        std::function<void(const std::string &source)> inject;
    };
    HANDLE lock = INVALID_HANDLE_VALUE;
    const Case cases[] = {
        {"vanished", [](const std::string &s) { ASSERT_TRUE(DeleteFile932(s.c_str())); }},
        {"locked, share mode 0",
         [&lock](const std::string &s) {
             lock = CreateFile932(s.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
             ASSERT_NE(INVALID_HANDLE_VALUE, lock);
         }},
        {"drive mapping removed", [](const std::string &) { cf::unmap_drive(kDrive); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        BoxRobot robot;
        StallWatch stall;
        int opened = 0;
        std::vector<std::string> sources;
        robot.on_dialog = [&](HWND dialog) {
            sources.push_back(install_state.copy_source);
            if (++opened == 2) {
                c.inject(install_state.copy_source);
                stall.arm(dialog);
            }
        };
        DWORD started = GetTickCount();
        EXPECT_EQ(0, run_list());
        EXPECT_LT(GetTickCount() - started, 20000u);
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        lock = INVALID_HANDLE_VALUE;

        EXPECT_TRUE(robot.boxes.empty());
        ASSERT_EQ(2u, sources.size()) << "the third file is not attempted";
        EXPECT_EQ(1, stall.closed) << "the second dialog waited for the user";
        EXPECT_EQ(0, stall.bar_when_closed);
        std::string first = sources[0].substr(sources[0].rfind('\\') + 1);
        std::string second = sources[1].substr(sources[1].rfind('\\') + 1);
        EXPECT_EQ(cf::pattern_bytes(3000, first[0]), read_file(install + "game\\" + first));
        EXPECT_FALSE(path_exists(install + "game\\" + second));
        std::vector<std::string> expected = {":" + install + "game\\", install + "game\\" + first,
                                             install + "game\\" + second};
        EXPECT_EQ(expected, log());
        expect_log_names_everything_in(install, log());
        TearDown();
    }
}

// An earlier file in the target's place: read-only (or hidden and system) it
// is replaced like any other and left plain; in use by another program it
// cannot be opened, the list stops at once without waiting, and the file
// keeps its contents.
TEST_F(Faults, AnExistingTargetIsReplacedWhenReadOnlyAndKeptWhenInUse)
{
    CreateDirectory932((install + "game").c_str(), NULL);
    std::string target = install + "game\\a.dat";
    for (DWORD attributes : {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}) {
        SCOPED_TRACE(attributes);
        write_file(target, "old");
        ASSERT_TRUE(SetFileAttributes932(target.c_str(), attributes));
        BoxRobot robot;
        // Windows refuses a write stream over such a file (Wine run as root
        // does not): the attributes must be gone before its dialog opens.
        DWORD at_open = 0;
        robot.on_dialog = [&](HWND) {
            if (std::string(install_state.copy_target) == target)
                at_open = GetFileAttributes932(target.c_str());
        };
        EXPECT_EQ(1, run_list());
        EXPECT_EQ(0u, at_open & attributes);
        EXPECT_EQ(cf::pattern_bytes(3000, 'a'), read_file(target));
        EXPECT_EQ(0u, GetFileAttributes932(target.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN
                                                           | FILE_ATTRIBUTE_SYSTEM));
        EXPECT_TRUE(robot.boxes.empty());
        log_create(install_state.install_log_path);
    }

    for (const std::string &name : folder_entries(install + "game"))
        DeleteFile932((install + "game\\" + name).c_str());
    write_file(target, "old");
    HANDLE in_use = CreateFile932(target.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, in_use);
    BoxRobot robot;
    StallWatch stall;
    robot.on_dialog = [&](HWND dialog) {
        if (std::string(install_state.copy_target) == target)
            stall.arm(dialog);
    };
    EXPECT_EQ(0, run_list());
    CloseHandle(in_use);
    EXPECT_EQ(0, stall.closed) << "the dialog ended by itself";
    EXPECT_EQ("old", read_file(target));
    std::vector<std::string> lines = log();
    for (const std::string &name : folder_entries(install + "game"))
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), install + "game\\" + name)) << name;
}

// A file stands where the target folder belongs: the folder cannot be made,
// the first file's write stream does not open, the list stops at once with
// nothing created, and no folder is logged: this install made none.
TEST_F(Faults, ATargetFolderThatCannotBeCreatedStopsAtTheFirstFileWithoutWaiting)
{
    write_file(install + "game", "a file, not a folder");
    BoxRobot robot;
    StallWatch stall;
    robot.on_dialog = [&](HWND dialog) { stall.arm(dialog); };
    EXPECT_EQ(0, run_list());
    EXPECT_EQ(1u, robot.dialogs.size());
    EXPECT_EQ(0, stall.closed) << "the dialog ended by itself";
    EXPECT_TRUE(robot.boxes.empty());
    EXPECT_EQ("a file, not a folder", read_file(install + "game"));
    std::vector<std::string> lines = log();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find(install + "game\\")) << lines[0];
}

// The maker's Start-menu folder cannot be made (a file in its place, or a
// name the file system refuses): no folder, no shortcut, no message; every
// line is logged all the same (the uninstall finds nothing there and goes
// on) and the record is written.
TEST(FaultsStartMenu, AFolderThatCannotBeCreatedLeavesNoShortcutNoMessageAndTheRecord)
{
    for (const char *maker : {"FaultMaker", "Fault|Maker"}) {
        SCOPED_TRACE(maker);
        std::string root = cf::fresh_folder();
        std::string programs = root + "Programs";
        CreateDirectory932(programs.c_str(), NULL);
        bool file_in_place = strchr(maker, '|') == NULL;
        if (file_in_place)
            write_file(programs + "\\" + maker, "a file, not a folder");
        ProgramsFolder programs_folder(programs);

        InstallState &s = install_state;
        cf::prepare_state(root);
        strcpy(s.caption, "FaultCaption");
        strcpy(s.maker, maker);
        strcpy(s.title, "FaultTitle");
        strcpy(s.product_key, "software\\FaultBrand\\FaultTitle");
        strcpy(s.source_drive, "N:\\");
        strcpy(s.option_digit, "0");
        snprintf(s.install_dir, sizeof s.install_dir, "%s", root.c_str());
        snprintf(s.exe_path, sizeof s.exe_path, "%sgame.exe", root.c_str());
        clear_shortcut_slots();
        strcpy(s.shortcut_names[0], "Manual");
        strcpy(s.shortcut_targets[0], "read.txt");
        log_create(s.install_log_path);

        BoxRobot robot;
        register_install();

        std::string maker_folder = programs + "\\" + maker;
        std::string menu = maker_folder + "\\FaultCaption";
        std::vector<std::string> expected = {">FaultCaption", "?software\\FaultBrand\\FaultTitle",
                                             ":" + menu, ":" + maker_folder,
                                             menu + "\\FaultTitle.lnk", menu + "\\Manual.lnk"};
        EXPECT_EQ(expected, read_lines(s.install_log_path));
        EXPECT_TRUE(robot.boxes.empty());
        EXPECT_EQ(file_in_place ? std::vector<std::string>{maker} : std::vector<std::string>{},
                  folder_entries(programs));
        EXPECT_FALSE(is_folder(maker_folder));
        HKEY record;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKey932(HKEY_CURRENT_USER, "software\\FaultBrand\\FaultTitle", &record));
        char value[MAX_PATH] = "";
        DWORD size = sizeof value;
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueEx932(record, "gamedir", NULL, NULL, (BYTE *)value, &size));
        EXPECT_EQ(root, value);
        RegCloseKey(record);
        RegDeleteKey932(HKEY_CURRENT_USER, "software\\FaultBrand\\FaultTitle");
        RegDeleteKey932(HKEY_CURRENT_USER, "software\\FaultBrand");
    }
}

// The real program beside the test programs.
std::wstring real_program()
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(NULL, self, MAX_PATH);
    std::wstring program = self;
    return program.substr(0, program.rfind(L'\\')) + L"\\..\\installer.exe";
}

// The real program started with an empty command line, its first box
// answered: what it showed and how it ended.
struct RealRun {
    bool started = false, shown = false;
    RobotBox box;
    DWORD ended = WAIT_FAILED, code = 1;
};

RealRun run_real_program(const std::wstring &program)
{
    RealRun run;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    run.started = CreateProcessW(program.c_str(), NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
    if (!run.started)
        return run;
    run.shown = robot_wait_box(process.dwProcessId, 20000, &run.box);
    if (run.shown)
        robot_answer(run.box, IDOK);
    run.ended = WaitForSingleObject(process.hProcess, 20000);
    if (run.ended != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &run.code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

void expect_fatal(const RealRun &run, const std::string &text)
{
    ASSERT_TRUE(run.started);
    ASSERT_TRUE(run.shown);
    EXPECT_EQ("エラー", run.box.caption);
    EXPECT_EQ(text, run.box.text);
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, run.ended);
    EXPECT_EQ(0u, run.code);
}

// The real program started from a medium with an empty command line while a
// file stands where the Windows temporary folder belongs: after a bounded
// wait it shows the error and ends with code 0; nothing is relaunched.
TEST(FaultsRelaunch, ATempFolderThatIsAFileEndsTheRealProgramWithItsMessage)
{
    char windows[MAX_PATH];
    GetWindowsDirectory932(windows, sizeof windows);
    std::string temp = std::string(windows) + "\\temp";
    std::string saved = temp + ".faults-saved";
    ASSERT_TRUE(MoveFile932(temp.c_str(), saved.c_str())) << GetLastError();
    write_file(temp, "not a folder");
    RealRun run = run_real_program(real_program());
    DeleteFile932(temp.c_str());
    EXPECT_TRUE(MoveFile932(saved.c_str(), temp.c_str())) << GetLastError();
    expect_fatal(run, "一時フォルダ\"" + temp + "\\\"を作成できませんでした。");
}

// A medium in a folder whose name 932 cannot hold: its path could be neither
// passed to the copy nor logged, so the program ends before copying itself.
TEST(FaultsRelaunch, AProgramInAFolderNamedBeyondCodePage932EndsWithItsMessageBeforeAnyCopy)
{
    const std::wstring folder = L"C:\\Caf\u00e9 medium";
    const std::wstring program = folder + L"\\installer.exe";
    CreateDirectoryW(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileW(real_program().c_str(), program.c_str(), FALSE));
    char windows[MAX_PATH];
    GetWindowsDirectory932(windows, sizeof windows);
    const std::string copy = std::string(windows) + "\\temp\\installer.exe";
    DeleteFile932(copy.c_str());
    RealRun run = run_real_program(program);
    DeleteFileW(program.c_str());
    RemoveDirectoryW(folder.c_str());
    expect_fatal(run, "インストーラのパスに、このインストーラでは使えない文字が含まれています。");
    EXPECT_FALSE(path_exists(copy)) << "nothing was copied";
}

}  // namespace
