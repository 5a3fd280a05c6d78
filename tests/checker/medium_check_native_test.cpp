// medium-check built natively, run as a program over media made in a temp
// folder: each medium gets exactly its report and exit code. The mastering
// command refuses with that report, and the names it lets through reach the
// image as written.
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "checker/checker_media.h"
#include "checker/checker_run.h"

namespace fs = std::filesystem;

namespace {

// A code page 932 name as this file system spells it.
std::string utf8_name(const std::string &cp932)
{
    return to_utf8(cp932, "CP932");
}

class TempMedium {
public:
    explicit TempMedium(const std::vector<checker_media::MediumFile> &files)
    {
        char pattern[] = "/tmp/medium-check-XXXXXX";
        root_ = mkdtemp(pattern);
        for (const checker_media::MediumFile &file : files) {
            fs::path path = root_ / utf8_name(file.path);
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

// An empty brand is a setting the installer takes: its folders have no
// empty name, so the medium checks clean.
TEST(MediumCheckSample, AnEmptyBrandChecksClean)
{
    TempMedium medium(checker_media::medium(
        {{"setup/install.txt", "caption \"検査製品\"\nmaker \"検査工房\"\ntitle \"CheckGame\"\nbland \"\"\n"}}));
    CheckerRun run = run_checker(medium.setup());
    EXPECT_EQ(u8"エラー0件、警告0件\n", run.out);
    EXPECT_EQ(0, run.code);
}

TEST(MediumCheckDiscs, ADiskChangeIsAnsweredByTheDiscHoldingItsCheckFile)
{
    using checker_media::list_with;
    TempMedium first(checker_media::medium(
        {{"setup/filelist0.txt", list_with("change \"ディスク2\", \"checkgame2.txt\"\n\"データ\" -> \"\"\n")}}));
    const std::string long_name(65, 'x');
    TempMedium second({{"checkgame2.txt", "2"}, {"データ/説明.txt", "x"}, {"データ/" + long_name, "x"}});
    CheckerRun alone = run_checker(first.setup());
    EXPECT_EQ(u8"filelist0.txt:3:17: warning: 確認ファイル\"D:\\checkgame2.txt\"がメディアのどのフォルダにもありません。"
              u8"インストーラはディスクを求め続けます。 [check-file-missing]\n"
              u8"filelist0.txt:4:1: error: コピー元フォルダ\"D:\\データ\\\"にアクセス出来ません。 [source-missing]\n"
              u8"エラー1件、警告1件\n",
              alone.out);
    // With the second disc its folder is the source, and its names are held
    // to the image's rules too.
    CheckerRun both = run_checker(first.setup() + " " + second.root().string());
    EXPECT_EQ(u8"D:\\データ\\" + long_name + u8": error: 2枚目のディスクの名前が65文字あります。"
              u8"CDのイメージ（Joliet）に入る名前は64文字までです。 [image-name-too-long]\n"
              u8"エラー1件、警告0件\n",
              both.out);
    EXPECT_EQ(2, both.code);
}

// DirectX setup is looked for on the disc in the drive when an option's
// copy ends: option 0 ends on disc 2 (its last change), option 1 on disc 1.
TEST(MediumCheckDiscs, ADirectXFolderOffTheDiscAnOptionEndsOnIsReportedForThatOption)
{
    using checker_media::list_with;
    const std::string option0 = u8"filelist0.txt:3:1: warning: オプション「標準」（filelist0.txt）は2枚目のディスクで"
                                u8"コピーを終えますが、そのディスクにはDirectX\\dxsetup.exeがありません。"
                                u8"このオプションではDirectXのインストールを聞かれません。 [directx-placement]\n";
    const std::string option1 = u8"filelist1.txt: warning: オプション「標準」（filelist1.txt）は1枚目のディスクで"
                                u8"コピーを終えますが、そのディスクにはDirectX\\dxsetup.exeがありません。"
                                u8"このオプションではDirectXのインストールを聞かれません。 [directx-placement]\n";
    struct Placement {
        int on_first, on_second;            // where DirectX\dxsetup.exe lies
        std::string report;
    };
    const std::vector<Placement> placements = {
        {0, 0, u8"エラー0件、警告0件\n"},
        {1, 1, u8"エラー0件、警告0件\n"},
        {1, 0, option0 + u8"エラー0件、警告1件\n"},
        {0, 1, option1 + u8"エラー0件、警告1件\n"},
    };
    for (const Placement &p : placements) {
        SCOPED_TRACE(p.on_first * 10 + p.on_second);
        std::vector<checker_media::MediumFile> first_files = {
            {"setup/filelist0.txt", list_with("change \"ディスク2\", \"checkgame2.txt\"\n\"data2\" -> \"\"\n")},
            {"setup/filelist1.txt", checker_media::LIST}};
        std::vector<checker_media::MediumFile> second_files = {{"checkgame2.txt", "2"}, {"data2/readme.txt", "2"}};
        if (p.on_first)
            first_files.push_back({"DirectX/dxsetup.exe", "MZ"});
        if (p.on_second)
            second_files.push_back({"DirectX/dxsetup.exe", "MZ"});
        TempMedium first(checker_media::medium(first_files));
        TempMedium second(second_files);
        CheckerRun run = run_checker(first.setup() + " " + second.root().string());
        EXPECT_EQ(p.report, run.out);
    }
}

TEST(MediumCheckUsage, AMissingFolderIsACommandLineError)
{
    EXPECT_EQ(2, run_checker("/nonexistent-medium 2>/dev/null").code);
    EXPECT_EQ(2, run_checker("2>/dev/null").code);
}

// ---- mastering ----

unsigned le32(const std::string &bytes, size_t at)
{
    const unsigned char *p = (const unsigned char *)bytes.data() + at;
    return p[0] | p[1] << 8 | p[2] << 16 | (unsigned)p[3] << 24;
}

// Every path of an image's Joliet tree, the names Windows reads, in UTF-8;
// folders end in '/'.
std::set<std::string> joliet_paths(const std::string &image)
{
    std::set<std::string> paths;
    FILE *file = fopen(image.c_str(), "rb");
    if (!file)
        return paths;
    auto read = [file](unsigned sector, unsigned bytes) {
        std::string data(bytes, '\0');
        fseek(file, (long)sector * 2048, SEEK_SET);
        data.resize(fread(&data[0], 1, bytes, file));
        return data;
    };
    std::function<void(unsigned, unsigned, const std::string &)> walk =
        [&](unsigned sector, unsigned size, const std::string &folder) {
            std::string records = read(sector, size);
            for (size_t at = 0; at < records.size();) {
                unsigned length = (unsigned char)records[at];
                if (length == 0) {                  // records never cross a sector
                    at = (at / 2048 + 1) * 2048;
                    continue;
                }
                unsigned name_length = (unsigned char)records[at + 32];
                std::string name = to_utf8(records.substr(at + 33, name_length), "UTF-16BE");
                bool is_folder = records[at + 25] & 2;
                if (name_length > 1 || (records[at + 33] != 0 && records[at + 33] != 1)) {
                    paths.insert(folder + name + (is_folder ? "/" : ""));
                    if (is_folder)
                        walk(le32(records, at + 2), le32(records, at + 10), folder + name + "/");
                }
                at += length;
            }
        };
    // The Joliet volume descriptor: type 2 with a UCS-2 escape sequence.
    for (unsigned sector = 16; sector < 32; sector++) {
        std::string descriptor = read(sector, 2048);
        if (descriptor.size() < 2048 || (unsigned char)descriptor[0] == 255)
            break;
        if (descriptor[0] == 2 && descriptor.compare(88, 2, "%/") == 0) {
            walk(le32(descriptor, 158), le32(descriptor, 166), "");
            break;
        }
    }
    fclose(file);
    return paths;
}

std::set<std::string> folder_paths(const fs::path &root)
{
    std::set<std::string> paths;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(root))
        paths.insert(fs::relative(entry.path(), root).string() + (entry.is_directory() ? "/" : ""));
    return paths;
}

std::string master_medium(const std::string &arguments)
{
    return std::string(PROJECT_SOURCE_DIR_TEXT) + "/scripts/master-medium " + arguments;
}

class MasterMedium : public testing::Test {
protected:
    void SetUp() override
    {
        if (system("command -v genisoimage >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "genisoimage is not installed (scripts/install-deps installs it)";
    }
};

// Names at each limit of the rules (64 characters, Japanese among them; a
// folder seven levels down; one name of its kind) and one step beyond each.
std::vector<checker_media::MediumFile> medium_with_names(int beyond)
{
    return checker_media::medium(
        {{"extra/説明書" + std::string(57 + beyond, 'n') + ".txt", "name"},
         {beyond ? "extra/1/2/3/4/5/6/7/deeper.txt" : "extra/1/2/3/4/5/6/deepest.txt", "depth"},
         {beyond ? "extra/save;1.dat" : "extra/save_1.dat", "character"},
         {"extra/Readme.txt", "case"},
         {beyond ? "extra/README.TXT" : "extra/README1.TXT", "case"}});
}

std::string primary_tree(const std::string &image)
{
    return run_command("isoinfo -f -i " + image).out;
}

TEST_F(MasterMedium, NamesAtTheLimitsReachTheImageAsWindowsReadsThem)
{
    TempMedium medium(medium_with_names(0));
    TempMedium out({});
    const std::string image = (out.root() / "disc.iso").string();
    CheckerRun run = run_command(master_medium(medium.setup() + " " + image) + " 2>&1");
    ASSERT_EQ(0, run.code) << run.out;
    EXPECT_EQ(folder_paths(medium.root()), joliet_paths(image));
    EXPECT_EQ(std::string::npos, primary_tree(image).find("RR_MOVED"));
}

TEST_F(MasterMedium, NamesBeyondTheLimitsAreRefusedWithTheCheckersReport)
{
    TempMedium medium(medium_with_names(1));
    TempMedium out({});
    const std::string image = (out.root() / "disc.iso").string();
    CheckerRun refused = run_command(master_medium(medium.setup() + " " + image) + " 2>/dev/null");
    EXPECT_EQ(2, refused.code);
    CheckerRun checked = run_checker(medium.setup());
    EXPECT_EQ(checked.out, refused.out);
    EXPECT_NE(std::string::npos, checked.out.find(u8"エラー4件、警告0件")) << checked.out;
    EXPECT_FALSE(fs::exists(image));

    // The format itself would have changed three of those names: Joliet cuts
    // the long name and replaces the ';', ISO 9660 moves the deep folder.
    // (It keeps both names that differ in case; Windows finds only one.)
    const std::string raw = (out.root() / "raw.iso").string();
    ASSERT_EQ(0, system(("genisoimage -quiet -J -r -input-charset utf-8 -o " + raw + " "
                         + medium.root().string()).c_str()));
    std::set<std::string> held = joliet_paths(raw);
    std::set<std::string> written = folder_paths(medium.root());
    std::vector<std::string> lost;
    for (const std::string &path : written)
        if (!held.count(path))
            lost.push_back(path);
    EXPECT_EQ((std::vector<std::string>{"extra/save;1.dat",
                                        utf8_name("extra/説明書" + std::string(58, 'n') + ".txt")}),
              lost);
    EXPECT_NE(std::string::npos, primary_tree(raw).find("/RR_MOVED/7"));
}

// The volume label of an image as ISO 9660 holds it and as Joliet, which
// Windows shows, holds it: "primary/joliet", blanks at the end left out.
std::string volume_labels(const std::string &image)
{
    std::string primary, joliet;
    FILE *file = fopen(image.c_str(), "rb");
    for (unsigned sector = 16; file && sector < 32; sector++) {
        std::string descriptor(2048, '\0');
        fseek(file, (long)sector * 2048, SEEK_SET);
        if (fread(&descriptor[0], 1, 2048, file) != 2048 || (unsigned char)descriptor[0] == 255)
            break;
        if (descriptor[0] == 1)
            primary = descriptor.substr(40, 32);
        if (descriptor[0] == 2 && descriptor.compare(88, 2, "%/") == 0)
            joliet = to_utf8(descriptor.substr(40, 32), "UTF-16BE");
    }
    if (file)
        fclose(file);
    for (std::string *label : {&primary, &joliet})
        label->erase(label->find_last_not_of(' ') + 1);
    return primary + "/" + joliet;
}

TEST_F(MasterMedium, LabelsEachDiscFromTheTitleTheBrandOrTheCommandLine)
{
    struct LabelCase {
        const char *title;          // install.txt's title; bland is "Mihon Soft"
        int discs;
        const char *arguments;      // "{1}" and "{2}" stand for each disc's folder and image
        std::vector<std::string> labels;
    };
    const std::vector<LabelCase> cases = {
        {"FirstGame", 1, "{1}", {"FIRSTGAME"}},
        {"Two-Disc  Game!", 2, "{1} {2}", {"TWO_DISC_GAME_1", "TWO_DISC_GAME_2"}},
        {"はじめてのゲーム", 1, "{1}", {"MIHON_SOFT"}},
        {"A very long title of a game", 2, "{1} {2}", {"A_VERY_LONG_TI_1", "A_VERY_LONG_TI_2"}},
        {"FirstGame", 2, "--label MY_GAME {1} {2}", {"MY_GAME_1", "MY_GAME_2"}},
        {"FirstGame", 2, "--label MY_GAME_ONE {1} --label MY_GAME_TWO {2}", {"MY_GAME_ONE", "MY_GAME_TWO"}},
        {"FirstGame", 2, "{1} --label ENDING {2}", {"FIRSTGAME_1", "ENDING"}},
        {"FirstGame", 1, "--label ABCDEFGHIJKLMNOP {1}", {"ABCDEFGHIJKLMNOP"}},
    };
    for (const LabelCase &c : cases) {
        SCOPED_TRACE(c.arguments + std::string(" ") + c.title);
        TempMedium medium(checker_media::medium(
            {{"setup/install.txt", std::string("caption \"c\"\nmaker \"m\"\ntitle \"") + c.title
                                       + "\"\nbland \"Mihon Soft\"\n"}}));
        TempMedium second({{"movie/ending.mpg", std::string("x")}});
        TempMedium out({});
        std::string arguments = c.arguments;
        const std::string pairs[] = {medium.setup() + " " + (out.root() / "1.iso").string(),
                                     second.root().string() + " " + (out.root() / "2.iso").string()};
        arguments.replace(arguments.find("{1}"), 3, pairs[0]);
        if (c.discs == 2)
            arguments.replace(arguments.find("{2}"), 3, pairs[1]);
        CheckerRun run = run_command(master_medium(arguments) + " 2>&1");
        ASSERT_EQ(0, run.code) << run.out;
        for (int n = 0; n < c.discs; n++) {
            const std::string image = (out.root() / (std::to_string(n + 1) + ".iso")).string();
            EXPECT_EQ(c.labels[n] + "/" + c.labels[n], volume_labels(image));
            EXPECT_NE(std::string::npos, run.out.find(image + " (")) << run.out;
            EXPECT_NE(std::string::npos, run.out.find(", label " + c.labels[n] + "\n")) << run.out;
        }
    }
}

TEST_F(MasterMedium, ALabelThatNoDiscCanHoldIsRefusedBeforeAnyImage)
{
    TempMedium medium(checker_media::medium({}));
    TempMedium out({});
    const std::string image = (out.root() / "1.iso").string();
    for (const char *label : {"my_game", "GAME-1", "ABCDEFGHIJKLMNOPQ", "ゲーム", "''"}) {
        SCOPED_TRACE(label);
        CheckerRun run = run_command(master_medium(std::string("--label ") + label + " " + medium.setup() + " "
                                                   + image) + " 2>&1");
        EXPECT_EQ(2, run.code);
        EXPECT_NE(std::string::npos, run.out.find("is not 1 to 16 characters of A-Z 0-9 _")) << run.out;
        EXPECT_FALSE(fs::exists(image));
    }
    EXPECT_EQ(2, run_command(master_medium(medium.setup() + " " + image + " --label") + " 2>/dev/null").code);
    // A set's label with its disc's number added must still fit.
    TempMedium second({{"movie/ending.mpg", std::string("x")}});
    CheckerRun run = run_command(master_medium("--label ABCDEFGHIJKLMNO " + medium.setup() + " " + image + " "
                                               + second.root().string() + " " + image + "2") + " 2>&1");
    EXPECT_EQ(2, run.code);
    EXPECT_NE(std::string::npos, run.out.find("label 'ABCDEFGHIJKLMNO_1' for disc 1 is over 16 characters"))
        << run.out;
    EXPECT_FALSE(fs::exists(image));
}

}  // namespace
