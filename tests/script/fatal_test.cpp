// fatal_error as the player meets it: an unowned box captioned "エラー", then
// exit code 0 through exit(), so the handlers registered at start-up run.
#include <stdio.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include "script/fatal.h"
#include "support/box_robot.h"

namespace {

void note_exit_handler() { fputs("exit handler ran\n", stderr); }

TEST(FatalError, ShowsAnUnownedErrorBoxThenExitsWithZeroRunningHandlers)
{
    EXPECT_EXIT(
        {
            atexit(note_exit_handler);
            BoxRobot robot;
            fatal_error(Msg::list_error, "テスト用のメッセージ");
        },
        testing::ExitedWithCode(0),
        fatal_pattern("テスト用のメッセージ") + "owner=none\nexit handler ran");
}

TEST(UnownedMessage, ShowsTheTextUnderItsCaptionWithOkOnly)
{
    BoxRobot robot;
    show_unowned_message("本文", "見出し");
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("見出し", robot.boxes[0].caption);
    EXPECT_EQ("本文", robot.boxes[0].text);
    EXPECT_EQ(nullptr, robot.boxes[0].owner);
    EXPECT_EQ(std::vector<int>{IDOK}, robot.boxes[0].button_ids);
}

}  // namespace

#include <string>

#include "boundary/open_file.h"
#include "script/settings.h"
#include "script/tokenizer.h"
#include "state/install_state.h"
#include "support/cp932_calls.h"

namespace {

struct FatalCase {
    const char *message;
    void (*cause)();
};

char out[260];

void write_install_txt(const char *text)
{
    FILE *f = open_file("install.txt", "wb");
    fputs(text, f);
    fclose(f);
}

// Each fatal end of the scanner and of the settings reader, as the player
// sees it: the real box, its caption and text, and exit code 0.
const FatalCase fatal_cases[] = {
    {"文字列が来るべきところに文字列が来ませんでした。", [] { read_quoted(" word", out, 260); }},
    {"文字列が２行に渡るか途中で終わっています。", [] { read_quoted("\"a\nb\"", out, 260); }},
    {"コンマが来るべきところにコンマがありません", [] { expect_comma("x"); }},
    {"->が来るべきところに->がありません", [] { expect_arrow("- >"); }},
    {"単語が長すぎます。259バイトまでです。",
     [] { read_word(std::string(260, 'w').c_str(), out, 260); }},
    {"文字列が長すぎます。259バイトまでです。",
     [] { read_quoted(("\"" + std::string(260, 's') + "\"").c_str(), out, 260); }},
    {"install.txtが開けませんでした。",
     [] { DeleteFile932("install.txt"); load_product_settings(); }},
    {"caption文が見つかりません。", [] { write_install_txt("; nothing\n"); load_product_settings(); }},
    {"maker文が見つかりません。", [] { write_install_txt("caption \"C\""); load_product_settings(); }},
    {"title文もしくはbland文が見つかりません。",
     [] { write_install_txt("caption \"C\" maker \"M\" title \"T\""); load_product_settings(); }},
};

TEST(FatalError, EveryScannerAndSettingsErrorShowsItsBoxAndExitsWithZero)
{
    for (const FatalCase &c : fatal_cases) {
        EXPECT_EXIT(
            {
                BoxRobot robot;
                c.cause();
            },
            testing::ExitedWithCode(0), fatal_pattern(c.message) + "owner=none")
            << c.message;
    }
    DeleteFile932("install.txt");
}

}  // namespace
