// The folder copy on Wine's real file system: what reaches the target, what
// the install log says and in which order, and the fatal ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "boundary/wide_text.h"
#include "copy_fixture.h"
#include "install/folder_copy.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

using namespace copy_fixture;

namespace {

class FolderCopy : public testing::Test {
protected:
    void SetUp() override
    {
        root = fresh_folder();
        prepare_state(root);
        source = root + "medium\\data\\";
        CreateDirectory932((root + "medium").c_str(), NULL);
        CreateDirectory932(source.c_str(), NULL);
        install = root + "install\\";
        CreateDirectory932(install.c_str(), NULL);
    }

    std::vector<std::string> log() { return read_lines(install_state.install_log_path); }

    std::string root, source, install;
};

TEST_F(FolderCopy, CopiesEveryFileAndLogsTheNewFolderThenEachFileInCopyOrder)
{
    const char *names[] = {"a.txt", "ソフト.dat", "readme", "z.bin"};
    for (int i = 0; i < 4; i++)
        write_file(source + names[i], pattern_bytes(1000 + i * 777, i));
    std::string target = install + "data\\";
    BoxRobot robot;
    EXPECT_EQ(1, copy_folder(target.c_str(), source.c_str()));

    std::vector<std::string> expected = {":" + target};
    for (const std::string &name : folder_entries(source))
        expected.push_back(target + name);
    EXPECT_EQ(expected, log());
    EXPECT_EQ(4u, robot.dialogs.size());
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(read_file(source + names[i]) == read_file(target + names[i])) << names[i];
}

TEST_F(FolderCopy, AnExistingTargetFolderGetsNoFolderLine)
{
    write_file(source + "a.txt", "a");
    EXPECT_EQ(1, copy_folder(install.c_str(), source.c_str()));
    EXPECT_EQ(std::vector<std::string>{install + "a.txt"}, log());
}

// Every folder made on the way is logged, parents first, for the uninstall.
TEST_F(FolderCopy, EveryFolderMadeOnTheWayIsLoggedParentsFirst)
{
    write_file(source + "a.txt", "a");
    std::string target = install + "one\\two\\";
    EXPECT_EQ(1, copy_folder(target.c_str(), source.c_str()));
    EXPECT_EQ((std::vector<std::string>{":" + install + "one\\", ":" + target, target + "a.txt"}), log());
    EXPECT_EQ("a", read_file(target + "a.txt"));
}

TEST_F(FolderCopy, AnEmptySourceReturnsOneWithoutADialogAndKeepsTheNewFolder)
{
    BoxRobot robot;
    std::string target = install + "empty\\";
    EXPECT_EQ(1, copy_folder(target.c_str(), source.c_str()));
    EXPECT_TRUE(robot.dialogs.empty());
    EXPECT_TRUE(path_exists(target));
    EXPECT_EQ(std::vector<std::string>{":" + target}, log());
}

TEST_F(FolderCopy, ClosingTheSecondDialogLogsItSkipsTheThirdAndReturnsZero)
{
    for (const char *name : {"1.bin", "2.bin", "3.bin"})
        write_file(source + name, pattern_bytes(3000));
    std::vector<std::string> order = folder_entries(source);
    std::string target = install + "data\\";
    BoxRobot robot;
    robot.on_dialog = [&](HWND dialog) {
        if (robot.dialogs.size() == 2)
            PostMessageA(dialog, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(0, copy_folder(target.c_str(), source.c_str()));
    EXPECT_EQ((std::vector<std::string>{":" + target, target + order[0], target + order[1]}), log());
    EXPECT_TRUE(path_exists(target + order[0]));
    EXPECT_FALSE(path_exists(target + order[1]));
    EXPECT_FALSE(path_exists(target + order[2]));
}

// The medium copied onto itself (the user chose the folder the program runs
// from): whatever spelling names the target, it is the source file. Nothing
// is opened for writing or logged, and the user is told why.
TEST_F(FolderCopy, AFolderCopiedOntoItselfUnderAnyNameIsLeftWhole)
{
    const std::string medium = "C:\\copy onto itself\\", folder = medium + "Long Medium Folder\\";
    CreateDirectory932(medium.c_str(), NULL);
    CreateDirectory932(folder.c_str(), NULL);
    const std::string bytes = pattern_bytes(5000, 7);
    for (const char *name : {"Game Data.bin", "b.txt"})
        write_file(folder + name, bytes);
    char short_name[MAX_PATH];
    ASSERT_LT(0u, GetShortPathName932(folder.c_str(), short_name, sizeof short_name));
    std::string upper = folder;
    CharUpper932(&upper[0]);
    for (const std::string &target : {std::string(short_name), upper}) {
        ASSERT_NE(folder, target);
        BoxRobot robot;
        EXPECT_EQ(0, copy_folder(target.c_str(), folder.c_str()));
        ASSERT_EQ(1u, robot.boxes.size());
        EXPECT_EQ("インストールエラー", robot.boxes[0].caption);
        EXPECT_EQ("コピー先\"" + target + folder_entries(folder)[0] +
                      "\"はコピー元と同じファイルです。インストール先には別のフォルダを選んでください。",
                  robot.boxes[0].text);
        EXPECT_TRUE(robot.dialogs.empty());
        EXPECT_TRUE(log().empty());
        for (const char *name : {"Game Data.bin", "b.txt"})
            EXPECT_TRUE(read_file(folder + name) == bytes) << name;
    }
    run_unix("rm -rf '" + unix_path(medium) + "'");
}

// A listing that fails is no empty folder: at its first entry or part way,
// the copy ends with 0 before any file, instead of a success that would
// leave files out of the install. Failing calls stand in for a drive that is
// not ready or a scratched disc.
HANDLE WINAPI first_fails(LPCWSTR, LPWIN32_FIND_DATAW)
{
    SetLastError(ERROR_NOT_READY);
    return INVALID_HANDLE_VALUE;
}

BOOL WINAPI next_fails(HANDLE, LPWIN32_FIND_DATAW)
{
    SetLastError(ERROR_CRC);
    return FALSE;
}

HANDLE WINAPI first_finds_nothing(LPCWSTR, LPWIN32_FIND_DATAW)
{
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
}

TEST_F(FolderCopy, AListingThatFailsEndsTheCopyWithZeroAndNoFile)
{
    for (const char *name : {"1.bin", "2.bin", "3.bin"})
        write_file(source + name, "x");
    const std::string target = install + "data\\";
    const struct {
        FolderListing listing;
        int result;
    } cases[] = {
        {{first_fails, FindNextFileW}, 0},
        {{FindFirstFileW, next_fails}, 0},
        {{first_finds_nothing, FindNextFileW}, 1},   // an empty drive root
    };
    for (const auto &c : cases) {
        folder_listing = c.listing;
        BoxRobot robot;
        EXPECT_EQ(c.result, copy_folder(target.c_str(), source.c_str()));
        folder_listing = {FindFirstFileW, FindNextFileW};
        EXPECT_TRUE(robot.dialogs.empty());
        EXPECT_EQ(std::vector<std::string>{":" + target}, log());
        EXPECT_EQ(std::vector<std::string>{}, folder_entries(target));
        DeleteFile932(install_state.install_log_path);
        RemoveDirectory932(target.c_str());
    }
}

TEST_F(FolderCopy, HiddenSystemAndReadOnlyFilesAreCopiedAndEndWithoutAttributes)
{
    write_file(source + "h.dat", "hidden");
    write_file(source + "s.dat", "system");
    write_file(source + "r.dat", "readonly");
    SetFileAttributes932((source + "h.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributes932((source + "s.dat").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributes932((source + "r.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(1, copy_folder(install.c_str(), source.c_str()));
    for (const char *name : {"h.dat", "s.dat", "r.dat"}) {
        DWORD attributes = GetFileAttributes932((install + name).c_str());
        EXPECT_EQ(0u, attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)) << name;
    }
    EXPECT_EQ("readonly", read_file(install + "r.dat"));
    EXPECT_EQ(3u, log().size());
    SetFileAttributes932((source + "r.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A subfolder, or a file whose name code page 932 cannot hold (it could be
// neither copied by that name nor logged).
TEST_F(FolderCopy, AnEntryItCannotCopyEndsTheProgramBeforeAnyFileIsCopiedWithTheFolderLineLogged)
{
    write_file(source + "a.txt", "a");
    write_file(source + "b.txt", "b");
    const std::wstring wide_source = Wide(source.c_str()).text();
    const struct {
        const wchar_t *entry;
        bool folder;
        const char *message;
    } cases[] = {
        {L"sub", true, "コピー元フォルダにサブフォルダがあります。サブフォルダのコピーはサポートしていません。"},
        {L"caf\u00e9.txt", false, "コピー元フォルダに、このインストーラでは使えない文字を含む名前のファイルがあります。"},
    };
    std::string target = install + "data\\";
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const std::wstring entry = wide_source + c.entry;
        if (c.folder)
            CreateDirectoryW(entry.c_str(), NULL);
        else
            CloseHandle(CreateFileW(entry.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
        DeleteFile932(install_state.install_log_path);
        remove_tree(target);
        EXPECT_EXIT(
            {
                BoxRobot robot;
                copy_folder(target.c_str(), source.c_str());
            },
            testing::ExitedWithCode(0), fatal_pattern(c.message) + "owner=none");
        EXPECT_EQ(std::vector<std::string>{":" + target}, log());
        EXPECT_FALSE(path_exists(target + "a.txt"));
        EXPECT_FALSE(path_exists(target + "b.txt"));
        c.folder ? RemoveDirectoryW(entry.c_str()) : DeleteFileW(entry.c_str());
    }
}

TEST_F(FolderCopy, AMissingSourceEndsWithTheAccessMessageAndNothingLogged)
{
    std::string missing = root + "medium\\none\\";
    std::string target = install + "data\\";
    EXPECT_EXIT(
        {
            BoxRobot robot;
            copy_folder(target.c_str(), missing.c_str());
        },
        testing::ExitedWithCode(0),
        fatal_pattern("コピー元フォルダ\"" + missing + "\"にアクセス出来ません。") + "owner=none");
    EXPECT_TRUE(log().empty());
    EXPECT_FALSE(path_exists(target));
}

TEST_F(FolderCopy, OverLongFilePathsAreRefusedBeforeTheirDialog)
{
    // The target folder's own line fits the log; a file name on top of it does not fit a path.
    std::string target = install + std::string(250 - install.size(), 't') + "\\";
    std::string name(20, 'n');
    write_file(source + name, "x");
    EXPECT_EXIT(
        {
            BoxRobot robot;
            copy_folder(target.c_str(), source.c_str());
        },
        testing::ExitedWithCode(0), fatal_pattern("コピー先ファイルのパスが長すぎます。259バイトまでです。"));
}

TEST_F(FolderCopy, MoreFilesThanTheNameTableHoldsAreRefusedBeforeAnyCopy)
{
    // Made once per run, outside the per-test folder (a death test's child
    // runs the set-up again), beside its final place and renamed into it.
    std::string many = current_folder() + "copy_work\\65537 files\\";
    std::string many_unix = unix_path(many);
    std::string staging = many_unix;
    if (!staging.empty() && staging.back() == '/')
        staging.pop_back();
    run_unix("[ -d '" + many_unix + "' ] || { d='" + staging +
             ".new' && rm -rf \\\"$d\\\" && mkdir \\\"$d\\\" && cd \\\"$d\\\" && seq 1 " +
             std::to_string(COPY_FILE_NAMES_MAX + 1) + " | xargs touch && mv \\\"$d\\\" '" + many_unix + "'; }");
    ASSERT_TRUE(path_exists(many + "65537"));
    std::string target = install + "many\\";
    EXPECT_EXIT(
        {
            BoxRobot robot;
            copy_folder(target.c_str(), many.c_str());
        },
        testing::ExitedWithCode(0), fatal_pattern("コピー元フォルダのファイルが多すぎます。65536個までです。"));
    EXPECT_EQ(std::vector<std::string>{":" + target}, log());
    EXPECT_EQ(std::vector<std::string>{}, folder_entries(target));
}

}  // namespace

namespace {

// A real 1 MiB disk (a tmpfs) as drive Q:. Mounting needs root; without it
// the test is skipped. Set up idempotently: a death test's child runs the
// set-up again while the parent's disk is in place.
class FullDisk : public FolderCopy {
protected:
    void SetUp() override
    {
        FolderCopy::SetUp();
        mount_point = unix_path(current_folder()) + "copy_work/small disk";
        run_unix("mountpoint -q '" + mount_point + "' || { mkdir -p '" + mount_point +
                 "' && mount -t tmpfs -o size=1m tmpfs '" + mount_point + "'; }; find '" + mount_point +
                 "' -mindepth 1 -delete; ln -sfn '" + mount_point + "' \\\"$WINEPREFIX/dosdevices/q:\\\"");
        ULARGE_INTEGER free_bytes, total;
        if (!GetDiskFreeSpaceExA("Q:\\", &free_bytes, &total, NULL) || total.QuadPart > 2 * 1048576)
            GTEST_SKIP() << "no small disk could be mounted (needs root)";
    }
    void TearDown() override
    {
        unmap_drive('q');
        run_unix("umount '" + mount_point + "'; rmdir '" + mount_point + "'");
    }
    std::string mount_point;
};

TEST_F(FullDisk, AFullTargetDiskEndsTheProgramDeletingThePartlyWrittenFile)
{
    std::string small = root + "medium\\small\\", big = root + "medium\\big\\";
    CreateDirectory932(small.c_str(), NULL);
    CreateDirectory932(big.c_str(), NULL);
    write_file(small + "one.bin", pattern_bytes(100000, 1));
    write_file(small + "two.bin", pattern_bytes(100000, 2));
    write_file(big + "large.bin", pattern_bytes(2 * 1048576 + 1234, 3));
    EXPECT_EXIT(
        {
            BoxRobot robot;
            copy_folder("Q:\\inst\\small\\", small.c_str());
            copy_folder("Q:\\inst\\big\\", big.c_str());
        },
        testing::ExitedWithCode(0), fatal_pattern("ファイルが書き込めません。空き容量が足りません。") + "owner=none");
    std::vector<std::string> expected = {":Q:\\inst\\", ":Q:\\inst\\small\\"};
    for (const std::string &name : folder_entries(small))
        expected.push_back("Q:\\inst\\small\\" + name);
    expected.push_back(":Q:\\inst\\big\\");
    EXPECT_EQ(expected, log());
    EXPECT_TRUE(read_file(small + "one.bin") == read_file("Q:\\inst\\small\\one.bin"));
    // The part written is not logged, so it does not stay.
    EXPECT_EQ(std::vector<std::string>{}, folder_entries("Q:\\inst\\big\\"));
}

}  // namespace
