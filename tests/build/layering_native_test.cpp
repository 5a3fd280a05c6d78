// The folders of src/ as floors: a source may include a header of its own
// folder or of a floor below, never one above or beside it. And no source of
// src/ or tools/ grows past 400 non-blank lines.
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Bottom up; folders on one floor include none of each other.
const std::map<std::string, int> FLOORS = {
    {"text", 0},    {"base", 1},      {"boundary", 2}, {"state", 3},    {"script", 4},
    {"core", 5},    {"records", 6},   {"install", 7},  {"uninstall", 7}, {"process", 7},
    {"launcher", 8}, {"startup", 9},  {"resources", 10},
};

TEST(Layering, EveryIncludeOfSrcPointsToItsOwnFolderOrALowerOne)
{
    const fs::path src = fs::path(PROJECT_SOURCE_DIR_TEXT) / "src";
    static const std::regex include("#include \"([a-z_0-9]+)/[^\"]+\"");
    int seen = 0;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file())
            continue;
        const std::string folder = fs::relative(entry.path(), src).begin()->string();
        ASSERT_TRUE(FLOORS.count(folder)) << "src/" << folder << " has no floor in this test";
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string code = text.str();
        for (std::sregex_iterator it(code.begin(), code.end(), include), end; it != end; ++it) {
            const std::string target = (*it)[1];
            seen++;
            ASSERT_TRUE(FLOORS.count(target)) << entry.path() << " includes from src/" << target;
            if (target != folder) {
                EXPECT_LT(FLOORS.at(target), FLOORS.at(folder)) << entry.path() << " includes " << (*it)[0];
            }
        }
    }
    EXPECT_GT(seen, 50) << "no include was read";
}

TEST(Layering, NoSourceOfSrcOrToolsIsOver400NonBlankLines)
{
    int files = 0;
    for (const char *tree : {"src", "tools"}) {
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(fs::path(PROJECT_SOURCE_DIR_TEXT) / tree)) {
            const std::string extension = entry.path().extension().string();
            if (extension != ".cpp" && extension != ".h")
                continue;
            files++;
            std::ifstream in(entry.path());
            int lines = 0;
            for (std::string line; std::getline(in, line);)
                lines += line.find_first_not_of(" \t\r") != std::string::npos;
            EXPECT_LE(lines, 400) << entry.path();
        }
    }
    EXPECT_GT(files, 50);
}

}  // namespace
