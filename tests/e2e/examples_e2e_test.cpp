// Every good example of the publisher's guide (docs/publishing.md), installed
// and uninstalled by the real program from its discs: the example, with this
// build's program on it and its stand-ins made real (each game.exe the test
// game, DirectX\dxsetup.exe the DirectX stand-in), is mastered with
// scripts/master-medium, which checks it first, and disc 1 goes into the
// CD-ROM drive. Each option in turn is installed, every disc prompt answered
// by the disc it asks for, and uninstalled; the first is also run, through
// its execmessage when install.txt has one.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/install_rules.h"
#include "e2e/e2e_fixture.h"
#include "robot/ui_robot.h"
#include "script/settings.h"
#include "script/tokenizer.h"
#include "state/install_state.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/hkcu.h"
#include "support/publishing_guide.h"

namespace {

using namespace e2e;

const char PROGRAMS[] = "C:\\e2e-programs";

std::vector<std::string> good_examples()
{
    std::vector<std::string> names;
    for (const guide::Example &example : guide::examples(read_file(source_path("docs/publishing.md"))))
        if (example.finding.empty())
            names.push_back(example.name);
    return names;
}

// A control file as the program reads it: CR LF arrives as LF.
std::string control_text(const std::string &path)
{
    std::string text = read_file(path), out;
    for (size_t i = 0; i < text.size(); i++)
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n')
            out += text[i];
    return out;
}

// A value of install.txt, found by the program's own reader.
std::string setting(const std::string &install_txt, const char *keyword)
{
    snprintf(SettingsText, sizeof SettingsText, "%s", install_txt.c_str());
    char value[1024];
    return find_setting(keyword, value, sizeof value) ? value : "";
}

// The program a list's header names.
std::string header_program(const std::string &list)
{
    OptionHeader header;
    int at = read_option_header(list.c_str(), &header);
    at += expect_comma(list.c_str() + at);
    char program[PATH_CAPACITY];
    read_quoted(list.c_str() + at, program, sizeof program);
    return program;
}

class Example : public EndToEnd, public testing::WithParamInterface<std::string> {
protected:
    void SetUp() override
    {
        if (!cd_drive_unavailable().empty())
            GTEST_SKIP() << cd_drive_unavailable();
        EndToEnd::SetUp();
        programs_.reset(new ProgramsFolder(PROGRAMS));
        remove_tree(PROGRAMS);
        CreateDirectory932(PROGRAMS, NULL);
        DeleteFile932(temp_file("dxsetup.log").c_str());
    }

    void TearDown() override
    {
        if (IsSkipped())
            return;
        EndToEnd::TearDown();
        EXPECT_EQ("", cd_drive({"eject"}));
        if (!key_.empty()) {
            RegDeleteKey932(HKEY_CURRENT_USER, key_.c_str());
            RegDeleteKey932(HKEY_CURRENT_USER, key_.substr(0, key_.rfind('\\')).c_str());
        }
        remove_folders();
        remove_tree(PROGRAMS);
        programs_.reset();
    }

    // Lays the example out in the build tree and masters its discs.
    void master(const std::string &name)
    {
        const std::string stage = build_folder() + "\\e2e-examples\\" + name;
        const std::string unix_parent = unix_path(build_folder()) + "/e2e-examples";
        const std::string unix_stage = unix_parent + "/" + name;
        const bool two_level = !is_folder(source_path("docs/examples/" + name + "/setup"));
        const std::string setup = two_level ? "/disc1/setup" : "/setup";
        const std::string program_dir = unix_path(build_folder());
        std::string out;
        ASSERT_EQ(0, run_unix("rm -rf '" + unix_stage + "' && mkdir -p '" + unix_parent + "' && cp -r '"
                              + PROJECT_SOURCE_DIR_TEXT + "/docs/examples/" + name + "' '" + unix_stage
                              + "' && cp '" + program_dir + "/../installer.exe' '" + unix_stage + setup
                              + "/' && find '" + unix_stage + "' -name game.exe -exec cp '" + program_dir
                              + "/testgame.exe' {} ';' && find '" + unix_stage + "' -path '*/DirectX/dxsetup.exe'"
                              + " -exec cp '" + program_dir + "/dxsetup.exe' {} ';'",
                              &out))
            << out;
        medium_ = stage + (two_level ? "\\disc1\\setup" : "\\setup");
        std::vector<std::string> words = {"master", medium_, disc_image((name + "-1").c_str())};
        discs_ = {disc_image((name + "-1").c_str())};
        for (int n = 2; two_level && is_folder(stage + "\\disc" + std::to_string(n)); n++) {
            discs_.push_back(disc_image((name + "-" + std::to_string(n)).c_str()));
            words.push_back(stage + "\\disc" + std::to_string(n));
            words.push_back(discs_.back());
        }
        ASSERT_EQ("", cd_drive(words));
    }

