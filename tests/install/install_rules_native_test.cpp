// The rules the installer and medium-check share: the same names and numbers
// on every platform.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "core/install_rules.h"
#include "core/path_scan.h"
#include "size_word_cases.h"
#include "support/box_pattern.h"

namespace {

TEST(SizeWord, GivesTheNumbersOfThe32BitProgramOnEveryPlatform)
{
    for (const SizeWordCase &c : SIZE_WORD_CASES)
        EXPECT_EQ(c.megabytes, size_word_megabytes(c.word)) << c.word;
}

TEST(OptionHeader, ReadsNameAndSizeAndComposesTheItemWithinItsBuffer)
{
    const char text[] = " ; option\n\"標準\" ,  650MB , \"game.exe\"";
    OptionHeader header;
    read_option_header(text, &header);
    EXPECT_STREQ("標準", header.name);
    EXPECT_STREQ("650MB", header.size_word);
    EXPECT_EQ(650, header.megabytes);
    EXPECT_EQ(text + 10, header.name_at);
    EXPECT_EQ(text + 20, header.size_at);
    char item[PATH_CAPACITY];
    ASSERT_EQ(1, compose_option_item(&header, item, sizeof item));
    EXPECT_STREQ("標準 (650Mb必要)", item);

    std::string longest(PATH_CAPACITY - 1 - 12, 'n');     // " (650Mb必要)" is 12 bytes in CP932
    snprintf(header.name, sizeof header.name, "%s", longest.c_str());
    EXPECT_EQ(1, compose_option_item(&header, item, sizeof item));
    header.megabytes = 6500;
    EXPECT_EQ(0, compose_option_item(&header, item, sizeof item));
}

TEST(InstallNames, ComposeKeysAndFoldersOrRefuseWhatDoesNotFit)
{
    char brand[PATH_CAPACITY], product[PATH_CAPACITY];
    ASSERT_EQ(1, compose_record_keys("Soft", "Game", brand, product, sizeof product));
    EXPECT_STREQ("software\\Soft", brand);
    EXPECT_STREQ("software\\Soft\\Game", product);
    std::string half(124, 'b');
    EXPECT_EQ(1, compose_record_keys(half.c_str(), half.c_str(), brand, product, sizeof product));
    EXPECT_EQ(0, compose_record_keys(half.c_str(), (half + "xx").c_str(), brand, product, sizeof product));

    char folder[PATH_CAPACITY], log[PATH_CAPACITY];
    const struct {
        const char *windows;
        const char *shown;
    } defaults[] = {{"C:\\WINDOWS", "C:\\Program Files\\Brand\\"},
                    {"D:\\", "D:\\Program Files\\Brand\\"},
                    {"C:", "C:Program Files\\Brand\\"},
                    {"", "Program Files\\Brand\\"}};
    for (const auto &d : defaults) {
        ASSERT_EQ(1, compose_default_folder(d.windows, "Brand", folder, sizeof folder));
        EXPECT_STREQ(d.shown, folder) << d.windows;
    }
    EXPECT_EQ(0, compose_default_folder("C:\\", std::string(250, 'b').c_str(), folder, sizeof folder));
    // An empty brand adds no folder, and so no empty name.
    ASSERT_EQ(1, compose_default_folder("C:\\WINDOWS", "", folder, sizeof folder));
    EXPECT_STREQ("C:\\Program Files\\", folder);

    ASSERT_EQ(1, compose_install_folder("C:\\Program Files\\Brand\\", "Title", folder, log, sizeof log));
    EXPECT_STREQ("C:\\Program Files\\Brand\\Title\\", folder);
    EXPECT_STREQ("C:\\Program Files\\Brand\\Title\\instlog.txt", log);
    // The folder fits, its log path does not.
    std::string title(PATH_CAPACITY - 1 - 3 - 1 - 5, 't');
    EXPECT_EQ(0, compose_install_folder("C:\\", title.c_str(), folder, log, sizeof log));
}

// 'ソフト表': the 0x5C of 'ソ' follows no other character of its name, so only
// a scan that steps over double-byte characters finds the right separators.
TEST(Separators, ADoubleByteNameWithATrailByte0x5CIsNoSeparator)
{
    const char path[] = "C:\\\x83\x5c\x83\x74\x83\x67\x95\x5c\\x";   // C:\ソフト表\x
    EXPECT_EQ(2, next_separator(path, 0, cp932_lead_byte));
    EXPECT_EQ(11, next_separator(path, 3, cp932_lead_byte));
    EXPECT_EQ(11, last_separator(path, cp932_lead_byte));
    EXPECT_EQ(-1, last_separator("name", cp932_lead_byte));
}

// Every Start-menu path passes the uninstall's rule, or the program ends
// naming the value that broke it.
TEST(StartMenuPaths, AreComposedPlainOrRefusedNamingTheValue)
{
    InstallState &s = install_state;
    auto set = [](char *field, const char *value) { snprintf(field, PATH_CAPACITY, "%s", value); };
    set(s.maker, "Maker");
    set(s.caption, "Caption");
    set(s.title, "Title");
    set(s.install_dir, "C:\\Games\\Title\\");
    clear_shortcut_slots();
    set(s.shortcut_names[1], "Manual");
    set(s.shortcut_targets[1], "doc\\read.exe");
    StartMenuPaths paths;
    ASSERT_EQ(1, compose_start_menu("C:\\P", &paths));
    EXPECT_STREQ(":C:\\P\\Maker\\Caption", paths.product_line);
    EXPECT_STREQ(":C:\\P\\Maker", paths.maker_line);
    EXPECT_STREQ("C:\\P\\Maker\\Caption\\Title.lnk", paths.main_link);
    EXPECT_STREQ("C:\\P\\Maker\\Caption\\Manual.lnk", paths.extra_links[1]);
    EXPECT_STREQ("C:\\Games\\Title\\doc\\read.exe", paths.extra_targets[1]);
    EXPECT_STREQ("", paths.extra_links[0]);

    const struct {
        char *field;
        const char *value;
        const char *what;
    } cases[] = {
        {s.maker, "", "maker文の値"},          {s.maker, "..", "maker文の値"},
        {s.caption, "", "caption文の値"},      {s.title, "", "title文の値"},      {s.caption, "a\\\\b", "caption文の値"},
        {s.caption, ". ", "caption文の値"},    {s.shortcut_names[1], "..\\..\\x", "ショートカット名"},
        {s.shortcut_names[1], "a:b", "ショートカット名"},
        {s.shortcut_targets[1], "..\\x.exe", "ショートカットの対象"},
    };
    for (const auto &c : cases) {
        char saved[PATH_CAPACITY];
        memcpy(saved, c.field, PATH_CAPACITY);
        set(c.field, c.value);
        EXPECT_EXIT(compose_start_menu(STAND_IN_PROGRAMS_FOLDER, &paths), testing::ExitedWithCode(0),
                    fatal_pattern(std::string(c.what) + "\"" + c.value +
                                  "\"からは、アンインストールで削除できるパスを作れません。"))
            << c.value;
        memcpy(c.field, saved, PATH_CAPACITY);
    }
}

}  // namespace
