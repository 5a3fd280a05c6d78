// install.txt lookups over SettingsText, and the launcher's sequence of them.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "script/settings.h"
#include "state/install_state.h"
#include "support/box_pattern.h"

namespace {

void set_text(const std::string &text)
{
    ASSERT_LT(text.size(), sizeof SettingsText);
    memcpy(SettingsText, text.c_str(), text.size() + 1);
}

std::string lookup(const char *keyword)
{
    char value[260];
    if (!find_setting(keyword, value, sizeof value))
        return "<none>";
    return value;
}

struct LookupCase { const char *text; const char *keyword; const char *value; };

TEST(FindSetting, FindsTheFirstWholeWordMatchInFileOrder)
{
    const LookupCase cases[] = {
        {"caption \"A\" maker \"B\"", "maker", "B"},
        {"; note\n\nmaker\n  ; between\n \"B\"\n", "maker", "B"},
        {"title \"X\" title \"Y\"", "title", "X"},
        {"titles \"X\" title \"Y\"", "title", "Y"},        // a longer word is no match
        {"\"title\" \"X\" title \"Y\"", "title", "Y"},     // the quotes belong to the word
        {"Caption \"A\"", "caption", "<none>"},            // case-sensitive
        {"caption \"a,b\" maker \"M\"", "maker", "M"},     // a comma in a value is stepped over
        {", , maker \"M\"", "maker", "M"},
        {"", "caption", "<none>"},
        {"; only a comment", "caption", "<none>"},
        {"caption \"\xe3\x82\xbd\"", "caption", "\xe3\x82\xbd"},
    };
    for (const LookupCase &c : cases) {
        set_text(c.text);
        EXPECT_EQ(c.value, lookup(c.keyword)) << c.text;
    }
}

TEST(FindSetting, AWordOfAnyLengthOnTheWayIsSteppedOver)
{
    set_text("caption \"" + std::string(5000, 'x') + " " + std::string(300, 'y') + "\" maker \"M\"");
    EXPECT_EQ("M", lookup("maker"));
}

void expect_fatal(void (*statement)(), const std::string &message)
{
    EXPECT_EXIT(statement(), testing::ExitedWithCode(0), fatal_pattern(message));
}

TEST(FindSetting, AKeywordInsideAnEarlierValueEndsTheLookup)
{
    static std::string text;
    text = "caption \"my title here\"\ntitle \"T\"";
    expect_fatal([] { set_text(text); lookup("title"); },
                 "文字列が来るべきところに文字列が来ませんでした。");
}

TEST(FindSetting, AValueLongerThanItsDestinationIsRefused)
{
    static std::string text;
    text = "caption \"" + std::string(260, 'c') + "\"";
    expect_fatal([] { set_text(text); lookup("caption"); }, "文字列が長すぎます。259バイトまでです。");
    set_text("caption \"" + std::string(259, 'c') + "\"");
    EXPECT_EQ(std::string(259, 'c'), lookup("caption"));
}

// The launcher's sequence reads install.txt from the current directory.
class ProductSettings : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/settings-XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir_ = pattern;
        ASSERT_EQ(0, chdir(dir_.c_str()));
        install_state = InstallState{};
    }
    void TearDown() override
    {
        remove((dir_ + "/install.txt").c_str());
        rmdir(dir_.c_str());
    }
    static void write(const std::string &text)
    {
        FILE *f = fopen("install.txt", "wb");
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    std::string dir_;
};

TEST_F(ProductSettings, FillsTheRecordFromAnyStatementOrder)
{
    write("bland \"Soft\" ; brand\ntitle \"Game\"\nmaker \"M\" caption \"C\"\n");
    load_product_settings();
    EXPECT_STREQ("C", install_state.caption);
    EXPECT_STREQ("M", install_state.maker);
    EXPECT_STREQ("Game", install_state.title);
    EXPECT_STREQ("Soft", install_state.bland);
    EXPECT_EQ(0, install_state.exec_message_flag);

    write("caption \"C\" maker \"M\" execmessage \"CDを入れてください\" title \"T\" bland \"B\"");
    load_product_settings();
    EXPECT_EQ(1, install_state.exec_message_flag);
    EXPECT_STREQ("CDを入れてください", install_state.execmessage);
}

TEST_F(ProductSettings, OnlyTheFirst65536BytesAreSeen)
{
    std::string text = "caption \"C\" maker \"M\" title \"T\"";
    text += std::string(65536 - text.size() - 4, ' ');
    write(text + "bland \"B\"");
    EXPECT_EXIT(load_product_settings(), testing::ExitedWithCode(0),
                fatal_pattern("title文もしくはbland文が見つかりません。"));
}

TEST_F(ProductSettings, MissingFileOrRequiredKeywordsEndTheProgram)
{
    EXPECT_EXIT(load_product_settings(), testing::ExitedWithCode(0),
                fatal_pattern("install.txtが開けませんでした。"));
    const struct { const char *text; const char *message; } cases[] = {
        {"", "caption文が見つかりません。"},
        {"; comments only\n", "caption文が見つかりません。"},
        {"caption \"C\"", "maker文が見つかりません。"},
        {"caption \"C\" maker \"M\" bland \"B\"", "title文もしくはbland文が見つかりません。"},
        {"caption \"C\" maker \"M\" title \"T\"", "title文もしくはbland文が見つかりません。"},
        {"caption \"C\" maker \"M\" execmessage \"E", "文字列が２行に渡るか途中で終わっています。"},
    };
    for (const auto &c : cases) {
        write(c.text);
        EXPECT_EXIT(load_product_settings(), testing::ExitedWithCode(0), fatal_pattern(c.message))
            << c.text;
    }
}

}  // namespace
