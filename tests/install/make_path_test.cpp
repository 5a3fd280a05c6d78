// Folder path creation on Wine's real file system.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/make_path.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"

namespace {

const char root[] = "C:\\make_path_test";

class MakePath : public testing::Test {
protected:
    void SetUp() override { clean(); }
    void TearDown() override { clean(); }
    static void clean() { remove_tree(root); }
};

TEST_F(MakePath, CreatesEveryMissingLevelAndIsRepeatable)
{
    const std::string path = std::string(root) + "\\a\\b\\";
    EXPECT_EQ(1, make_path(path.c_str()));
    EXPECT_TRUE(is_folder(std::string(root) + "\\a"));
    EXPECT_TRUE(is_folder(std::string(root) + "\\a\\b"));
    EXPECT_EQ(1, make_path(path.c_str()));
    EXPECT_EQ(1, make_path((std::string(root) + "\\a\\b").c_str()));   // no trailing '\'
}

// A second byte 0x5C is no separator: 'ソ' (0x83 0x5C) opens 'ソフト', and in
// 'ソフト表' the 0x5C of '表' (0x95 0x5C) follows other characters, where a
// byte-wise scan would make an extra folder 'ソフト' on the way.
TEST_F(MakePath, KeepsADoubleByteNameWhole)
{
    for (const std::string name : {"\x83\x5c\x83\x74\x83\x67", "\x83\x5c\x83\x74\x83\x67\x95\x5c"}) {
        const std::string folder = std::string(root) + "\\" + name;
        EXPECT_EQ(1, make_path((folder + "\\sub\\").c_str()));
        EXPECT_TRUE(is_folder(folder + "\\sub"));
        EXPECT_EQ(std::vector<std::string>{name}, folder_entries(root));
        remove_tree(root);
    }
}

TEST_F(MakePath, FailsAtOnceForALeadingBackslash)
{
    EXPECT_EQ(0, make_path("\\make_path_test\\a\\"));
    EXPECT_FALSE(is_folder(root));
}

TEST_F(MakePath, LeavesCreatedFoldersInPlaceOnFailure)
{
    ASSERT_TRUE(CreateDirectory932(root, NULL));
    const std::string blocker = std::string(root) + "\\file";
    HANDLE f = CreateFile932(blocker.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    // 'a' is created, then the file named like a folder stops the walk.
    EXPECT_EQ(0, make_path((std::string(root) + "\\a\\..\\file\\x\\").c_str()));
    EXPECT_TRUE(is_folder(std::string(root) + "\\a"));
}

TEST_F(MakePath, RefusesPathsBeyondThePlatformLimitWithoutCreatingAnything)
{
    std::string longest = std::string(root) + "\\a\\";
    longest += std::string(259 - longest.size(), 'n');
    ASSERT_EQ(259u, longest.size());
    EXPECT_EQ(1, make_path(longest.c_str()));
    EXPECT_TRUE(is_folder(longest));
    RemoveDirectory932(longest.c_str());
    RemoveDirectory932((std::string(root) + "\\a").c_str());
    RemoveDirectory932(root);
    EXPECT_EQ(0, make_path((longest + "n").c_str()));
    EXPECT_FALSE(is_folder(root));
}

}  // namespace
