// The layout engine of medium-make on trees read from disk: flattening,
// packing onto discs, the lists it writes, option selections and size words.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "control_files.h"
#include "game_tree.h"
#include "core/path_scan.h"
#include "layout.h"
#include "medium_make/make_support.h"
#include "selection.h"

namespace {

using namespace make_test;

const unsigned long long MB = 1048576;

struct Laid {
    GameTree tree;
    MediumPlan plan;
    std::string error;
    int ok;
};

MakeRequest request_of(unsigned long long disc_size, std::vector<OptionRequest> options = {})
{
    MakeRequest r;
    r.title = "Game";
    r.maker = "Maker";
    r.brand = "Brand";
    r.caption = "Caption";
    r.program = "game.exe";
    r.disc_size = disc_size;
    r.options = options.empty() ? std::vector<OptionRequest>{{"すべて", {}}} : options;
    return r;
}

Laid lay_out(const std::vector<std::string> &entries, const MakeRequest &request, int directx = 0)
{
    TempFolder folder;
    make_tree(folder / "g", entries);
    Laid laid;
    std::vector<std::string> refusals;
    EXPECT_TRUE(read_game_tree(folder / "g", &laid.tree, &refusals)) << refusals[0];
    select_options(request.options, &laid.tree);
    FixedCosts fixed = {image_folder_cost("setup") + image_file_cost("installer.exe", 300000), 200000, directx};
    laid.ok = plan_medium(request, laid.tree, fixed, &laid.plan, &laid.error);
    return laid;
}

size_t character_count(const std::string &name)
{
    size_t n = 0;
    for (size_t i = 0; i < name.size(); i += cp932_lead_byte((unsigned char)name[i]) ? 2 : 1)
        n++;
    return n;
}

// "disc name -> target files" of every copied folder, target in UTF-8 terms.
std::vector<std::string> folders_of(const Laid &laid)
{
    std::vector<std::string> out;
    for (const DiscFolder &f : laid.plan.folders)
        out.push_back(std::to_string(f.disc) + " " + f.name + " -> \"" + laid.tree.folders[f.folder].path + "\" "
                      + std::to_string(f.files.size()));
    return out;
}

TEST(Layout, EachFolderIsOneCopiedFolderOfFilesParentsFirstEmptyOnesIncluded)
{
    Laid laid = lay_out({"game.exe", u8"データ/a.txt", u8"データ/音楽/b.ogg=3000", u8"データ/音楽/曲/c.ogg", "empty/",
                         "only/sub/x.txt", ".hidden"},
                        request_of(0));
    ASSERT_TRUE(laid.ok) << laid.error;
    EXPECT_EQ((std::vector<std::string>{"1 0001_(top) -> \"\" 2", "1 0002_empty -> \"empty\" 0",
                                        "1 0003_only -> \"only\" 0", "1 0004_only+sub -> \"only\\sub\" 1",
                                        "1 0005_データ -> \"データ\" 1",
                                        "1 0006_データ+音楽 -> \"データ\\音楽\" 1",
                                        "1 0007_データ+音楽+曲 -> \"データ\\音楽\\曲\" 1"}),
              folders_of(laid));
    EXPECT_EQ("\"すべて\", 1, \"game.exe\"\r\n"
              "\"game\\0001_(top)\" -> \"\"\r\n"
              "\"game\\0002_empty\" -> \"empty\"\r\n"
              "\"game\\0003_only\" -> \"only\"\r\n"
              "\"game\\0004_only+sub\" -> \"only\\sub\"\r\n"
              "\"game\\0005_データ\" -> \"データ\"\r\n"
              "\"game\\0006_データ+音楽\" -> \"データ\\音楽\"\r\n"
              "\"game\\0007_データ+音楽+曲\" -> \"データ\\音楽\\曲\"\r\n",
              laid.plan.options[0].list);
    EXPECT_EQ("caption \"Caption\"\r\nmaker \"Maker\"\r\ntitle \"Game\"\r\nbland \"Brand\"\r\n", laid.plan.settings);
    EXPECT_EQ("", refusal_of_controls(request_of(0), laid.plan));
    ASSERT_EQ(1u, laid.plan.discs.size());
}

TEST(Layout, ALongPathKeepsItsEndInANameOfSixtyFourCharacters)
{
    std::string deep = "aaaaaaaaaaaaaaaaaaaa/bbbbbbbbbbbbbbbbbbbb/cccccccccccccccccccc/" + std::string(u8"ソフトウェア;x");
    Laid laid = lay_out({"game.exe", deep + "/f.txt"}, request_of(0));
    ASSERT_TRUE(laid.ok);
    const std::string &name = laid.plan.folders.back().name;
    EXPECT_EQ("0005_~aaaaaaa+bbbbbbbbbbbbbbbbbbbb+cccccccccccccccccccc+ソフトウェア_x", name);
    EXPECT_EQ(64u, character_count(name));
    EXPECT_EQ("Game_disc2.txt", check_file_name("Game", 2));
    EXPECT_EQ("My_Game__2_disc3.txt", check_file_name("My Game: 2", 3));
    EXPECT_EQ("Game ディスク2", disc_name("Game", 2));
}

// Three discs: the big folder is split over discs 1 and 2 into one target,
// a change stands before each later disc's first folder, the option without
// the movie asks for disc 1 alone, and DirectX goes where each option ends.
TEST(Layout, FoldersArePackedInTreeOrderSplitOverDiscsAndEachOptionAsksOnlyForItsDiscs)
{
    MakeRequest request = request_of(3 * MB, {{"すべて", {}}, {"最小", {{0, "movie"}, {0, "voice"}}}});
    Laid laid = lay_out({"game.exe", "base/a.dat=100000", "movie/1.mpg=700000", "movie/2.mpg=700000",
                         "movie/3.mpg=700000", "movie/4.mpg=700000", "voice/v1.wav=900000", "voice/v2.wav=900000"},
                        request, 1);
    ASSERT_TRUE(laid.ok) << laid.error;
    EXPECT_EQ((std::vector<std::string>{"1 0001_(top) -> \"\" 1", "1 0002_base -> \"base\" 1",
                                        "1 0003_movie -> \"movie\" 2", "2 0003_movie -> \"movie\" 2",
                                        "2 0004_voice -> \"voice\" 1", "3 0004_voice -> \"voice\" 1"}),
              folders_of(laid));
    const MediumPlan &plan = laid.plan;
    ASSERT_EQ(3u, plan.discs.size());
    for (const DiscPlan &disc : plan.discs)
        EXPECT_LE(disc.used, 3 * MB);
    EXPECT_EQ("\"すべて\", 5, \"game.exe\"\r\n"
              "\"game\\0001_(top)\" -> \"\"\r\n"
              "\"game\\0002_base\" -> \"base\"\r\n"
              "\"game\\0003_movie\" -> \"movie\"\r\n"
              "change \"Game ディスク2\", \"Game_disc2.txt\"\r\n"
              "\"game\\0003_movie\" -> \"movie\"\r\n"
              "\"game\\0004_voice\" -> \"voice\"\r\n"
              "change \"Game ディスク3\", \"Game_disc3.txt\"\r\n"
              "\"game\\0004_voice\" -> \"voice\"\r\n",
              plan.options[0].list);
    EXPECT_EQ("\"最小\", 1, \"game.exe\"\r\n\"game\\0001_(top)\" -> \"\"\r\n\"game\\0002_base\" -> \"base\"\r\n",
              plan.options[1].list);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), plan.options[0].discs);
    EXPECT_EQ((std::vector<int>{1}), plan.options[1].discs);
    EXPECT_EQ((std::vector<int>{1, 0, 1}), (std::vector<int>{plan.discs[0].directx, plan.discs[1].directx,
                                                             plan.discs[2].directx}));
    EXPECT_EQ("", refusal_of_controls(request, plan));

    // The same tree and request give the same plan.
    Laid again = lay_out({"game.exe", "base/a.dat=100000", "movie/1.mpg=700000", "movie/2.mpg=700000",
                          "movie/3.mpg=700000", "movie/4.mpg=700000", "voice/v1.wav=900000", "voice/v2.wav=900000"},
                         request, 1);
    EXPECT_EQ(folders_of(laid), folders_of(again));
    EXPECT_EQ(plan.options[1].list, again.plan.options[1].list);
}

