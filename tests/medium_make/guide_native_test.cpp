// The guide's one command, run as it stands on its worked example's tree:
// it writes the lists the guide shows.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "medium_make/make_support.h"
#include "support/publishing_guide.h"
#include "text.h"

namespace {

using namespace make_test;

TEST(MediumMakeGuide, TheOneCommandWritesWhatTheGuideShows)
{
    const std::string sources = PROJECT_SOURCE_DIR_TEXT;
    const std::string guide = read_bytes(sources + "/docs/publishing.md");
    std::vector<std::string> words = guide::make_command(guide);
    ASSERT_GE(words.size(), 3u);
    EXPECT_EQ("build/native/medium-make", words[0]);
    EXPECT_EQ("out/made", words[2]);
    TempFolder t;
    make_tree(t.path(), {"installer.exe=1000"});
    std::vector<std::string> arguments = {sources + "/" + words[1], t / "out/made"};
    for (size_t i = 3; i < words.size(); i++)
        arguments.push_back(words[i].compare(0, 5, "docs/") == 0 ? sources + "/" + words[i] : words[i]);
    arguments.push_back("--installer");
    arguments.push_back(t / "installer.exe");
    MakeRun run = run_make(arguments);
    ASSERT_EQ(0, run.code) << run.output;
    const std::vector<guide::Quote> quotes = guide::quotes(guide, "out/made");
    EXPECT_EQ(2u, quotes.size());
    for (const guide::Quote &quote : quotes) {
        SCOPED_TRACE(quote.path);
        std::string written = cp932_to_utf8_text(read_bytes(t / quote.path)), as_shown;
        for (char c : written)
            if (c != '\r')
                as_shown += c;
        EXPECT_EQ(quote.text, as_shown);
    }
}

}  // namespace
