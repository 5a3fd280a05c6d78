// Media that medium-make makes from game trees, with --iso, installed by the
// real program from the discs it mastered: every option of each, then an
// uninstall that leaves nothing. Three trees: the guide's worked example,
// made by the guide's own command (a nested tree with Japanese names five
// levels deep, folders holding both files and folders); one spread over
// three discs, with an option that needs only the first; and one with an
// empty folder, a hidden file and a folder larger than a disc.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"
#include "e2e/disc_install.h"
#include "support/publishing_guide.h"

namespace {

using namespace e2e;

struct MadeTree {
    const char *name;
    const char *make_tree;                  // shell commands run in the tree's folder
    std::vector<std::string> arguments;     // after GAME_DIR and OUT_DIR, code page 932
    size_t discs;
    bool run_first;
    const char *left_out;                   // what the second option leaves out of the tree
};

void PrintTo(const MadeTree &tree, std::ostream *os)
{
    *os << tree.name;
}

// The guide's command, its words in code page 932, GAME_DIR and OUT_DIR left out.
std::vector<std::string> guide_arguments()
{
    std::vector<std::string> words = guide::make_command(read_file(source_path("docs/publishing.md")));
    std::vector<std::string> out;
    for (size_t i = 3; i < words.size(); i++) {
        std::wstring wide(words[i].size() + 1, L'\0');
        int n = MultiByteToWideChar(CP_UTF8, 0, words[i].c_str(), -1, &wide[0], (int)wide.size());
        char text[1024];
        EXPECT_TRUE(n > 0 && to_cp932(wide.c_str(), text, sizeof text)) << words[i];
        out.push_back(words[i].compare(0, 10, "docs/made/") == 0 ? std::string("../") + (text + 10) : text);
    }
    return out;
}

const std::vector<MadeTree> &trees()
{
    static const std::vector<MadeTree> all = {
        {"guide", "", guide_arguments(), 1, true, u8"./音声"},
        {"three_discs",
         "mkdir -p base movie && truncate -s 2000 base/a.dat base/b.dat && "
         "truncate -s 1000000 movie/1.mpg movie/2.mpg movie/3.mpg movie/4.mpg",
         {"--title", "ThreeDiscs", "--maker", "見本工房", "--brand", "MihonSoft", "--caption", "三枚組のゲーム",
          "--program", "game.exe", "--option", "すべて", "--option", "最小", "--exclude", "movie",
          "--disc-size", "3000000"},
         3, false, "./movie"},
        {"empty_hidden_big",
         "mkdir -p big empty && truncate -s 100 .hidden && truncate -s 800000 big/1.dat big/2.dat big/3.dat big/4.dat",
         {"--title", "BigFolder", "--maker", "見本工房", "--brand", "MihonSoft", "--caption", "大きなフォルダのゲーム",
          "--program", "game.exe", "--disc-size", "3000000"},
         3, false, ""},
    };
    return all;
}

class MadeMedium : public DiscInstall, public testing::WithParamInterface<MadeTree> {
protected:
    // Makes the tree beside the build's test game as game.exe, then the
    // medium with --iso; the discs go into the drive from there.
    void make(const MadeTree &tree)
    {
        const std::string stage = work_folder() + "\\made\\" + tree.name;
        const std::string unix_stage = unix_path(work_folder()) + "/made/" + tree.name;
        unix_stage_ = unix_stage;
        const std::string program_dir = unix_path(build_folder());
        std::string copy_guide = std::string("cp -r '") + PROJECT_SOURCE_DIR_TEXT + "/docs/made/.' '" + unix_stage
                                 + "/' && cp '" + program_dir + "/dxsetup.exe' '" + unix_stage + "/DirectX/' && ";
        std::string out;
        ASSERT_EQ(0, run_unix("rm -rf '" + unix_stage + "' && mkdir -p '" + unix_stage + "/game' && "
                                  + (tree.make_tree[0] ? "" : copy_guide) + "cp '" + program_dir
                                  + "/testgame.exe' '" + unix_stage + "/game/game.exe' && cd '" + unix_stage
                                  + "/game' && true " + (tree.make_tree[0] ? "&& " : "") + tree.make_tree,
                              &out))
            << out;
        std::string command = std::string("cd '") + unix_stage + "/game' && '" + PROJECT_SOURCE_DIR_TEXT
                              + "/build/native/medium-make' . ../out --iso --installer '" + program_dir
                              + "/../installer.exe'";
        for (const std::string &word : tree.arguments)
            command += " '" + word + "'";
        ASSERT_EQ(0, run_unix(command, &out)) << out;
        std::string check = std::string("'") + PROJECT_SOURCE_DIR_TEXT + "/build/native/medium-check' '" + unix_stage
                            + "/out/disc1/setup'";
        medium_ = stage + "\\out\\disc1\\setup";
        for (size_t n = 1; n <= tree.discs; n++) {
            discs_.push_back(stage + "\\out\\disc" + std::to_string(n) + ".iso");
            EXPECT_TRUE(path_exists(discs_.back()));
            if (n > 1)
                check += " '" + unix_stage + "/out/disc" + std::to_string(n) + "'";
        }
        EXPECT_FALSE(path_exists(stage + "\\out\\disc" + std::to_string(tree.discs + 1)));
        ASSERT_EQ(0, run_unix(check, &out)) << out;
    }

    // The install folder holds the tree as the option selects it, every
    // folder made, and the log.
    void installed(int n) override
    {
        std::string tree, made;
        ASSERT_EQ(0, run_unix("cd '" + unix_stage_ + "/game' && find . | LC_ALL=C sort", &tree));
        ASSERT_EQ(0, run_unix("cd '" + unix_path(folder_) + "' && find . | LC_ALL=C sort", &made));
        const std::string left_out = GetParam().left_out;
        std::vector<std::string> expected = {"./instlog.txt"};
        for (const std::string &path : guide::lines_of(tree))
            if (n == 0 || left_out.empty() || path.compare(0, left_out.size(), left_out) != 0)
                expected.push_back(path);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, guide::lines_of(made));
    }

    std::string unix_stage_;
};

TEST_P(MadeMedium, EveryOptionInstallsFromTheMasteredDiscsAndUninstallsClean)
{
    ASSERT_NO_FATAL_FAILURE(make(GetParam()));
    install_every_option(GetParam().run_first);
}

INSTANTIATE_TEST_SUITE_P(Tree, MadeMedium, testing::ValuesIn(trees()),
                         [](const testing::TestParamInfo<MadeTree> &info) { return std::string(info.param.name); });

}  // namespace
