// The install log on a real Windows file system: text mode puts CR LF on
// disk, and Shift-JIS paths survive the round trip byte for byte.
#include <stdio.h>
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "boundary/open_file.h"
#include "core/install_log.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

namespace {

std::string file_bytes(const char *path)
{
    std::string bytes;
    FILE *f = open_file(path, "rb");
    if (!f)
        return "<missing>";
    int c;
    while ((c = fgetc(f)) != EOF)
        bytes += (char)c;
    fclose(f);
    return bytes;
}

TEST(InstallLogOnDisk, WritesCrLfLinesAndReadsShiftJisPathsBack)
{
    // 'C:\ソフト\' : 0x83 0x5C is one character whose second byte is '\'.
    const char folder[] = "C:\\\x83\x5c\x83\x74\x83\x67";
    CreateDirectory932(folder, NULL);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributes932(folder));
    const std::string log = std::string(folder) + "\\instlog.txt";
    const std::string entry = std::string(folder) + "\\\x83\x5c\x83\x74.txt";

    log_create(log.c_str());
    log_append(log.c_str(), entry.c_str());
    log_append(log.c_str(), ":C:\\x\\");
    EXPECT_EQ(entry + "\r\n:C:\\x\\\r\n", file_bytes(log.c_str()));

    LogLines lines = {};
    ASSERT_EQ(1, log_read(log.c_str(), &lines));
    ASSERT_EQ(2, lines.count);
    EXPECT_EQ(entry, lines.lines[0]);
    EXPECT_STREQ(":C:\\x\\", lines.lines[1]);
    log_free(&lines);

    DeleteFile932(log.c_str());
    RemoveDirectory932(folder);
}

// An install into a folder that already holds a log keeps its whole lines
// and cuts the torn tail; a log the reader refuses is left as it is.
TEST(InstallLogOnDisk, ContinuingKeepsCompleteLinesCutsTheTailAndRefusesABadLog)
{
    const char log[] = "C:\\continued-log.txt";
    DeleteFile932(log);
    ASSERT_EQ(1, log_continue(log));
    EXPECT_EQ("", file_bytes(log));

    FILE *f = open_file(log, "wb");
    fwrite("C:\\a\r\n:C:\\b\\\r\n\0\0\0torn", 1, 21, f);
    fclose(f);
    ASSERT_EQ(1, log_continue(log));
    log_append(log, "C:\\c");
    EXPECT_EQ("C:\\a\r\n:C:\\b\\\r\nC:\\c\r\n", file_bytes(log));

    const std::string bad = "C:\\a\r\n" + std::string(300, 'x') + "\r\n";
    f = open_file(log, "wb");
    fwrite(bad.data(), 1, bad.size(), f);
    fclose(f);
    BoxRobot robot;
    EXPECT_EQ(0, log_continue(log));
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("インストールログ読込失敗", robot.boxes[0].caption);
    EXPECT_EQ("インストールログに長すぎる行があります。", robot.boxes[0].text);
    EXPECT_EQ(bad, file_bytes(log));
    DeleteFile932(log);
}

TEST(InstallLogOnDisk, AnUnreadableLogIsReportedInAnUnownedBox)
{
    BoxRobot robot;
    LogLines lines = {};
    EXPECT_EQ(0, log_read("C:\\no-such-folder\\instlog.txt", &lines));
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("インストールログ読込失敗", robot.boxes[0].caption);
    EXPECT_EQ("インストールログが読めません。", robot.boxes[0].text);
    EXPECT_EQ(nullptr, robot.boxes[0].owner);
}

TEST(InstallLogOnDisk, CreateFailureIsFatal)
{
    EXPECT_EXIT(
        {
            BoxRobot robot;
            log_create("C:\\no-such-folder\\instlog.txt");
        },
        testing::ExitedWithCode(0), fatal_pattern("インストールログが作れません。"));
    EXPECT_EXIT(
        {
            BoxRobot robot;
            log_append("C:\\no-such-folder\\instlog.txt", "line");
        },
        testing::ExitedWithCode(0), fatal_pattern("インストールログが作れません。"));
}

}  // namespace