TEST(Layout, AFileLargerThanADiscIsRefusedWithTheSizes)
{
    Laid laid = lay_out({"game.exe", "movie/big.mpg=2000000"}, request_of(2 * MB));
    EXPECT_FALSE(laid.ok);
    EXPECT_EQ("movie/big.mpg: 2000000 bytes do not fit on a disc of 2097152 bytes, which has room for 1545648 "
              "bytes of files in one folder",
              laid.error);
}

// Files an option copies in part of a folder go into a copied folder of
// their own; an option that needs the folder only to reach a child gets an
// empty one.
TEST(Layout, OptionsSplitAFolderByWhatEachCopies)
{
    MakeRequest request = request_of(0, {{"全部", {}}, {"音だけ", {{1, "game.exe"}, {1, "data/sound"}}}});
    Laid laid = lay_out({"game.exe", "data/big.pak=5", "data/sound/s.wav=1048577"}, request);
    ASSERT_TRUE(laid.ok);
    EXPECT_EQ((std::vector<std::string>{"1 0001_(top) -> \"\" 1", "1 0002_data -> \"data\" 1",
                                        "1 0003_data -> \"data\" 0", "1 0004_data+sound -> \"data\\sound\" 1"}),
              folders_of(laid));
    EXPECT_EQ(1u, laid.plan.folders[1].options);
    EXPECT_EQ(2u, laid.plan.folders[2].options);
    EXPECT_EQ(2, laid.plan.options[0].megabytes);      // 1,048,589 bytes, rounded up
    EXPECT_EQ(2, laid.plan.options[1].megabytes);
    EXPECT_EQ(3, laid.plan.options[1].statements);
}

