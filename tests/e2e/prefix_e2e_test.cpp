// The prefix the end-to-end tests run in: D: is the CD-ROM drive because the
// setting stands where Wine's drive service, a 64-bit program, reads it. Set
// up with a 32-bit tool it lands in the 32-bit view, and D: is a fixed disk.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>
#include "support/cp932_calls.h"

namespace {

std::string drives_value(REGSAM view)
{
    HKEY key;
    if (RegOpenKeyEx932(HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", 0, KEY_QUERY_VALUE | view, &key))
        return "<no key>";
    char data[64] = {0};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    LONG status = RegQueryValueEx932(key, "d:", NULL, &type, (BYTE *)data, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(data) : "<no value>";
}

TEST(Prefix, DriveDIsDeclaredACdRomDriveWhereWinesServicesReadIt)
{
    EXPECT_EQ("cdrom", drives_value(KEY_WOW64_64KEY));
    EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("D:\\"));
}

}  // namespace
