// The install log's line handling: what goes in comes back line for line,
// and a log the reader cannot take whole is refused, never half-read.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/install_log.h"
#include "support/box_pattern.h"

namespace {

class InstallLog : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/log-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir_ = pattern;
        path_ = dir_ + "/instlog.txt";
    }
    void TearDown() override
    {
        remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    void write_raw(const std::string &bytes)
    {
        FILE *f = fopen(path_.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    std::vector<std::string> read_back()
    {
        LogLines log = {};
        EXPECT_EQ(1, log_read(path_.c_str(), &log));
        std::vector<std::string> lines(log.lines, log.lines + log.count);
        log_free(&log);
        return lines;
    }
    std::string dir_, path_;
};

TEST_F(InstallLog, AppendedLinesReadBackInOrder)
{
    log_create(path_.c_str());
    EXPECT_TRUE(read_back().empty());
    const std::vector<std::string> lines = {
        ":C:\\Game\\data\\", "C:\\Game\\data\\a.bin", ">Caption", "?software\\B\\T", "",
        "C:\\\x83\x5c\x83\x74\x83\x67\\x.txt",   // 'ソフト': a second byte is '\'
    };
    for (const std::string &line : lines)
        log_append(path_.c_str(), line.c_str());
    EXPECT_EQ(lines, read_back());
}

TEST_F(InstallLog, CreateTruncatesAndAppendRecreatesADeletedLog)
{
    log_create(path_.c_str());
    log_append(path_.c_str(), "first");
    log_create(path_.c_str());
    EXPECT_TRUE(read_back().empty());
    remove(path_.c_str());
    log_append(path_.c_str(), "again");
    EXPECT_EQ(std::vector<std::string>{"again"}, read_back());
}

// A crash leaves a write cut short after the last line break: zero bytes or
// a long run of text. Whatever it holds, it is no line.
TEST_F(InstallLog, BytesAfterTheLastLineBreakAreIgnoredWhateverTheyHold)
{
    for (const std::string &tail : {std::string("unfinished"), std::string(4096, '\0'),
                                    std::string(300, 't'), std::string("ab\0cd") + std::string(300, 'x')}) {
        write_raw("one\ntwo\n" + tail);
        EXPECT_EQ((std::vector<std::string>{"one", "two"}), read_back()) << tail.size();
    }
}

TEST_F(InstallLog, LineLengthLimitIsExact)
{
    std::string longest(LOG_LINE_MAX, 'p');
    log_create(path_.c_str());
    log_append(path_.c_str(), longest.c_str());
    EXPECT_EQ(std::vector<std::string>{longest}, read_back());

    static std::string path, too_long;
    path = path_;
    too_long = longest + "p";
    EXPECT_EXIT(log_append(path.c_str(), too_long.c_str()), testing::ExitedWithCode(0),
                fatal_pattern("インストールログに書く行が長すぎます。"));
    EXPECT_EQ(std::vector<std::string>{longest}, read_back());
}

void expect_refused(const std::string &path, const std::string &message)
{
    testing::internal::CaptureStderr();
    LogLines log = {};
    EXPECT_EQ(0, log_read(path.c_str(), &log));
    EXPECT_EQ(0, log.count);
    EXPECT_EQ(nullptr, log.lines);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(box_line_pattern("インストールログ読込失敗", message) + "owner=none\n", said);
}

TEST_F(InstallLog, LogsBeyondTheReadersLimitsAreRefusedWhole)
{
    write_raw("ok\n" + std::string(LOG_LINE_MAX + 1, 'x') + "\n");
    expect_refused(path_, "インストールログに長すぎる行があります。");

    write_raw(std::string("a\nb") + '\0' + "c\n");
    expect_refused(path_, "インストールログが壊れています。");

    std::string many;
    for (int i = 0; i < LOG_LINES_MAX; i++)
        many += "l\n";
    write_raw(many);
    EXPECT_EQ((size_t)LOG_LINES_MAX, read_back().size());
    write_raw(many + "one too many\n");
    expect_refused(path_, "インストールログの行が多すぎます。");
}

TEST_F(InstallLog, TheCompleteLengthEndsAfterTheLastLineBreak)
{
    const struct {
        std::string bytes;
        long long complete;
    } cases[] = {{"", 0}, {"tail", 0}, {"a\r\n", 3}, {"a\nb\n", 4}, {"a\n" + std::string(10, '\0'), 2}};
    for (const auto &c : cases) {
        write_raw(c.bytes);
        FILE *f = fopen(path_.c_str(), "rb");
        EXPECT_EQ(c.complete, log_complete_length(f)) << c.bytes;
        fclose(f);
    }
}

TEST_F(InstallLog, AMissingLogIsReportedAndReadsNothing)
{
    expect_refused(path_, "インストールログが読めません。");
}

TEST_F(InstallLog, CreateAndAppendFailuresEndTheProgram)
{
    static std::string bad;
    bad = dir_ + "/missing/instlog.txt";
    EXPECT_EXIT(log_create(bad.c_str()), testing::ExitedWithCode(0),
                fatal_pattern("インストールログが作れません。"));
    EXPECT_EXIT(log_append(bad.c_str(), "x"), testing::ExitedWithCode(0),
                fatal_pattern("インストールログが作れません。"));
}

}  // namespace
