// The catalogue as its readers rely on it: each entry stands at its own id
// (an entry out of place would show another message's text), each kind is
// one stable name of its own, and every fatal error is captioned as one.
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "text/checker_texts.h"
#include "text/messages.h"

namespace {

TEST(Messages, EachEntryStandsAtItsIdWithAKindOfItsOwn)
{
    static const std::regex kind_name("[a-z0-9]+(-[a-z0-9]+)*");
    std::set<std::string> kinds;
    for (int i = 0; i < (int)Msg::count; i++) {
        const Message &entry = MESSAGES[i];
        SCOPED_TRACE(entry.kind);
        EXPECT_EQ(i, (int)entry.id);
        EXPECT_TRUE(std::regex_match(entry.kind, kind_name));
        EXPECT_TRUE(kinds.insert(entry.kind).second) << "a kind named twice";
        EXPECT_EQ(entry.group == MsgGroup::other, entry.caption == nullptr);
        if (entry.group == MsgGroup::fatal || entry.group == MsgGroup::name) {
            EXPECT_STREQ(caption_of(Msg::too_long), entry.caption);
        }
        EXPECT_EQ(entry.id == Msg::exec_message, entry.text == nullptr);
    }
    for (int i = 0; i < (int)CheckerText::count; i++) {
        EXPECT_EQ(i, (int)CHECKER_TEXTS[i].id);
        EXPECT_NE(nullptr, CHECKER_TEXTS[i].text);
    }
}

}  // namespace
