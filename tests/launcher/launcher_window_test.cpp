// The launcher window in this process: its template and icon as built, its
// opening from install.txt (caption, keys, layout, splash), Enter, Escape and
// the close box, and the run command's message. Button states, the settings
// errors and the game start are shown on the real program in tests/e2e.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "launcher/bmp_builder.h"
#include "launcher/launcher_commands.h"
#include "launcher/launcher_harness.h"
#include "launcher/splash_bitmap.h"
#include "records/registry.h"
#include "state/install_state.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

namespace {

const char BRAND[] = "LauncherTestSoft";
const char TITLE[] = "LauncherTestGame";
const char PRODUCT_KEY[] = "software\\LauncherTestSoft\\LauncherTestGame";
const char SETTINGS[] =
    "; テスト用\n"
    "caption \"テスト製品\"\n"
    "maker \"テスト工房\"\n"
    "title \"LauncherTestGame\"\n"
    "bland \"LauncherTestSoft\"\n";

void reset_state()
{
    install_state.exec_message_flag = 0;
    install_state.exe_path[0] = '\0';
    install_state.launcher_window = nullptr;
}

class Launcher : public testing::Test {
protected:
    void SetUp() override
    {
        reset_state();
        remove_record_keys(BRAND, TITLE);
    }
    void TearDown() override
    {
        remove_record_keys(BRAND, TITLE);
        splash_bitmap.release();
    }
};

RECT client_rect_of(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(NULL, dialog, (POINT *)&r, 2);
    return r;
}

std::string text_of(HWND window)
{
    char buffer[512];
    int n = GetWindowText932(window, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? (size_t)n : 0);
}

TEST_F(Launcher, OpensWithTheCaptionTheKeysAndThePixelLayout)
{
    MediumFolder medium("launcher_medium", SETTINGS);
    bool inspected = false;
    INT_PTR result = run_launcher([&](HWND dialog) {
        inspected = true;
        EXPECT_EQ(dialog, (HWND)install_state.launcher_window);
        EXPECT_EQ("テスト製品", text_of(dialog));
        EXPECT_STREQ("software\\LauncherTestSoft", install_state.brand_key);
        EXPECT_STREQ(PRODUCT_KEY, install_state.product_key);
        EXPECT_STREQ("テスト工房", install_state.maker);
        EXPECT_EQ(0, install_state.exec_message_flag);

        RECT outer;
        GetWindowRect(dialog, &outer);
        EXPECT_EQ(310, outer.right - outer.left);
        EXPECT_EQ(360, outer.bottom - outer.top);
        EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - 310) / 2, outer.left);
        EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - 360) / 2, outer.top);
        const struct {
            int id;
            int left;
            const char *text;
        } buttons[] = {{1001, 5, "インストール"}, {1002, 105, "ゲーム実行"}, {1003, 205, "アンインストール"}};
        for (const auto &b : buttons) {
            RECT r = client_rect_of(dialog, b.id);
            EXPECT_EQ(b.left, r.left) << b.id;
            EXPECT_EQ(295, r.top) << b.id;
            EXPECT_EQ(95, r.right - r.left) << b.id;
            EXPECT_EQ(30, r.bottom - r.top) << b.id;
            EXPECT_EQ(b.text, text_of(GetDlgItem(dialog, b.id)));
        }
        EXPECT_TRUE(IsWindowVisible(dialog));
    });
    EXPECT_TRUE(inspected);
    EXPECT_EQ(0, result);
}

// Posted commands are handled in order; the check runs only if the window
// survived IDOK and IDCANCEL.
bool survived;

void CALLBACK note_survival(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    survived = IsWindowVisible(window) != 0;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

TEST_F(Launcher, EnterAndEscapeDoNothingAndTheCloseBoxEndsWithZero)
{
    MediumFolder medium("launcher_medium", SETTINGS);
    survived = false;
    BoxRobot robot;
    INT_PTR result = run_launcher([&](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        HWND focus = GetDlgItem(dialog, ID_INSTALL);
        SetFocus(focus);
        PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
        // A command with a notification code other than a click is not one.
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(ID_INSTALL, BN_SETFOCUS), 0);
        SetTimer(dialog, 2, 300, note_survival);
        launcher_close_after_inspect() = false;
    }, &robot);
    EXPECT_TRUE(survived);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(robot.boxes.empty());
    EXPECT_EQ(1u, robot.dialogs.size());
}

