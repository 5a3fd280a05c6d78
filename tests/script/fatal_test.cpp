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
            fatal_error("テスト用のメッセージ");
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
