// The built medium-make on trees on disk: every refusal with its text and
// exit code and nothing written, a medium made whole and checked clean, and
// the same tree giving the same discs.
#include <cstdio>
#include <string.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "medium_make/make_support.h"

namespace {

using namespace make_test;

std::vector<std::string> base_arguments(const TempFolder &t)
{
    return {t / "g", t / "out", "--title", "Game", "--maker", "Maker", "--brand", "Brand", "--caption", "Caption",
            "--program", "game.exe", "--installer", t / "installer.exe"};
}

std::vector<std::string> with(std::vector<std::string> words, const std::vector<std::string> &more)
{
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// Nothing of OUT_DIR, whole or in part, beside the tree and the program.
void expect_nothing_written(const TempFolder &t)
{
    EXPECT_EQ((std::vector<std::string>{"g", "installer.exe"}), listing(t.path()));
}

struct Refusal {
    const char *name;
    std::vector<std::string> tree;                  // besides game.exe
    std::vector<std::string> arguments;             // besides the base ones
    std::function<void(const TempFolder &)> more;   // what make_tree cannot make
    int code;
    std::string said;                               // a line of what it prints
};

std::string long_name(char c, size_t n)
{
    return std::string(n, c);
}

// Folders enough for a list beyond what the installer reads.
std::vector<std::string> many_folders(void)
{
    std::vector<std::string> folders;
    for (int n = 0; n < 450; n++)
        folders.push_back(long_name('f', 90) + std::to_string(n) + "/");
    return folders;
}

TEST(MediumMake, EachRefusalNamesItsPathExitsWithItsCodeAndWritesNothing)
{
    std::vector<Refusal> cases = {
        {"list too long", many_folders(), {}, nullptr, 2,
         "bytes; the installer reads only the first 65536 (fewer folders in the option, or shorter folder names)"},
        {"name beyond 932", {u8"data/한국.txt"}, {}, nullptr, 2,
         u8"medium-make: error: data/한국.txt: a name code page 932 cannot hold"},
        {"names differing in case", {"data/Read.txt", "data/READ.txt"}, {}, nullptr, 2,
         "medium-make: error: data/Read.txt: differs from \"READ.txt\" only in case; Windows takes them for one name"},
        {"file larger than a disc", {"movie/big.mpg=3000000"}, {"--disc-size", "2097152"}, nullptr, 2,
         "medium-make: error: movie/big.mpg: 3000000 bytes do not fit on a disc of 2097152 bytes"},
        {"path too long", {long_name('a', 200) + "/" + long_name('b', 40) + ".txt"}, {}, nullptr, 2,
         "medium-make: error: C:\\Program Files\\Brand\\Game\\" + long_name('a', 200) + "\\" + long_name('b', 40)
             + ".txt: 273 bytes in the default install folder; the installer takes 259 at the most"},
        {"symbolic link", {"data/a.txt"}, {},
         [](const TempFolder &t) { ASSERT_EQ(0, symlink("a.txt", (t / "g/data/link.txt").c_str())); }, 2,
         "medium-make: error: data/link.txt: a symbolic link; put the file or folder itself in the tree"},
        {"no file", {"data/"}, {}, [](const TempFolder &t) { ASSERT_EQ(0, mkfifo((t / "g/data/pipe").c_str(), 0644)); },
         2, "medium-make: error: data/pipe: neither a file nor a folder"},
        {"name Windows drops", {"data/readme."}, {}, nullptr, 2,
         "medium-make: error: data/readme.: a name ending in a dot or a blank, which Windows drops"},
        {"device name", {"data/con.txt"}, {}, nullptr, 2, "medium-make: error: data/con.txt: a device name of Windows"},
        {"program missing", {}, {"--program", "start.exe"}, nullptr, 2,
         "medium-make: error: --program start.exe: no such file in the game folder"},
        {"shortcut target missing", {}, {"--shortcut", u8"説明書=manual/readme.txt"}, nullptr, 2,
         u8"medium-make: error: --shortcut 説明書=manual\\readme.txt: no such file in the game folder"},
        {"six shortcuts", {}, {"--shortcut", "1=game.exe", "--shortcut", "2=game.exe", "--shortcut", "3=game.exe",
                               "--shortcut", "4=game.exe", "--shortcut", "5=game.exe", "--shortcut", "6=game.exe"},
         nullptr, 2, "medium-make: error: 6 shortcuts: the installer makes 5 at the most besides the game's own"},
        {"option without the program", {"movie/a.mpg"}, {"--option", u8"ムービー", "--include", "movie"}, nullptr, 2,
         u8"medium-make: error: --option \"ムービー\" does not copy the program game.exe"},
        {"keyword in a value", {}, {"--caption", u8"はじめての title ゲーム"}, nullptr, 2,
         u8"medium-make: error: install.txt: the installer would stop with \"文字列が来るべきところに文字列が来ませんでした。\""},
        {"double quote in a value", {}, {"--maker", "The \"Maker\""}, nullptr, 2,
         "medium-make: error: --maker \"The \"Maker\"\": a double quote, which a quoted string of a control file "
         "cannot hold"},
        {"record key too long", {}, {"--brand", long_name('b', 250)}, nullptr, 2,
         u8"medium-make: error: install.txt: the installer would stop with \"bland文とtitle文が長すぎてレジストリのキーを作れません。\""},
        {"output not empty", {}, {},
         [](const TempFolder &t) { make_tree(t / "out", {"old.txt"}); }, 2,
         "/out: OUT_DIR exists and is not an empty folder"},
        {"name the disc image refuses", {"data/save;1.dat"}, {}, nullptr, 3,
         "[image-name-character]"},
        {"wrong command line", {}, {"--disc-size", "floppy"}, nullptr, 1,
         "medium-make: --disc-size floppy: give cd650, cd700, dvd5, dvd9 or a number of bytes"},
    };
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        make_tree(t / "g", with({"game.exe"}, c.tree));
        make_tree(t.path(), {"installer.exe=1000"});
        if (c.more)
            c.more(t);
        MakeRun run = run_make(with(base_arguments(t), c.arguments));
        EXPECT_EQ(c.code, run.code) << run.output;
        EXPECT_NE(std::string::npos, run.output.find(c.said)) << run.output;
        if (strcmp(c.name, "output not empty") == 0) {
            EXPECT_EQ((std::vector<std::string>{"old.txt"}), listing(t / "out"));
            continue;
        }
        if (c.code != 1) {
            EXPECT_NE(std::string::npos, run.output.find("nothing written")) << run.output;
        }
        expect_nothing_written(t);
    }
}

// A 256 x 256 picture of 24 bits, as the launcher shows it whole.
std::string splash_picture(void)
{
    std::string bmp(54, '\0');
    unsigned header[] = {0, 0, 54, 40, 256, 256};
    bmp[0] = 'B';
    bmp[1] = 'M';
    unsigned size = 54 + 256 * 256 * 3;
    memcpy(&bmp[2], &size, 4);
    memcpy(&bmp[10], &header[2], 4);
    memcpy(&bmp[14], &header[3], 4);
    memcpy(&bmp[18], &header[4], 4);
    memcpy(&bmp[22], &header[5], 4);
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp + std::string(256 * 256 * 3, '\x40');
}

TEST(MediumMake, MakesEveryDiscCheckedCleanTheSameEachTime)
{
    TempFolder t;
    make_tree(t / "g", {"game.exe", u8"データ/表.txt", u8"ムービー/1.mpg=900000", u8"ムービー/2.mpg=900000", "empty/",
                        "manual/readme.txt"});
    make_tree(t.path(), {"installer.exe=1000", "dx/dxsetup.exe", "dx/sub/a.dll"});
    FILE *f = fopen((t / "comment.txt").c_str(), "wb");
    fputs(u8"ようこそ。\nゲームです。\n", f);
    fclose(f);
    f = fopen((t / "splash.bmp").c_str(), "wb");
    std::string bmp = splash_picture();
    fwrite(bmp.data(), 1, bmp.size(), f);
    fclose(f);
    std::vector<std::string> words = with(base_arguments(t), {
        "--execmessage", u8"CDを入れたままにしてください。", "--comment", t / "comment.txt", "--splash",
        t / "splash.bmp", "--directx", t / "dx", "--shortcut", u8"説明書=manual/readme.txt", "--option", u8"すべて",
        "--option", u8"最小", "--exclude", u8"ムービー", "--disc-size", "2000000"});
    MakeRun run = run_make(words);
    ASSERT_EQ(0, run.code) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("2 discs of 2,000,000 bytes")) << run.output;
    EXPECT_EQ((std::vector<std::string>{"comment.txt", "filelist0.txt", "filelist1.txt", "game", "install.txt",
                                        "installer.bmp", "installer.exe"}),
              listing(t / "out/disc1/setup"));
    EXPECT_EQ((std::vector<std::string>{"DirectX", "Game_disc2.txt", "game"}), listing(t / "out/disc2"));
    EXPECT_EQ((std::vector<std::string>{"DirectX", "setup"}), listing(t / "out/disc1"));
    EXPECT_EQ((std::vector<std::string>{"dxsetup.exe", "sub"}), listing(t / "out/disc2/DirectX"));
    EXPECT_EQ("caption \"Caption\"\r\nmaker \"Maker\"\r\nexecmessage \"CDを入れたままにしてください。\"\r\n"
              "title \"Game\"\r\nbland \"Brand\"\r\n",
              read_bytes(t / "out/disc1/setup/install.txt"));
    EXPECT_EQ("ようこそ。\r\nゲームです。\r\n", read_bytes(t / "out/disc1/setup/comment.txt"));
    EXPECT_EQ("Game ディスク2\r\n", read_bytes(t / "out/disc2/Game_disc2.txt"));
    EXPECT_EQ("\"すべて\", 2, \"game.exe\"\r\n"
              "shortcut \"説明書\", \"manual\\readme.txt\"\r\n"
              "\"game\\0001_(top)\" -> \"\"\r\n"
              "\"game\\0002_empty\" -> \"empty\"\r\n"
              "\"game\\0003_manual\" -> \"manual\"\r\n"
              "\"game\\0004_データ\" -> \"データ\"\r\n"
              "\"game\\0005_ムービー\" -> \"ムービー\"\r\n"
              "change \"Game ディスク2\", \"Game_disc2.txt\"\r\n"
              "\"game\\0005_ムービー\" -> \"ムービー\"\r\n",
              read_bytes(t / "out/disc1/setup/filelist0.txt"));
    EXPECT_EQ((std::vector<std::string>{"1.mpg"}), listing(t / u8"out/disc1/setup/game/0005_ムービー"));
    EXPECT_EQ((std::vector<std::string>{"2.mpg"}), listing(t / u8"out/disc2/game/0005_ムービー"));
    EXPECT_EQ("\"最小\", 1, \"game.exe\"\r\n"
              "shortcut \"説明書\", \"manual\\readme.txt\"\r\n"
              "\"game\\0001_(top)\" -> \"\"\r\n"
              "\"game\\0002_empty\" -> \"empty\"\r\n"
              "\"game\\0003_manual\" -> \"manual\"\r\n"
              "\"game\\0004_データ\" -> \"データ\"\r\n",
              read_bytes(t / "out/disc1/setup/filelist1.txt"));
    std::string checker = std::string(MEDIUM_MAKE_PROGRAM);
    checker = checker.substr(0, checker.rfind('/')) + "/medium-check";
    // Clean but for the stand-in program, which is no installer.
    EXPECT_EQ(1 << 8, system((checker + " '" + t / "out/disc1/setup' '" + t / "out/disc2' >'" + t / "report.txt'").c_str()));
    const std::string report = read_bytes(t / "report.txt");
    EXPECT_NE(std::string::npos, report.find("[program-kind]")) << report;
    EXPECT_NE(std::string::npos, report.find(u8"エラー0件、警告1件")) << report;
    std::remove((t / "report.txt").c_str());