TEST_F(Launcher, TheSplashIsPaintedAt25_20AndAMissingPictureIsSilent)
{
    MediumFolder medium("launcher_medium", SETTINGS);
    BmpRecipe recipe;
    recipe.pixel = [](int x, int y) { return (uint32_t)(x << 16 | y << 8 | 0x40); };
    std::string bmp = bmp_bytes(recipe);
    medium.write("installer.bmp", bmp);
    run_launcher([&](HWND dialog) {
        UpdateWindow(dialog);
        HDC dc = GetDC(dialog);
        for (int p : {0, 77, 255}) {
            EXPECT_EQ(colorref_of(recipe.pixel(p, 255 - p)), GetPixel(dc, 25 + p, 20 + 255 - p)) << p;
            EXPECT_EQ(colorref_of(recipe.pixel(p, p)), GetPixel(dc, 25 + p, 20 + p)) << p;
        }
        ReleaseDC(dialog, dc);
        EXPECT_NE(nullptr, splash_bitmap.image.bitmap);
    });
    medium.remove("installer.bmp");
    BoxRobot robot;
    bool opened = false;
    run_launcher([&](HWND) { opened = true; }, &robot);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(robot.boxes.empty());
    EXPECT_EQ(nullptr, splash_bitmap.image.bitmap);
    EXPECT_NE(nullptr, splash_bitmap.memory_dc);
}

// What the 256 x 256 block shows where no picture lies: a smaller picture's
// surroundings and the whole block without a picture keep the window's own
// background (the copy takes nothing from outside the picture, and nothing
// at all, not even the memory DC's default black pixel, without one).
TEST_F(Launcher, TheSplashBlockOutsideThePictureShowsTheWindowBackground)
{
    MediumFolder medium("launcher_medium", SETTINGS);
    BmpRecipe recipe;
    recipe.width = recipe.height = 16;
    recipe.pixel = [](int, int) { return 0x123456u; };
    COLORREF background = GetSysColor(COLOR_BTNFACE);
    for (bool picture : {true, false}) {
        SCOPED_TRACE(picture ? "16 x 16 picture" : "no picture");
        if (picture)
            medium.write("installer.bmp", bmp_bytes(recipe));
        else
            medium.remove("installer.bmp");
        run_launcher([&](HWND dialog) {
            UpdateWindow(dialog);
            HDC dc = GetDC(dialog);
            if (picture) {
                EXPECT_EQ(colorref_of(0x123456), GetPixel(dc, 25 + 3, 20 + 3));
            }
            for (int p : {16, 100, 255})
                EXPECT_EQ(background, GetPixel(dc, 25 + p, 20 + p)) << p;
            if (!picture) {
                EXPECT_EQ(background, GetPixel(dc, 25, 20)) << "corner";
            }
            ReleaseDC(dialog, dc);
        });
    }
}

// software\<bland>\<title> must fit the 260-byte key buffer.
TEST_F(Launcher, BrandAndTitleTooLongForTheRecordKeyEndTheProgram)
{
    std::string settings = "caption \"c\"\nmaker \"m\"\ntitle \"" + std::string(125, 't') + "\"\nbland \""
                           + std::string(125, 'b') + "\"\n";
    MediumFolder medium("launcher_medium", settings);
    EXPECT_EXIT(
        {
            BoxRobot robot;
            run_launcher([](HWND) {}, &robot);
        },
        testing::ExitedWithCode(0), fatal_pattern("bland文とtitle文が長すぎてレジストリのキーを作れません。"));
}

TEST_F(Launcher, TheExecMessageIsShownOwnedByTheLauncherBeforeTheGame)
{
    std::string settings = std::string(SETTINGS) + "execmessage \"ディスクを入れたままにしてください\"\n";
    MediumFolder medium("launcher_medium", settings);
    char here[MAX_PATH];
    GetCurrentDirectory932(sizeof here, here);
    ASSERT_EQ(1, reg_write_value("C:\\no-such-folder\\game.exe", PRODUCT_KEY, "exepath"));
    // gamedir becomes the current directory even though the game then fails.
    ASSERT_EQ(1, reg_write_value("C:\\windows\\", PRODUCT_KEY, "gamedir"));
    BoxRobot robot;
    HWND launcher = nullptr;
    run_launcher([&](HWND dialog) {
        launcher = dialog;
        SendMessageA(dialog, WM_COMMAND, ID_RUN_GAME, 0);
    }, &robot);
    char now[MAX_PATH];
    GetCurrentDirectory932(sizeof now, now);
    SetCurrentDirectory932(here);
    EXPECT_STREQ("C:\\windows", now);
    EXPECT_EQ(1, install_state.exec_message_flag);
    ASSERT_EQ(1u, robot.boxes.size());
    EXPECT_EQ("実行確認", robot.boxes[0].caption);
    EXPECT_EQ("ディスクを入れたままにしてください", robot.boxes[0].text);
    EXPECT_EQ(launcher, robot.boxes[0].owner);
    EXPECT_EQ(std::vector<int>{IDOK}, robot.boxes[0].button_ids);
}

