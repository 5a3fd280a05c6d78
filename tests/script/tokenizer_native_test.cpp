// The scanner's byte rules, table-driven, and its fatal ends (native run:
// fatal_error prints the box line and exits with code 0).
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "script/tokenizer.h"
#include "support/box_pattern.h"

namespace {

struct SkipCase { const char *text; int consumed; };

TEST(SkipBlank, ConsumesBlanksAndCommentsOnly)
{
    const SkipCase cases[] = {
        {"", 0},
        {"   ", 3},
        {"; no line end", 13},
        {"; one\n\n; two\n  word", 15},
        {"\r\nword", 0},                       // CR is not a blank
        {"\t\n x", 3},
        {"word", 0},
        {"  ;c\n;d", 7},                        // ends inside the second comment
    };
    for (const SkipCase &c : cases)
        EXPECT_EQ(c.consumed, skip_blank(c.text)) << '"' << c.text << '"';
}

struct WordCase { const char *text; int consumed; const char *word; };

TEST(ReadWord, StopsAtBlankZeroOrComma)
{
    const WordCase cases[] = {
        {"  caption next", 9, "caption"},
        {"abc,def", 3, "abc"},
        {",abc", 0, ""},
        {"a;b rest", 3, "a;b"},                 // no comment starts inside a word
        {"key\"value\" x", 10, "key\"value\""}, // a quote inside a word belongs to it
        {"", 0, ""},
        {"; comment\nword", 14, "word"},
    };
    for (const WordCase &c : cases) {
        char out[260];
        EXPECT_EQ(c.consumed, read_word(c.text, out, sizeof out)) << c.text;
        EXPECT_STREQ(c.word, out) << c.text;
    }
}

TEST(ReadWord, CarriesShiftJisBytesUnchanged)
{
    // 'ソフト' in code page 932; the first character's second byte is '\'.
    const char text[] = "\x83\x5c\x83\x74\x83\x67 rest";
    char out[260];
    EXPECT_EQ(6, read_word(text, out, sizeof out));
    EXPECT_STREQ("\x83\x5c\x83\x74\x83\x67", out);
}

struct QuotedCase { const char *text; int consumed; const char *value; };

TEST(ReadQuoted, TakesEverythingUpToTheClosingQuote)
{
    const QuotedCase cases[] = {
        {" \"ab\"", 5, "ab"},
        {"\"\"", 2, ""},
        {"\"C:\\dir\\\" tail", 9, "C:\\dir\\"},   // a backslash does not escape
        {"\"a;b,c\"", 7, "a;b,c"},
        {"; c\n \"x\"", 8, "x"},
        {"\"\t\r\"", 4, "\t\r"},
        {"\"\x83\x5c\x83\x74\x83\x67\"", 8, "\x83\x5c\x83\x74\x83\x67"},
    };
    for (const QuotedCase &c : cases) {
        char out[260];
        EXPECT_EQ(c.consumed, read_quoted(c.text, out, sizeof out)) << c.text;
        EXPECT_STREQ(c.value, out) << c.text;
    }
}

TEST(Separators, CommaAndArrowConsumeSurroundingBlanks)
{
    EXPECT_EQ(5, expect_comma("  ,  word"));
    EXPECT_EQ(9, expect_comma(", ; note\nword"));
    EXPECT_EQ(4, expect_arrow(" -> word"));
    EXPECT_EQ(2, expect_arrow("->"));
}

void expect_fatal(void (*statement)(), const std::string &message)
{
    EXPECT_EXIT(statement(), testing::ExitedWithCode(0), fatal_pattern(message));
}

TEST(ScannerErrors, EndTheProgramWithTheirMessages)
{
    const std::string no_string = "文字列が来るべきところに文字列が来ませんでした。";
    const std::string broken = "文字列が２行に渡るか途中で終わっています。";
    static char out[260];
    expect_fatal([] { read_quoted("word", out, 260); }, no_string);
    expect_fatal([] { read_quoted(" , \"x\"", out, 260); }, no_string);
    expect_fatal([] { read_quoted("   ", out, 260); }, no_string);
    expect_fatal([] { read_quoted("\"two\nlines\"", out, 260); }, broken);
    expect_fatal([] { read_quoted("\"open", out, 260); }, broken);
    expect_fatal([] { expect_comma("  word"); }, "コンマが来るべきところにコンマがありません");
    const std::string arrow = "->が来るべきところに->がありません";
    expect_fatal([] { expect_arrow("- >"); }, arrow);
    expect_fatal([] { expect_arrow("-"); }, arrow);
    expect_fatal([] { expect_arrow("=>"); }, arrow);
}

TEST(TokenLimits, ATokenThatFitsIsReadAndOneByteMoreIsRefused)
{
    std::string fits(259, 'w');
    std::string too_long(260, 'w');
    char out[260];
    EXPECT_EQ(259, read_word(fits.c_str(), out, sizeof out));
    EXPECT_EQ(fits, out);
    std::string quoted = "\"" + fits + "\"";
    EXPECT_EQ(261, read_quoted(quoted.c_str(), out, sizeof out));
    EXPECT_EQ(fits, out);

    static std::string long_word, long_quoted;
    long_word = too_long + " next";
    long_quoted = "\"" + too_long + "\"";
    expect_fatal([] { char b[260]; read_word(long_word.c_str(), b, 260); },
                 "単語が長すぎます。259バイトまでです。");
    expect_fatal([] { char b[260]; read_quoted(long_quoted.c_str(), b, 260); },
                 "文字列が長すぎます。259バイトまでです。");
    // A string that never closes is that error, however long it runs.
    static std::string unclosed;
    unclosed = "\"" + too_long + "\nnext \"line\"";
    expect_fatal([] { char b[260]; read_quoted(unclosed.c_str(), b, 260); },
                 "文字列が２行に渡るか途中で終わっています。");
}

// Every value read is code page 932 as it stands; any other byte ends the
// program naming the file, and a valid value of every kind is read whole.
TEST(StrictCodePage932, ValuesWithAnInvalidByteEndTheProgramNamingTheFile)
{
    const struct {
        const char *value;
        int invalid_at;
    } cases[] = {
        {"a\x80", 1},        {"\xA0", 0},         {"x\xFD", 1},       {"\xFE", 0},
        {"\xFF", 0},         {"Game\x83", 4},     {"\x83\x20x", 0},   {"\x81\x7F", 0},
        {"\xE0\xFD", 0},     {"\x83\x5C\x9F", 2}, {"ok", -1},          {"\x83\x5C\xB1\xE0\x40\xFC\xFC", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.invalid_at, cp932_invalid_at(c.value, (int)strlen(c.value))) << c.value;

    set_script_file("filelist3.txt");
    static char out[260];
    const std::string message = "filelist3.txtの値に、シフトJISとして読めないバイトがあります。";
    expect_fatal([] { read_quoted(" \"Game\x83\" ", out, 260); }, message);
    expect_fatal([] { read_quoted("\"\x80\"", out, 260); }, message);
    expect_fatal([] { read_word("65\xFF" "0 ", out, 260); }, message);
    EXPECT_EQ(5, read_quoted("\"\x83\x5C\xB1\"", out, 260));     // 'ソ' and a half-width 'ｱ'
    EXPECT_STREQ("\x83\x5C\xB1", out);
}

}  // namespace
