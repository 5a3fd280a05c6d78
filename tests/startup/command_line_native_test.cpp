// The start-up's text work: the arguments behind the program name, the
// temporary folder, and the command line of a process started in our place.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "core/command_line.h"

namespace {

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    const struct {
        const char *line;
        const char *tail;
    } cases[] = {
        {"", ""},
        {"installer.exe", ""},
        {"installer.exe   ", ""},
        {"installer.exe \t\r\n\x01 ", ""},
        {"\"D:\\setup\\installer.exe\"", ""},
        {"\"D:\\setup\\installer.exe\"    ", ""},
        {"C:\\windows\\temp\\installer.exe D:\\setup\\installer.exe", "D:\\setup\\installer.exe"},
        {"\"C:\\my dir\\installer.exe\" D:\\a b\\installer.exe", "D:\\a b\\installer.exe"},
        {"\"C:\\x\"D:\\y", "D:\\y"},
        {"\"unclosed quote", ""},
        {"a  b  c", "b  c"},
        // A Shift-JIS name: its bytes above 0x7F are name bytes, not blanks.
        {"C:\\ソフト\\installer.exe \x83\x5C\x83\x74\x83\x67", "\x83\x5C\x83\x74\x83\x67"},
        {"   leading", "leading"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(c.tail, command_tail(c.line)) << "line: " << c.line;
}

TEST(ComposeTempDir, AppendsTempToTheWindowsFolder)
{
    char out[260];
    ASSERT_EQ(1, compose_temp_dir("C:\\windows", out, sizeof out));
    EXPECT_STREQ("C:\\windows\\temp\\", out);
    ASSERT_EQ(1, compose_temp_dir("C:\\", out, sizeof out));
    EXPECT_STREQ("C:\\temp\\", out);
}

TEST(ComposeTempDir, RefusesAWindowsFolderTooLongForThePath)
{
    char out[260];
    memset(out, 'x', sizeof out);
    std::string longest(253, 'w');   // 253 + "\temp\" = 259 bytes: fits
    ASSERT_EQ(1, compose_temp_dir(longest.c_str(), out, sizeof out));
    EXPECT_EQ(259u, strlen(out));
    std::string too_long(254, 'w');
    EXPECT_EQ(0, compose_temp_dir(too_long.c_str(), out, sizeof out));
    EXPECT_STREQ("", out);
    // A guard byte behind a small buffer stays untouched.
    char small[9];
    small[8] = '#';
    EXPECT_EQ(0, compose_temp_dir("C:\\windows", small, 8));
    EXPECT_EQ('#', small[8]);
}

TEST(ComposeFilePath, JoinsFolderAndNameWithinTheBuffer)
{
    char out[260];
    ASSERT_EQ(1, compose_file_path("C:\\windows\\temp\\", "installer.exe", out, sizeof out));
    EXPECT_STREQ("C:\\windows\\temp\\installer.exe", out);
    std::string folder(247, 'f');     // 247 + 13 = 260: one byte too many
    EXPECT_EQ(0, compose_file_path(folder.c_str(), "installer.exe", out, sizeof out));
    folder.pop_back();
    EXPECT_EQ(1, compose_file_path(folder.c_str(), "installer.exe", out, sizeof out));
}

TEST(JoinArguments, JoinsWithSingleSpacesWithoutQuotes)
{
    char out[64];
    const char *two[] = {"C:\\windows\\temp\\installer.exe", "D:\\a b\\installer.exe"};
    ASSERT_EQ(1, join_arguments(two, 2, out, sizeof out));
    EXPECT_STREQ("C:\\windows\\temp\\installer.exe D:\\a b\\installer.exe", out);
    ASSERT_EQ(1, join_arguments(nullptr, 0, out, sizeof out));
    EXPECT_STREQ("", out);
    const char *one[] = {"x"};
    ASSERT_EQ(1, join_arguments(one, 1, out, sizeof out));
    EXPECT_STREQ("x", out);
    char tight[8];
    const char *fits[] = {"abc", "def"};      // 7 bytes and the zero
    EXPECT_EQ(1, join_arguments(fits, 2, tight, sizeof tight));
    const char *over[] = {"abc", "defg"};
    EXPECT_EQ(0, join_arguments(over, 2, tight, sizeof tight));
    EXPECT_STREQ("", tight);
}

TEST(QuoteIfBlank, QuotesOnlyAPathWithABlank)
{
    char out[64];
    ASSERT_EQ(1, quote_if_blank("C:\\windows\\temp\\installer.exe", out, sizeof out));
    EXPECT_STREQ("C:\\windows\\temp\\installer.exe", out);
    ASSERT_EQ(1, quote_if_blank("C:\\Win Dir\\temp\\installer.exe", out, sizeof out));
    EXPECT_STREQ("\"C:\\Win Dir\\temp\\installer.exe\"", out);
    // The quoted word reads back as the program name.
    std::string line = std::string(out) + " D:\\setup\\installer.exe";
    EXPECT_STREQ("D:\\setup\\installer.exe", command_tail(line.c_str()));
    char tight[5];
    EXPECT_EQ(0, quote_if_blank("a b c", tight, sizeof tight));
}

}  // namespace
