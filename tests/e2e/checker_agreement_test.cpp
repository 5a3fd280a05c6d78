// medium-check and the installer agree: a medium the checker passes without
// errors installs from D:\setup with no fatal message, and a medium it
// rejects ends the real installer with one of the messages it reported.
// medium-check.exe and build/installer.exe both run under Wine here; the
// installer is driven through the UI robot as a user would, answering every
// question with yes or OK.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/checker_win32.h"
#include "e2e/e2e_fixture.h"
#include "robot/ui_robot.h"
#include "support/cp932_calls.h"
#include "support/hkcu.h"

namespace {

using namespace checker_media;

const char CAPTION[] = "検査製品";
const char OPTIONS_CAPTION[] = "検査製品のインストール";
const char BRAND_FOLDER[] = "C:\\Program Files\\CheckSoft";
const char PROGRAMS[] = "C:\\checker-programs";
const int INSTALL_MS = 60000;

std::string utf8_of(const std::string &cp932)
{
    wchar_t wide[2048];
    char out[4096];
    int n = MultiByteToWideChar(932, 0, cp932.c_str(), -1, wide, 2048);
    WideCharToMultiByte(CP_UTF8, 0, wide, n, out, sizeof out, NULL, NULL);
    return out;
}

// A message with every "..." part left out: the checker names in quotes
// what the installer's text leaves unnamed (the subfolder it met).
std::string unquoted(const std::string &message)
{
    std::string out;
    bool inside = false;
    for (char c : message) {
        if (c == '"')
            inside = !inside;
        else if (!inside)
            out += c;
    }
    return out;
}

// Whether the report has an error whose message is `fatal`'s, quoted names aside.
bool reports_error(const std::string &report, const std::string &fatal)
{
    const std::string marker = ": error: ";
    for (size_t at = 0; (at = report.find(marker, at)) != std::string::npos; at += marker.size()) {
        size_t start = at + marker.size(), end = report.find(" [", start);
        if (end != std::string::npos && unquoted(report.substr(start, end - start)) == unquoted(fatal))
            return true;
    }
    return false;
}

void clear_install()
{
    remove_tree(BRAND_FOLDER);
    remove_tree(std::string(PROGRAMS) + "\\" + CAPTION);
    RegDeleteKey932(HKEY_CURRENT_USER, "software\\CheckSoft\\CheckGame");
    RegDeleteKey932(HKEY_CURRENT_USER, "software\\CheckSoft");
}

class Agreement : public testing::TestWithParam<const char *> {
protected:
    void SetUp() override
    {
        CreateDirectory932(PROGRAMS, NULL);
        clear_install();
    }

    void TearDown() override
    {
        processes_.end_all(5000);
        clear_install();
        // The medium of the other end-to-end tests: an empty D:\setup.
        remove_tree("D:\\setup");
        remove_tree("D:\\data2");
        CreateDirectory932("D:\\setup", NULL);
    }

    // Starts the installer from the medium and installs into the default
    // folder. The fatal message's text, or "" once the launcher shows the
    // installed state.
    std::string install()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION medium = {};
        if (!CreateProcess932(e2e::MEDIUM_PROGRAM, NULL, NULL, NULL, FALSE, 0, NULL,
                            e2e::MEDIUM_FOLDER, &startup, &medium))
            return "<not started>";
        CloseHandle(medium.hThread);
        processes_.add(medium.hProcess);
        bool pressed_install = false, pressed_start = false;
        for (DWORD started = GetTickCount(); GetTickCount() - started < (DWORD)INSTALL_MS;) {
            RobotBox box;
            if (robot_wait_box(0, 50, &box)) {
                processes_.track(box.process);
                bool yes = false;
                for (int id : box.buttons)
                    yes = yes || id == IDYES;
                robot_answer(box, yes ? IDYES : IDOK);
                if (box.caption == "エラー")
                    return box.text;
                continue;
            }
            HWND launcher = robot_wait_window(CAPTION, "#32770", 0, 0, true);
            HWND options = robot_wait_window(OPTIONS_CAPTION, "#32770", 0, 0, true);
            if (launcher && !pressed_install) {
                processes_.track(robot_process_of(launcher));
                pressed_install = robot_press(launcher, 1001);
            } else if (options && !pressed_start) {
                pressed_start = robot_press(options, 1005);
            } else if (pressed_start && launcher && !options
                       && IsWindowEnabled(GetDlgItem(launcher, 1002))) {
                robot_close(launcher);
                return "";
            }
        }
        return "<no end>";
    }

    ProgramsFolder programs_{PROGRAMS};
    e2e::ProcessList processes_;
};

TEST_P(Agreement, TheInstallerEndsWithAReportedErrorOrInstalls)
{
    const Case *found = nullptr;
    std::vector<Case> all = cases();
    for (const Case &c : all)
        if (std::string(c.name) == GetParam())
            found = &c;
    ASSERT_NE(nullptr, found);
    remove_tree("D:\\setup");
    write_medium("D:", found->files);
    ASSERT_TRUE(CopyFile932((build_folder() + "\\..\\installer.exe").c_str(), e2e::MEDIUM_PROGRAM, FALSE));

    std::string report;
    int code = run_medium_check("D:\\setup", &report);
    ASSERT_EQ(found->exit_code, code) << report;
    std::string fatal = install();
    if (code < 2) {
        EXPECT_EQ("", fatal) << report;
        EXPECT_TRUE(path_exists(std::string(BRAND_FOLDER) + "\\CheckGame\\game.exe"));
    } else {
        ASSERT_NE("", fatal) << report;
        EXPECT_TRUE(reports_error(report, utf8_of(fatal)))
            << "installer: " << utf8_of(fatal) << "\nchecker:\n" << report;
    }
}

INSTANTIATE_TEST_SUITE_P(Media, Agreement,
                         testing::Values("clean", "list_gap", "size_rounded_up", "missing_arrow",
                                         "source_missing", "source_subfolder", "keyword_in_value",
                                         "six_shortcuts", "targets_outside", "shortcut_outside",
                                         "value_not_plain", "invalid_byte_in_settings", "invalid_byte_in_list"),
                         [](const testing::TestParamInfo<const char *> &info) {
                             return std::string(info.param);
                         });

}  // namespace
