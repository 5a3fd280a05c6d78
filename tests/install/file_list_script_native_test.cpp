// The file list's statement logic with its actions replaced by a recorder:
// what is copied, asked and tested, in order, and the exact fatal ends
// (native run: fatal_error prints the box line and exits with code 0).
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "core/file_list_script.h"
#include "state/install_state.h"
#include "support/box_pattern.h"

namespace {

struct Recorder {
    std::vector<std::string> calls;
    std::vector<int> answers;         // for ask, in order; 0 when none is left
    std::vector<int> exists;          // for path_exists, in order; 1 when none is left
    int failing_copy = -1;            // index of the copy that returns 0
    size_t next_answer = 0, next_exists = 0;
    int copies = 0;
};

int record_copy(void *context, const char *target, const char *source)
{
    Recorder *r = (Recorder *)context;
    r->calls.push_back(std::string("copy ") + source + " => " + target);
    return r->copies++ == r->failing_copy ? 0 : 1;
}

int record_ask(void *context, const char *text, const char *caption, int buttons)
{
    Recorder *r = (Recorder *)context;
    r->calls.push_back("ask " + std::to_string(buttons) + " " + caption + " " + text);
    return r->next_answer < r->answers.size() ? r->answers[r->next_answer++] : 0;
}

int record_exists(void *context, const char *path)
{
    Recorder *r = (Recorder *)context;
    r->calls.push_back(std::string("exists ") + path);
    return r->next_exists < r->exists.size() ? r->exists[r->next_exists++] : 1;
}

void record_close(void *context)
{
    ((Recorder *)context)->calls.push_back("close");
}

const std::string disk_prompt = "ask 1 ドライブ入替確認 ドライブDに「ディスク２」を入れてＯＫを押してください。";

class FileListScript : public testing::Test {
protected:
    void SetUp() override
    {
        strcpy(install_state.source_dir, "D:\\setup\\");
        strcpy(install_state.install_dir, "C:\\Games\\Prod\\");
        install_state.exe_path[0] = '\0';
        for (int i = 0; i < SHORTCUT_SLOTS; i++) {
            strcpy(install_state.shortcut_names[i], "stale name");
            strcpy(install_state.shortcut_targets[i], "stale target");
        }
    }

    int run(const std::string &text)
    {
        FileListPlaces places;
        FileListActions actions = {&rec, record_copy, record_ask, record_exists, record_close, &places};
        return interpret_file_list(text.c_str(), &actions);
    }