TEST(Selection, GlobsMatchNamesPathsAndEverythingBelowAFolder)
{
    struct Case {
        const char *glob, *path;
        int matches;
    } cases[] = {
        {"movie", "movie\\a.mpg", 1},        {"movie/", "movie\\a.mpg", 1},      {"movie", "movies\\a.mpg", 0},
        {"*.mpg", "a.mpg", 1},               {"*.mpg", "movie\\a.mpg", 0},       {"**/*.mpg", "movie\\a.mpg", 1},
        {"**/*.mpg", "a.mpg", 1},            {"movie/*", "movie\\x\\a.mpg", 1},  {"m?vie", "movie\\a", 1},
        {"データ/?.txt", "データ\\表.txt", 1}, {"データ\\*", "データ\\表.txt", 1}, {"表", "データ\\表", 0},
        {"**", "a\\b", 1},                   {"a/**/c", "a\\c", 1},              {"a/**/c", "a\\b\\x\\c", 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.matches, glob_matches(c.glob, c.path)) << c.glob << " " << c.path;
    OptionRequest includes = {"", {{1, "game"}}};
    OptionRequest mixed = {"", {{0, "movie"}, {1, "movie/op.mpg"}}};
    EXPECT_EQ((std::vector<int>{1, 0}), (std::vector<int>{option_selects(includes, "game\\x"),
                                                           option_selects(includes, "movie\\x")}));
    EXPECT_EQ((std::vector<int>{1, 0, 1}), (std::vector<int>{option_selects(mixed, "game.exe"),
                                                              option_selects(mixed, "movie\\ed.mpg"),
                                                              option_selects(mixed, "movie\\op.mpg")}));
}

}  // namespace
