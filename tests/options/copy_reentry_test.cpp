// No second install while the real file list copies a large file: the
// robot's hand presses the launcher's buttons and the dialog's own buttons
// each time a copy dialog opens. Needs the real file list interpreter; where
// the program still carries its stand-in, the test says so and is skipped.
#include "boundary/open_file.h"
#include "core/install_log.h"
#include "options_support.h"
#include "support/cp932_calls.h"

namespace {

using namespace options_bench;

const std::string kInstall = "C:\\Program Files\\Brand\\Title\\";

bool file_list_interpreter_present(const std::string &folder)
{
    SET_FIELD(install_dir, folder);
    snprintf(FileListText, sizeof FileListText, "\"probe\", 1, \"probe.exe\"\n");
    return run_file_list(NULL) == 1;
}

void write_large_file(const std::string &path, size_t megabytes)
{
    FILE *file = open_file(path.c_str(), "wb");
    ASSERT_NE(nullptr, file);
    std::string chunk(1 << 20, 'x');
    for (size_t i = 0; i < megabytes; i++)
        fwrite(chunk.data(), 1, chunk.size(), file);
    fclose(file);
}

TEST(OptionsCopyReentry, LauncherAndStartButtonsStartNothingWhileALargeFileCopies)
{
    MediumFolder medium;
    remove_tree("C:\\Program Files\\Brand");
    fill_launcher_state(medium.path());
    if (!file_list_interpreter_present(medium.path()))
        GTEST_SKIP() << "run_file_list is still the stand-in that runs nothing";
    fill_launcher_state(medium.path());
    ProgramsFolder no_start_menu("");
    CreateDirectory932((medium.path() + "data").c_str(), NULL);
    write_large_file(medium.path() + "data\\big.bin", 48);
    write_file(medium.path() + "data\\small.txt", "small");
    medium.put("filelist0.txt", header_list("標準", "48") + "\"data\" -> \"\"\n");

    LauncherStandIn launcher;
    BoxRobot robot;
    robot.answer(IDYES);
    int copy_dialogs = 0;
    bool blocked_at_every_copy = true;
    robot.on_dialog = [&](HWND window) {
        HWND options = (HWND)install_state.options_window;
        if (window == options)
            return;
        copy_dialogs++;
        blocked_at_every_copy = blocked_at_every_copy && !IsWindowEnabled(launcher.window())
                                && !IsWindowEnabled(GetDlgItem(options, ID_OPTIONS_START))
                                && !IsWindowEnabled(GetDlgItem(options, ID_OPTIONS_PICKER));
        click(launcher.button(1001));
        click(launcher.button(1003));
        click(GetDlgItem(options, ID_OPTIONS_START));
        press(options, ID_OPTIONS_START);
        press(options, ID_OPTIONS_PICKER);
        close_box(options);
        PostMessageA(launcher.window(), WM_COMMAND, 1001, 0);
    };
    DialogScript script({[](HWND dialog) { press(dialog, ID_OPTIONS_START); }});
    EXPECT_EQ(1, run_install());

    EXPECT_EQ(2, copy_dialogs);
    EXPECT_TRUE(blocked_at_every_copy);
    EXPECT_EQ(1u, robot.boxes.size()) << "only the folder question: no uninstall question";
    EXPECT_EQ(3u, robot.dialogs.size()) << "the options dialog and two copy dialogs, nothing more";
    for (const LauncherStandIn::Command &command : launcher.commands) {
        EXPECT_EQ(1001, command.id);
        EXPECT_FALSE(command.clicked) << "no click reached the disabled launcher";
    }
    // One run of the list: the log was not emptied by a second start.
    std::vector<std::string> lines = read_lines(kInstall + "instlog.txt");
    ASSERT_EQ(6u, lines.size());       // the install folder and its brand's, made for it, first
    EXPECT_EQ(">Caption", lines[4]);
    EXPECT_EQ(48u << 20, read_file(kInstall + "big.bin").size());
    EXPECT_TRUE(IsWindowEnabled(launcher.window()));
    remove_tree("C:\\Program Files\\Brand");
    remove_record("Brand");
}

}  // namespace