    Recorder rec;
};

const char header[] = "\"標準\", 120, \"bin\\game.exe\"\n";

TEST_F(FileListScript, HeaderAloneSetsTheProgramPathAndEndsWithOne)
{
    EXPECT_EQ(1, run(header));
    EXPECT_STREQ("C:\\Games\\Prod\\bin\\game.exe", install_state.exe_path);
    EXPECT_TRUE(rec.calls.empty());
}

TEST_F(FileListScript, HeaderTakesCommentsLineBreaksAndAnySizeWord)
{
    EXPECT_EQ(1, run("; option\n  \"a\" ;c\n,\n12MB,\t\"g.exe\""));
    EXPECT_STREQ("C:\\Games\\Prod\\g.exe", install_state.exe_path);
}

TEST_F(FileListScript, AnyOtherFirstByteEndsTheListUnread)
{
    // What follows the ending byte would be an error if it were read.
    for (const char *ending : {"S", "C", "1", "x", "Shortcut", "#", "->"}) {
        rec = Recorder();
        EXPECT_EQ(1, run(std::string(header) + "\"\"->\"\" " + ending + " \"unterminated\n")) << ending;
        EXPECT_EQ(1u, rec.calls.size()) << ending;
    }
}

struct CopyCase { const char *statement; const char *call; };

TEST_F(FileListScript, CopyStatementsJoinTheirFoldersToTheBases)
{
    const CopyCase cases[] = {
        {"\"data\" -> \"data\"", "copy D:\\setup\\data\\ => C:\\Games\\Prod\\data\\"},
        {"\"\"->\"\"", "copy D:\\setup\\ => C:\\Games\\Prod\\"},
        {"\"a\\b\"\n->\n\"x\\y\"", "copy D:\\setup\\a\\b\\ => C:\\Games\\Prod\\x\\y\\"},
        {"\"音楽\" -> \"\"", "copy D:\\setup\\音楽\\ => C:\\Games\\Prod\\"},
        {"\"\" -> \"save\" ; comment", "copy D:\\setup\\ => C:\\Games\\Prod\\save\\"},
    };
    for (const CopyCase &c : cases) {
        rec = Recorder();
        EXPECT_EQ(1, run(std::string(header) + c.statement));
        EXPECT_EQ(std::vector<std::string>{c.call}, rec.calls) << c.statement;
    }
}

TEST_F(FileListScript, AFailedCopyStopsTheListWithZero)
{
    rec.failing_copy = 1;
    EXPECT_EQ(0, run(std::string(header) + "\"a\"->\"a\" \"b\"->\"b\" \"c\"->\"c\""));
    EXPECT_EQ(2u, rec.calls.size());
    EXPECT_STREQ("C:\\Games\\Prod\\bin\\game.exe", install_state.exe_path);
}

TEST_F(FileListScript, ShortcutsFillSlotsInOrderAndEmptyTheRest)
{
    EXPECT_EQ(1, run(std::string(header) + "shortcut \"説明書\", \"doc\\readme.txt\"\n"
                                           "shortcut\n\"\" ,\"x\" \"d\"->\"d\" shortcut \"三\",\"t3\""));
    EXPECT_STREQ("説明書", install_state.shortcut_names[0]);
    EXPECT_STREQ("doc\\readme.txt", install_state.shortcut_targets[0]);
    EXPECT_STREQ("", install_state.shortcut_names[1]);      // empty name still fills a slot
    EXPECT_STREQ("x", install_state.shortcut_targets[1]);
    EXPECT_STREQ("三", install_state.shortcut_names[2]);
    EXPECT_STREQ("t3", install_state.shortcut_targets[2]);
    for (int i = 3; i < SHORTCUT_SLOTS; i++) {
        EXPECT_STREQ("", install_state.shortcut_names[i]);
        EXPECT_STREQ("", install_state.shortcut_targets[i]);
    }
    EXPECT_EQ(1u, rec.calls.size());
}

TEST_F(FileListScript, FiveShortcutsFillEverySlot)
{
    std::string text = header;
    for (int i = 0; i < 5; i++)
        text += "shortcut \"n" + std::to_string(i) + "\",\"t" + std::to_string(i) + "\"\n";
    EXPECT_EQ(1, run(text));
    for (int i = 0; i < 5; i++)
        EXPECT_EQ("t" + std::to_string(i), install_state.shortcut_targets[i]);
}

TEST_F(FileListScript, MisspeltOrGluedKeywordsAreListErrors)
{
    const char *statements[] = {
        "shortcuts \"a\",\"b\"", "shortcut\"a\",\"b\"", "short \"a\",\"b\"", "shortcut;c\n\"a\",\"b\"",
        "change2 \"d\",\"f\" \"\"->\"\"", "change\"d\",\"f\" \"\"->\"\"", "c",
    };
    // Glued to a string longer than any word buffer: still a wrong keyword.
    static const std::string glued = "shortcut\"" + std::string(300, 'n') + "\",\"b\"";
    std::vector<std::string> all(std::begin(statements), std::end(statements));
    all.push_back(glued);
    for (const std::string &statement : all)
        EXPECT_EXIT(run(std::string(header) + statement), testing::ExitedWithCode(0),
                    fatal_pattern("ファイルリストにエラーがあります。"))
            << statement;
}

TEST_F(FileListScript, DiskChangeAsksUntilTheCheckFileIsThereThenCopiesFromTheRoot)
{
    strcpy(install_state.source_dir, "d:\\setup\\");
    rec.answers = {ANSWER_OK, ANSWER_OK};
    rec.exists = {0, 1};
    EXPECT_EQ(1, run(std::string(header) + "\"a\"->\"a\"\nchange \"ディスク２\", \"disk2\\check.dat\"\n"
                                           "\"b\" -> \"b\"\n\"\"->\"c\""));
    const std::vector<std::string> expected = {
        "copy d:\\setup\\a\\ => C:\\Games\\Prod\\a\\",
        "close",
        disk_prompt, "exists d:\\disk2\\check.dat",
        disk_prompt, "exists d:\\disk2\\check.dat",
        "copy d:\\b\\ => C:\\Games\\Prod\\b\\",
        "copy d:\\ => C:\\Games\\Prod\\c\\",        // every later copy, not only the next
    };
    EXPECT_EQ(expected, rec.calls);
    EXPECT_STREQ("d:\\", install_state.source_dir);
}

TEST_F(FileListScript, APromptThatCannotBeShownGivesUpInsteadOfAskingForever)
{
    rec.answers = {};            // the recorder answers 0: no box could be shown
    EXPECT_EQ(0, run(std::string(header) + "change \"ディスク２\",\"x\" \"\"->\"\""));
    EXPECT_EQ((std::vector<std::string>{"close", disk_prompt}), rec.calls);
}

TEST_F(FileListScript, DiskChangeWithoutADriveLetterIsRefused)
{
    for (const char *start : {"\\\\server\\share\\setup\\", "1:\\x\\", "D:", "D:/x/", ""}) {
        strcpy(install_state.source_dir, start);
        EXPECT_EXIT(run(std::string(header) + "change \"d\",\"x\" \"\"->\"\""), testing::ExitedWithCode(0),
                    fatal_pattern("ドライブ名のない場所から起動されたため、ディスクを入れ替えられません。"))
            << start;
    }
}

TEST_F(FileListScript, OverLongValuesAndPathsAreRefusedByName)
{
    const std::string v259(259, 'v');
    const std::string v260(260, 'v');
    struct { std::string text; const char *message; } cases[] = {
        {"\"n\",1,\"" + v260 + "\"", "文字列が長すぎます。259バイトまでです。"},
        {"\"n\",1,\"" + v259 + "\"", "ゲームプログラムのパスが長すぎます。259バイトまでです。"},
        {std::string(header) + "\"" + v259 + "\"->\"\"", "コピー元フォルダのパスが長すぎます。259バイトまでです。"},
        {std::string(header) + "\"\"->\"" + v259 + "\"", "コピー先フォルダのパスが長すぎます。259バイトまでです。"},
        {std::string(header) + "change \"d\",\"" + v259 + "\" \"\"->\"\"",
         "確認ファイルのパスが長すぎます。259バイトまでです。"},
        {std::string(header) + "shortcut \"" + v260 + "\",\"t\"", "文字列が長すぎます。259バイトまでです。"},
    };
    for (auto &c : cases)
        EXPECT_EXIT(run(c.text), testing::ExitedWithCode(0), fatal_pattern(c.message)) << c.message;
    // The longest values that fit are taken whole.
    // (A folder below the root: the root itself is no folder the uninstall may remove.)
    strcpy(install_state.install_dir, "C:\\i\\");
    rec.answers = {ANSWER_OK};
    EXPECT_EQ(1, run("\"n\",1,\"" + std::string(254, 'g') + "\" change \"" + v259 + "\",\"" +
                     std::string(256, 'f') + "\" \"\"->\"\""));
    EXPECT_EQ("C:\\i\\" + std::string(254, 'g'), install_state.exe_path);
    ASSERT_EQ(4u, rec.calls.size());
    EXPECT_EQ("ask 1 ドライブ入替確認 ドライブDに「" + v259 + "」を入れてＯＫを押してください。", rec.calls[1]);
    EXPECT_EQ("exists D:\\" + std::string(256, 'f'), rec.calls[2]);
}

// The program's path and every copy target pass the uninstall's rule, or
// the list ends the program naming the value; check_file_list finds the
// same without doing anything, and leaves the start folder as it was.
TEST_F(FileListScript, PathsTheUninstallCouldNotRemoveEndTheListNamingTheValue)
{
    const std::string tail = "\"からは、アンインストールで削除できるパスを作れません。";
    struct { std::string text; std::string message; } cases[] = {
        {"\"n\",1,\"..\\game.exe\"", "ゲームプログラムのパス\"..\\game.exe" + tail},
        {"\"n\",1,\"\"", "ゲームプログラムのパス\"" + tail},
        {"\"n\",1,\"a\\\\game.exe\"", "ゲームプログラムのパス\"a\\\\game.exe" + tail},
        {std::string(header) + "\"\"->\"..\"", "コピー先フォルダ\".." + tail},
        {std::string(header) + "\"\"->\"a\\\\b\"", "コピー先フォルダ\"a\\\\b" + tail},
        {std::string(header) + "\"\"->\"C:\\x\"", "コピー先フォルダ\"C:\\x" + tail},
        {std::string(header) + "\"\"->\" \"", "コピー先フォルダ\" " + tail},
    };
    for (auto &c : cases) {
        EXPECT_EXIT(run(c.text), testing::ExitedWithCode(0), fatal_pattern(c.message)) << c.text;
        static std::string text;
        text = c.text;
        EXPECT_EXIT(check_file_list(text.c_str()), testing::ExitedWithCode(0), fatal_pattern(c.message))
            << c.text;
    }
    check_file_list((std::string(header) + "change \"d\",\"x\" \"a\"->\"b\" shortcut \"s\",\"t\"").c_str());
    EXPECT_STREQ("D:\\setup\\", install_state.source_dir);
    EXPECT_STREQ("s", install_state.shortcut_names[0]);
    EXPECT_TRUE(rec.calls.empty());
}

}  // namespace
