// medium-check.exe under Wine over the same media as the native tests: the
// Windows build gives the same report, byte for byte, and the same exit code.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/checker_win32.h"
#include "support/cp932_calls.h"

namespace {

using namespace checker_media;

const char MEDIA[] = "C:\\checker-media";

class MediumCheckExe : public testing::TestWithParam<Case> {};

TEST_P(MediumCheckExe, GivesTheNativeReport)
{
    const Case &c = GetParam();
    std::string root = std::string(MEDIA) + "\\" + c.name;
    remove_tree(root);
    CreateDirectory932(MEDIA, NULL);
    write_medium(root, c.files);
    std::string out;
    EXPECT_EQ(c.exit_code, run_medium_check(root + "\\setup", &out));
    EXPECT_EQ(c.report, out);
    if (std::string(c.name) == "keyword_in_value") {
        EXPECT_EQ(2, run_medium_check("--json " + root + "\\setup", &out));
        EXPECT_EQ(KEYWORD_IN_VALUE_JSON, out);
    }
    remove_tree(root);
}

// Every medium that Wine's case-blind file calls can lay out.
std::vector<Case> wine_cases()
{
    std::vector<Case> kept;
    for (const Case &c : cases())
        if (!c.names_differing_in_case)
            kept.push_back(c);
    return kept;
}

INSTANTIATE_TEST_SUITE_P(Media, MediumCheckExe, testing::ValuesIn(wine_cases()),
                         [](const testing::TestParamInfo<Case> &info) {
                             return std::string(info.param.name);
                         });

void copy_tree(const std::string &from, const std::string &to)
{
    CreateDirectory932(to.c_str(), NULL);
    for (const std::string &name : folder_entries(from)) {
        if (is_folder(from + "\\" + name))
            copy_tree(from + "\\" + name, to + "\\" + name);
        else
            CopyFile932((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
    }
}

TEST(MediumCheckExeSample, TheSampleMediumWithItsGameChecksClean)
{
    std::string sample = std::string("Z:") + PROJECT_SOURCE_DIR_TEXT + "\\sample\\medium";
    for (char &c : sample)
        if (c == '/')
            c = '\\';
    std::string root = std::string(MEDIA) + "\\sample";
    remove_tree(root);
    CreateDirectory932(MEDIA, NULL);
    copy_tree(sample, root);
    ASSERT_TRUE(CopyFile932((build_folder() + "\\testgame.exe").c_str(),
                          (root + "\\setup\\game\\testgame.exe").c_str(), FALSE));
    std::string out;
    EXPECT_EQ(0, run_medium_check(root + "\\setup", &out));
    EXPECT_EQ(u8"エラー0件、警告0件\n", out);
    remove_tree(root);
}

}  // namespace