    words[1] = t / "again";
    ASSERT_EQ(0, run_make(words).code);
    EXPECT_EQ(0, system(("diff -r '" + t / "out' '" + t / "again'").c_str()));
    EXPECT_EQ((std::vector<std::string>{"again", "comment.txt", "dx", "g", "installer.exe", "out", "splash.bmp"}),
              listing(t.path()));
}

TEST(MediumMake, DryRunPrintsThePlanAndAShortMarginWarnsWithoutWriting)
{
    TempFolder t;
    make_tree(t / "g", {"game.exe", long_name('a', 200) + "/" + long_name('b', 20) + ".txt"});
    make_tree(t.path(), {"installer.exe=1000"});
    MakeRun run = run_make(with(base_arguments(t), {"--dry-run"}));
    EXPECT_EQ(0, run.code) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("medium-make: warning: C:\\Program Files\\Brand\\Game\\"
                                                 + long_name('a', 200) + "\\" + long_name('b', 20)
                                                 + ".txt: 253 bytes; it leaves 6 bytes under the default install"))
        << run.output;
    EXPECT_NE(std::string::npos, run.output.find("  disc 1  0001_(top) -> (install folder)  1 files, 1 bytes, options 0"));
    EXPECT_NE(std::string::npos, run.output.find("(dry run: nothing written): 1 disc, one disc holds everything"));
    expect_nothing_written(t);
}

}  // namespace
