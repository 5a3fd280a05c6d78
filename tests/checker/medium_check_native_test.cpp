// medium-check built natively, run as a program over media made in a temp
// folder: each medium gets exactly its report and exit code.
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "checker/checker_media.h"

namespace fs = std::filesystem;

namespace {

struct CheckerRun {
    std::string out;
    int code;
};

CheckerRun run_checker(const std::string &arguments)
{
    CheckerRun run = {"", -1};
    std::string command = std::string(MEDIUM_CHECK_PROGRAM) + " " + arguments;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class TempMedium {
public:
    explicit TempMedium(const std::vector<checker_media::MediumFile> &files)
    {
        char pattern[] = "/tmp/medium-check-XXXXXX";
        root_ = mkdtemp(pattern);
        for (const checker_media::MediumFile &file : files) {
            fs::path path = root_ / file.path;
            if (file.path.back() == '/') {
                fs::create_directories(path);
                continue;
            }
            fs::create_directories(path.parent_path());
            FILE *f = fopen(path.c_str(), "wb");
            fwrite(file.bytes.data(), 1, file.bytes.size(), f);
            fclose(f);
        }
    }
    ~TempMedium() { fs::remove_all(root_); }
    std::string setup() const { return (root_ / "setup").string(); }
    fs::path root() const { return root_; }

private:
    fs::path root_;
};

class MediumCheck : public testing::TestWithParam<checker_media::Case> {};

TEST_P(MediumCheck, ReportsEachProblemAtItsPlaceWithTheInstallersMessage)
{
    const checker_media::Case &c = GetParam();
    TempMedium medium(c.files);
    CheckerRun run = run_checker(medium.setup());
    EXPECT_EQ(c.report, run.out);
    EXPECT_EQ(c.exit_code, run.code);
}

INSTANTIATE_TEST_SUITE_P(Media, MediumCheck, testing::ValuesIn(checker_media::cases()),
                         [](const testing::TestParamInfo<checker_media::Case> &info) {
                             return std::string(info.param.name);
                         });

TEST(MediumCheckJson, GivesTheSameFindingAsJson)
{
    for (const checker_media::Case &c : checker_media::cases()) {
        if (std::string(c.name) != "keyword_in_value")
            continue;
        TempMedium medium(c.files);
        CheckerRun run = run_checker("--json " + medium.setup());
        EXPECT_EQ(checker_media::KEYWORD_IN_VALUE_JSON, run.out);
        EXPECT_EQ(2, run.code);
    }
}

TEST(MediumCheckSample, TheSampleMediumWithItsGameChecksClean)
{
    TempMedium medium({});
    fs::copy(fs::path(PROJECT_SOURCE_DIR_TEXT) / "sample/medium", medium.root(),
             fs::copy_options::recursive);
    FILE *game = fopen((medium.root() / "setup/game/testgame.exe").c_str(), "wb");
    fputs("MZ", game);
    fclose(game);
    CheckerRun run = run_checker(medium.setup());
    EXPECT_EQ(u8"エラー0件、警告0件\n", run.out);
    EXPECT_EQ(0, run.code);
}

TEST(MediumCheckUsage, AMissingFolderIsACommandLineError)
{
    EXPECT_EQ(2, run_checker("/nonexistent-medium 2>/dev/null").code);
    EXPECT_EQ(2, run_checker("2>/dev/null").code);
}

}  // namespace