    // The install folder and the brand's folder above it.
    void remove_folders()
    {
        if (folder_.empty())
            return;
        remove_tree(folder_);
        RemoveDirectory932(folder_.substr(0, folder_.rfind('\\', folder_.size() - 2)).c_str());
    }

    void insert(size_t disc)
    {
        if (in_drive_ != disc) {
            ASSERT_EQ("", cd_drive({"insert", discs_[disc]}));
        }
        in_drive_ = disc;
    }

    // Option n from the launcher, into the default folder: each disc prompt
    // is answered with the next disc, DirectX setup is run when it is asked
    // for. Returns the install log.
    std::vector<std::string> install(HWND launcher, int n, int options, const std::string &list)
    {
        EXPECT_TRUE(robot_press(launcher, 1001));
        HWND dialog = robot_wait_window((caption_ + "のインストール").c_str(), "#32770", launcher_pid_, WAIT_MS, true);
        EXPECT_NE(nullptr, dialog);
        if (!dialog)
            return {};
        HWND combo = GetDlgItem(dialog, 1007);
        EXPECT_EQ(options, SendMessageA(combo, CB_GETCOUNT, 0, 0));
        SendMessageA(combo, CB_SETCURSEL, n, 0);
        EXPECT_TRUE(robot_press(dialog, 1005));
        RobotBox box;
        EXPECT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("フォルダ\"" + folder_ + "\"を作成します。よろしいですか？", box.text);
        robot_answer(box, IDYES);
        EXPECT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        size_t prompts = 0, changes = 0;
        for (size_t at = 0; (at = list.find("\nchange ", at)) != std::string::npos; at++)
            changes++;
        bool directx = false;
        DWORD started = GetTickCount();
        while (buttons_of(launcher) != INSTALLED && GetTickCount() - started < (DWORD)WAIT_MS * 2) {
            if (!robot_wait_box(launcher_pid_, 100, &box))
                continue;
            if (box.caption == "ドライブ入替確認" && in_drive_ + 1 < discs_.size()) {
                prompts++;
                insert(in_drive_ + 1);
                robot_answer(box, IDOK);
            } else if (box.caption == "DirectXインストール確認") {
                directx = true;
                robot_answer(box, IDYES);
            } else {
                ADD_FAILURE() << "unexpected box " << box.caption << ": " << box.text;
                break;
            }
            EXPECT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        }
        EXPECT_EQ(INSTALLED, buttons_of(launcher));
        EXPECT_EQ(changes, prompts);
        EXPECT_EQ(path_exists("D:\\DirectX\\dxsetup.exe"), directx);
        if (directx) {
            EXPECT_NE(std::string::npos, read_file(temp_file("dxsetup.log")).find("cwd=[D:\\DirectX]"));
        }
        std::string value;
        EXPECT_TRUE(robot_read_hkcu(key_.c_str(), "exepath", &value));
        EXPECT_EQ(folder_ + header_program(list), std::string(value.c_str()));
        EXPECT_TRUE(robot_read_hkcu(key_.c_str(), "instopt", &value));
        EXPECT_EQ(std::to_string(n), std::string(value.c_str()));
        std::vector<std::string> log = read_lines(folder_ + "instlog.txt");
        for (const std::string &file : logged_files(log))
            EXPECT_TRUE(path_exists(file)) << file;
        EXPECT_TRUE(path_exists(std::string(PROGRAMS) + "\\" + maker_ + "\\" + caption_ + "\\" + title_ + ".lnk"));
        return log;
    }

