// Path arithmetic in code page 932: which paths the uninstall may act on,
// and which relative paths of a file list stay inside their folder.
#include <gtest/gtest.h>

#include "core/path_scan.h"

namespace {

// 'ソ' is 0x83 0x5C: its second byte is the backslash code.
#define SO "\x83\x5c"

TEST(PlainPathDepth, CountsNamedComponentsOfDriveAbsolutePathsOnly)
{
    const struct {
        const char *path;
        int depth;
    } cases[] = {
        {"C:\\", 0},           {"C:\\Game", 1},          {"c:\\Game\\data\\", 2},
        {"C:/Game/a.bin", 2},  {"C:\\" SO "\\x", 2},     {"C:\\a" SO, 1},
        {"C:\\..\\x", -1},     {"C:\\Game\\.\\x", -1},   {"C:\\Game\\...\\x", -1},
        {"C:\\Game\\.. \\x", -1}, {"C:\\Game/../x", -1}, {"C:\\Game\\\\x", -1},
        {"C:\\Game\\a:s", -1}, {"C:Game", -1},           {"\\\\server\\share\\x", -1},
        {"\\Game\\x", -1},     {"Game\\x", -1},          {"", -1},
        {"1:\\x", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.depth, plain_path_depth(c.path, cp932_lead_byte)) << c.path;
}

TEST(PathWithin, IsTheFolderOrBelowItByteForByte)
{
    const struct {
        const char *path;
        const char *folder;
        int within;
    } cases[] = {
        {"C:\\Game\\a.bin", "C:\\Game\\", 1},
        {"C:\\Game\\a.bin", "C:\\Game", 1},
        {"C:\\Game\\", "C:\\Game\\", 1},
        {"C:\\Game", "C:\\Game\\", 1},
        {"C:\\Game2\\a.bin", "C:\\Game\\", 0},
        {"C:\\Gam", "C:\\Game\\", 0},
        {"C:\\game\\a.bin", "C:\\Game\\", 0},
        {"C:\\" SO "\\a.bin", "C:\\" SO "\\", 1},
        // The folder ends in 'ソ', not in a separator: "C:\ソx" is no child.
        {"C:\\" SO "x", "C:\\" SO, 0},
        {"C:\\x", "", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.within, path_within(c.path, c.folder, cp932_lead_byte)) << c.path << " in " << c.folder;
}

TEST(StaysInside, RefusesWhatLeadsAboveOrBesideItsFolder)
{
    const struct {
        const char *relative;
        int inside;
    } cases[] = {
        {"", 1},           {"data", 1},         {"data\\maps\\", 1}, {"data/maps", 1},
        {SO "\\x", 1},     {"..", 0},           {"..\\x", 0},        {"data\\..\\..\\x", 0},
        {"data/../x", 0},  {".\\x", 0},         {"\\Windows", 0},    {"C:\\Windows", 0},
        {"C:x", 0},        {"data\\\\x", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.inside, stays_inside(c.relative, cp932_lead_byte)) << c.relative;
}

}  // namespace
