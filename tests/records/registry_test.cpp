// The install record against Wine's real HKEY_CURRENT_USER.
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "records/registry.h"
#include "state/install_state.h"
#include "support/cp932_calls.h"
#include "support/hkcu.h"

namespace {

const char brand[] = "software\\InstallerTestBrand";

void set_keys(const char *bland, const char *title)
{
    snprintf(install_state.brand_key, sizeof install_state.brand_key, "software\\%s", bland);
    snprintf(install_state.product_key, sizeof install_state.product_key, "software\\%s\\%s",
             bland, title);
}

void write_record(const char *product)
{
    ASSERT_EQ(1, reg_write_value("D:\\", product, "instdrv"));
    ASSERT_EQ(1, reg_write_value("C:\\G\\game.exe", product, "exepath"));
    ASSERT_EQ(1, reg_write_value("0", product, "instopt"));
    ASSERT_EQ(1, reg_write_value("C:\\G\\", product, "gamedir"));
}

class Registry : public testing::Test {
protected:
    void SetUp() override { RegDeleteTree932(HKEY_CURRENT_USER, brand); }
    void TearDown() override { RegDeleteTree932(HKEY_CURRENT_USER, brand); }
};

TEST_F(Registry, ValuesAreStringsStoredWithoutTheirZero)
{
    const std::string product = std::string(brand) + "\\Title";
    // Wine stores a zero that follows the data on its own; with a byte other
    // than zero after the text, the stored size shows what the program passed.
    const char source[] = "C:\\Game\\XY";
    const int length = 9;
    ASSERT_EQ(1, reg_write_bytes(source, length, product.c_str(), "exepath"));
    EXPECT_TRUE(key_exists(brand));

    DWORD type = 0, size = 0;
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyEx932(HKEY_CURRENT_USER, product.c_str(), 0, KEY_READ, &key));
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueEx932(key, "exepath", NULL, &type, NULL, &size));
    RegCloseKey(key);
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ((DWORD)length, size);
    ASSERT_EQ(1, reg_write_value("C:\\Game", product.c_str(), "gamedir"));
    char back[260];
    ASSERT_EQ(1, reg_read_value(back, product.c_str(), "gamedir", sizeof back));
    EXPECT_STREQ("C:\\Game", back);
}

TEST_F(Registry, ReadBackIsTerminatedAfterItsData)
{
    const std::string product = std::string(brand) + "\\Title";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKey932(HKEY_CURRENT_USER, product.c_str(), &key));
    // Stored with no zero at all: five bytes of text.
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueEx932(key, "gamedir", 0, REG_SZ, (const BYTE *)"C:\\G\\Q", 5));
    RegCloseKey(key);
    char buffer[260];
    memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(1, reg_read_value(buffer, product.c_str(), "gamedir", sizeof buffer));
    EXPECT_STREQ("C:\\G\\", buffer);

    // A text that fills the buffer exactly still gets its zero inside it.
    char small[6];
    memset(small, '#', sizeof small);
    ASSERT_EQ(1, reg_read_value(small, product.c_str(), "gamedir", sizeof small));
    EXPECT_STREQ("C:\\G\\", small);
    char too_small[5];
    EXPECT_EQ(0, reg_read_value(too_small, product.c_str(), "gamedir", sizeof too_small));

    EXPECT_EQ(0, reg_read_value(buffer, product.c_str(), "missing", sizeof buffer));
    EXPECT_EQ(0, reg_read_value(buffer, "software\\InstallerTestBrand\\None", "gamedir", 260));
}

// A user name like "Jos\u00e9" in the Programs folder: no 932 text stands for
// it, so the value is as good as missing.
TEST_F(Registry, AValueBeyondCodePage932ReadsAsMissing)
{
    const std::string product = std::string(brand) + "\\Title";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKey932(HKEY_CURRENT_USER, product.c_str(), &key));
    const wchar_t folder[] = L"C:\\Users\\Jos\u00e9\\Programs";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"gamedir", 0, REG_SZ, (const BYTE *)folder, sizeof folder));
    RegCloseKey(key);
    char buffer[260] = "stale";
    EXPECT_EQ(0, reg_read_value(buffer, product.c_str(), "gamedir", sizeof buffer));
}

TEST_F(Registry, AnEmptyExepathStillReads)
{
    const std::string product = std::string(brand) + "\\Title";
    ASSERT_EQ(1, reg_write_value("", product.c_str(), "exepath"));
    char buffer[260] = "stale";
    EXPECT_EQ(1, reg_read_value(buffer, product.c_str(), "exepath", sizeof buffer));
    EXPECT_STREQ("", buffer);
}