    // The uninstall leaves nothing the log names but what holds `kept`, no
    // install folder, Start-menu folder or record.
    void uninstall(HWND launcher, const std::vector<std::string> &log, const std::string &kept)
    {
        ASSERT_TRUE(robot_press(launcher, 1003));
        RobotBox box;
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ(caption_ + "をアンインストールします。よろしいですか？", box.text);
        robot_answer(box, IDYES);
        ASSERT_TRUE(robot_wait_gone(box.window, WAIT_MS));
        ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
        EXPECT_EQ("アンインストールしました。", box.text);
        robot_answer(box, IDOK);
        EXPECT_TRUE(wait_until([&] { return buttons_of(launcher) == NOT_INSTALLED; }));
        for (const std::string &line : log) {
            const std::string path = line[0] == ':' ? line.substr(1) : line;
            if (line[0] != '>' && line[0] != '?') {
                EXPECT_EQ(!kept.empty() && kept.compare(0, path.size(), path) == 0, path_exists(path)) << line;
            }
        }
        EXPECT_EQ(kept.empty() ? std::vector<std::string>{} : std::vector<std::string>{"testgame.log"},
                  folder_entries(folder_));
        EXPECT_EQ(std::vector<std::string>{}, folder_entries(PROGRAMS));
        EXPECT_FALSE(key_exists(key_.substr(0, key_.rfind('\\'))));
        remove_folders();
    }

    std::unique_ptr<ProgramsFolder> programs_;
    std::string medium_, caption_, maker_, title_, key_, folder_;
    std::vector<std::string> discs_;
    size_t in_drive_ = (size_t)-1;
};

TEST_P(Example, EachOptionInstallsFromItsDiscsAndUninstallsClean)
{
    ASSERT_NO_FATAL_FAILURE(master(GetParam()));
    const std::string settings = control_text(medium_ + "\\install.txt");
    caption_ = setting(settings, "caption");
    maker_ = setting(settings, "maker");
    title_ = setting(settings, "title");
    const std::string bland = setting(settings, "bland");
    const std::string execmessage = setting(settings, "execmessage");
    key_ = "software\\" + bland + "\\" + title_;
    folder_ = "C:\\Program Files\\" + bland + "\\" + title_ + "\\";
    remove_folders();
    RegDeleteKey932(HKEY_CURRENT_USER, key_.c_str());
    std::vector<std::string> lists;
    for (int n = 0; path_exists(medium_ + "\\filelist" + std::to_string(n) + ".txt"); n++)
        lists.push_back(control_text(medium_ + "\\filelist" + std::to_string(n) + ".txt"));

    for (int n = 0; n < (int)lists.size(); n++) {
        SCOPED_TRACE("option " + std::to_string(n));
        insert(0);
        HWND launcher = open_launcher(nullptr, caption_.c_str());
        ASSERT_NE(nullptr, launcher);
        EXPECT_EQ(NOT_INSTALLED, buttons_of(launcher));
        std::vector<std::string> log = install(launcher, n, (int)lists.size(), lists[n]);
        std::string kept;
        if (n == 0) {
            // The game runs in its folder, after the execmessage if there is one.
            ASSERT_TRUE(robot_press(launcher, 1002));
            RobotBox box;
            if (!execmessage.empty()) {
                ASSERT_TRUE(robot_wait_box(launcher_pid_, WAIT_MS, &box));
                EXPECT_EQ("実行確認", box.caption);
                EXPECT_EQ(execmessage, box.text);
                robot_answer(box, IDOK);
            }
            EXPECT_EQ(0, exit_code_of(launcher_));
            kept = folder_ + "testgame.log";
            EXPECT_TRUE(wait_until([&] { return path_exists(kept); }));
            insert(0);
            launcher = open_launcher(nullptr, caption_.c_str());
            ASSERT_NE(nullptr, launcher);
            EXPECT_EQ(INSTALLED, buttons_of(launcher));
        }
        uninstall(launcher, log, kept);
        robot_close(launcher);
        EXPECT_EQ(0, exit_code_of(launcher_));
    }
}

INSTANTIATE_TEST_SUITE_P(Guide, Example, testing::ValuesIn(good_examples()),
                         [](const testing::TestParamInfo<std::string> &info) {
                             std::string name = info.param;
                             for (char &c : name)
                                 if (c == '-')
                                     c = '_';
                             return name;
                         });

}  // namespace
