// The publisher's guide, docs/publishing.md, against what it describes: every
// example under docs/examples is mastered and checked and gives exactly the
// finding the guide shows for it, every file it quotes is quoted as the
// medium holds it, and its troubleshooting table holds every text of the
// program's catalogue (message boxes, fatal errors, their captions) and no
// other.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "checker/checker_run.h"
#include "support/publishing_guide.h"
#include "text/messages.h"

namespace fs = std::filesystem;

namespace {

const fs::path SOURCES = PROJECT_SOURCE_DIR_TEXT;

std::string file_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string guide_text()
{
    return file_text(SOURCES / "docs/publishing.md");
}

// A control file as the guide shows it: UTF-8, LF line ends.
std::string as_quoted(const std::string &cp932)
{
    return std::regex_replace(to_utf8(cp932, "CP932"), std::regex("\r\n"), "\n");
}

// The discs of an example: NAME/setup on one disc, or NAME/disc1/setup and
// NAME/disc2... The medium folder first, then each further disc's root.
std::vector<fs::path> discs_of(const fs::path &example)
{
    if (fs::is_directory(example / "setup"))
        return {example / "setup"};
    std::vector<fs::path> discs = {example / "disc1/setup"};
    for (int n = 2; fs::is_directory(example / ("disc" + std::to_string(n))); n++)
        discs.push_back(example / ("disc" + std::to_string(n)));
    return discs;
}

std::string quoted(const fs::path &path)
{
    return "'" + path.string() + "'";
}

TEST(PublishingGuide, EveryExampleMastersAndChecksAsTheGuideShows)
{
    if (system("command -v genisoimage >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "genisoimage is not installed (scripts/install-deps installs it)";
    const std::string guide = guide_text();
    const std::vector<guide::Example> examples = guide::examples(guide);
    std::set<std::string> named, folders;
    for (const guide::Example &example : examples)
        named.insert(example.name);
    for (const fs::directory_entry &entry : fs::directory_iterator(SOURCES / "docs/examples"))
        if (entry.is_directory())
            folders.insert(entry.path().filename().string());
    EXPECT_EQ(folders, named) << "every example folder has its row in the guide, and no row lacks one";
    EXPECT_EQ(named.size(), examples.size()) << "one row per example";

    char images_pattern[] = "/tmp/guide-images-XXXXXX";
    const fs::path images = mkdtemp(images_pattern);
    for (const guide::Example &example : examples) {
        SCOPED_TRACE(example.name);
        std::vector<fs::path> discs = discs_of(SOURCES / "docs/examples" / example.name);
        std::string check = quoted(discs[0]), master = quoted(discs[0]) + " " + quoted(images / "1.iso");
        for (size_t n = 1; n < discs.size(); n++) {
            check += " " + quoted(discs[n]);
            master += " " + quoted(discs[n]) + " " + quoted(images / (std::to_string(n + 1) + ".iso"));
        }
        const bool error = example.finding.find(": error: ") != std::string::npos;
        CheckerRun mastered = run_command((SOURCES / "scripts/master-medium").string() + " " + master + " 2>&1");
        EXPECT_EQ(error ? 2 : 0, mastered.code) << mastered.out;
        EXPECT_EQ(!error, fs::exists(images / "1.iso"));
        fs::remove_all(images);
        fs::create_directory(images);

        CheckerRun checked = run_checker(check);
        std::string findings = checked.out.substr(0, checked.out.rfind('\n', checked.out.size() - 2) + 1);
        EXPECT_EQ(example.finding.empty() ? "" : example.finding + "\n", findings);
        EXPECT_EQ(example.finding.empty() ? 0 : error ? 2 : 1, checked.code);
    }
    fs::remove_all(images);

    for (const guide::Quote &quote : guide::quotes(guide)) {
        SCOPED_TRACE(quote.path);
        EXPECT_EQ(quote.text, as_quoted(file_text(SOURCES / "docs" / quote.path)));
    }
}

// ---- the program's texts ----

std::string listed(const std::set<std::string> &texts)
{
    std::string out;
    for (const std::string &text : texts)
        out += "  " + text + "\n";
    return out;
}

// Every text of the program's catalogue is shown to the player: each caption
// and text must stand in the table, byte for byte, and each text in the
// table must still be one of the catalogue's.
TEST(PublishingGuide, TheTroubleshootingTableHoldsEveryTextOfTheProgramAndNoOther)
{
    std::set<std::string> shown;
    for (const Message &entry : MESSAGES)
        for (const char *text : {entry.caption, entry.text})
            if (text)
                shown.insert(to_utf8(text, "CP932"));
    ASSERT_GT(shown.size(), 50u) << "the catalogue's texts were not found";
    const std::set<std::string> table = guide::program_texts(guide_text());
    std::set<std::string> missing, stale;
    for (const std::string &text : shown)
        if (!table.count(text))
            missing.insert(text);
    for (const std::string &text : table)
        if (!shown.count(text))
            stale.insert(text);
    EXPECT_EQ("", listed(missing)) << "texts of the program that docs/publishing.md lacks";
    EXPECT_EQ("", listed(stale)) << "texts in docs/publishing.md that the program no longer has";
}

}  // namespace