TEST_F(Registry, RemovingOneTitleKeepsTheBrandWhileAnotherRemains)
{
    set_keys("InstallerTestBrand", "One");
    write_record(install_state.product_key);
    write_record("software\\InstallerTestBrand\\Two");

    remove_install_record();
    EXPECT_FALSE(key_exists("software\\InstallerTestBrand\\One"));
    EXPECT_TRUE(key_exists(brand));

    set_keys("InstallerTestBrand", "Two");
    remove_install_record();
    EXPECT_FALSE(key_exists(brand));
    EXPECT_TRUE(key_exists("software"));
}

TEST_F(Registry, AProductKeyWithOtherValuesStays)
{
    set_keys("InstallerTestBrand", "One");
    write_record(install_state.product_key);
    ASSERT_EQ(1, reg_write_value("x", install_state.product_key, "userdata"));
    remove_install_record();
    char buffer[260];
    EXPECT_EQ(0, reg_read_value(buffer, install_state.product_key, "exepath", 260));
    EXPECT_EQ(1, reg_read_value(buffer, install_state.product_key, "userdata", 260));
}

TEST_F(Registry, AnEmptyBrandDeletesTheValuesAndTheProductKeyButNeverSoftware)
{
    // bland "" gives brand_key "software\" (9 bytes) and product_key "software\\Title".
    set_keys("", "InstallerTestEmptyBrand");
    ASSERT_EQ(9u, strlen(install_state.brand_key));
    write_record(install_state.product_key);
    remove_install_record();
    char buffer[260];
    for (const char *name : {"instdrv", "exepath", "instopt", "gamedir"})
        EXPECT_EQ(0, reg_read_value(buffer, install_state.product_key, name, 260)) << name;
    EXPECT_FALSE(key_exists("software\\InstallerTestEmptyBrand"));
    EXPECT_TRUE(key_exists("software"));
    // An empty title as well: "software\\" names "software" and stays.
    set_keys("", "");
    remove_install_record();
    EXPECT_TRUE(key_exists("software"));
}

// The longest value the install writes (a path of 259 bytes) reads back into
// the 260 bytes every caller has; one byte more does not fit.
TEST_F(Registry, AValueOf259BytesReadsBackWhole)
{
    const std::string product = std::string(brand) + "\\Title";
    const std::string path = "C:\\" + std::string(255, 'g') + "\\";
    ASSERT_EQ(259u, path.size());
    ASSERT_EQ(1, reg_write_value(path.c_str(), product.c_str(), "exepath"));
    char buffer[260];
    ASSERT_EQ(1, reg_read_value(buffer, product.c_str(), "exepath", sizeof buffer));
    EXPECT_EQ(path, buffer);
    ASSERT_EQ(1, reg_write_value((path + "x").c_str(), product.c_str(), "exepath"));
    EXPECT_EQ(0, reg_read_value(buffer, product.c_str(), "exepath", sizeof buffer));
}

// Any program of the user may store a text of an odd byte count: it reads
// as its whole UTF-16 units, the half unit dropped.
TEST_F(Registry, AnOddByteCountReadsAsItsWholeUnits)
{
    const std::string product = std::string(brand) + "\\Title";
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKey932(HKEY_CURRENT_USER, product.c_str(), &key));
    const wchar_t text[] = L"C:\\G\\Q";
    for (DWORD bytes : {1u, 5u, 9u}) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"gamedir", 0, REG_SZ, (const BYTE *)text, bytes));
        char buffer[260];
        memset(buffer, '#', sizeof buffer);
        ASSERT_EQ(1, reg_read_value(buffer, product.c_str(), "gamedir", sizeof buffer)) << bytes;
        EXPECT_EQ(std::string("C:\\G\\Q").substr(0, bytes / 2), buffer) << bytes;
        wchar_t *wide = reg_read_text(product.c_str(), "gamedir");
        ASSERT_NE(nullptr, wide);
        EXPECT_EQ(std::wstring(text).substr(0, bytes / 2), wide) << bytes;
        free(wide);
    }
    RegCloseKey(key);
}

TEST_F(Registry, DeleteKeyIfEmptyReportsWhatItFound)
{
    EXPECT_EQ(0, reg_delete_key_if_empty("software\\InstallerTestBrand"));   // does not open
    ASSERT_EQ(1, reg_write_value("v", "software\\InstallerTestBrand\\T", "x"));
    EXPECT_EQ(1, reg_delete_key_if_empty(brand));                            // has a subkey
    EXPECT_TRUE(key_exists(brand));
    EXPECT_EQ(1, reg_delete_value("software\\InstallerTestBrand\\T", "x"));
    EXPECT_EQ(0, reg_delete_value("software\\InstallerTestBrand\\T", "x"));
    EXPECT_EQ(0, reg_delete_value("software\\InstallerTestBrand\\None", "x"));
    EXPECT_EQ(1, reg_delete_key_if_empty("software\\InstallerTestBrand\\T"));
    EXPECT_FALSE(key_exists("software\\InstallerTestBrand\\T"));
}

}  // namespace