// The dialog template as built into the program, field by field.
struct TemplateReader {
    const BYTE *p;
    WORD word() { WORD w = *(const WORD *)p; p += 2; return w; }
    DWORD dword() { DWORD d = *(const DWORD *)p; p += 4; return d; }
    short coord() { return (short)word(); }
    std::string text()
    {
        const WCHAR *w = (const WCHAR *)p;
        int length = lstrlenW(w);
        p += 2 * (length + 1);
        char out[256];
        int n = WideCharToMultiByte(932, 0, w, length, out, sizeof out, NULL, NULL);
        return std::string(out, n > 0 ? (size_t)n : 0);
    }
    void align() { p = (const BYTE *)(((UINT_PTR)p + 3) & ~(UINT_PTR)3); }
};

TEST(LauncherResources, TheDialogTemplateIsExactlyAsDesigned)
{
    HRSRC found = FindResourceA(NULL, "IDD_INSTDLG", (LPCSTR)RT_DIALOG);
    ASSERT_NE(nullptr, found);
    TemplateReader r{(const BYTE *)LockResource(LoadResource(NULL, found))};
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT
                      | DS_ABSALIGN),
              r.dword());
    EXPECT_EQ(0u, r.dword());                // no extended style
    ASSERT_EQ(3, r.word());                  // controls
    EXPECT_EQ(0, r.coord());
    EXPECT_EQ(0, r.coord());
    EXPECT_EQ(187, r.coord());
    EXPECT_EQ(213, r.coord());
    EXPECT_EQ(0, r.word());                  // no menu
    EXPECT_EQ(0, r.word());                  // the standard dialog class
    EXPECT_EQ("", r.text());                 // no title
    EXPECT_EQ(9, r.word());
    EXPECT_EQ("ＭＳ Ｐゴシック", r.text());
    const struct {
        int id, x;
        const char *text;
    } controls[] = {{1001, 7, "インストール"}, {1002, 66, "ゲーム実行"}, {1003, 126, "アンインストール"}};
    for (const auto &c : controls) {
        r.align();
        EXPECT_EQ((DWORD)(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON), r.dword()) << c.id;
        EXPECT_EQ(0u, r.dword());
        EXPECT_EQ(c.x, r.coord());
        EXPECT_EQ(184, r.coord());
        EXPECT_EQ(54, r.coord());
        EXPECT_EQ(22, r.coord());
        EXPECT_EQ(c.id, r.word());
        EXPECT_EQ(0xFFFF, r.word());         // a predefined class by atom:
        EXPECT_EQ(0x0080, r.word());         // Button
        EXPECT_EQ(c.text, r.text());
        EXPECT_EQ(0, r.word());              // no creation data
    }
}

TEST(LauncherResources, TheIconHoldsA32And16PixelImageOf16ColoursEach)
{
    HRSRC found = FindResourceA(NULL, "IDI_ICON1", (LPCSTR)RT_GROUP_ICON);
    ASSERT_NE(nullptr, found);
    const BYTE *group = (const BYTE *)LockResource(LoadResource(NULL, found));
    ASSERT_EQ(1, *(const WORD *)(group + 2));     // type: icon
    ASSERT_EQ(2, *(const WORD *)(group + 4));     // two images
    int sizes[2];
    for (int i = 0; i < 2; i++) {
        const BYTE *entry = group + 6 + 14 * i;
        sizes[i] = entry[0];
        EXPECT_EQ(entry[0], entry[1]);            // square
        EXPECT_EQ(16, entry[2]);                  // 16 colours
        EXPECT_EQ(4, *(const WORD *)(entry + 6)); // 4 bits a pixel
        HRSRC image = FindResourceA(NULL, MAKEINTRESOURCEA(*(const WORD *)(entry + 12)),
                                    (LPCSTR)RT_ICON);
        ASSERT_NE(nullptr, image);
        const BITMAPINFOHEADER *header =
            (const BITMAPINFOHEADER *)LockResource(LoadResource(NULL, image));
        EXPECT_EQ(entry[0], header->biWidth);
        EXPECT_EQ(4, header->biBitCount);
    }
    EXPECT_EQ(32, sizes[0]);
    EXPECT_EQ(16, sizes[1]);
    HICON icon = (HICON)LoadImageA(GetModuleHandleA(NULL), "IDI_ICON1", IMAGE_ICON, 16, 16, 0);
    EXPECT_NE(nullptr, icon);
    DestroyIcon(icon);
}

}  // namespace
