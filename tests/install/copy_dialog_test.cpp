// The copy progress dialog on Wine's real dialog manager and progress bar:
// the positions the bar takes, identical copies, the text, the early close,
// the stalled and refused copies, the template itself, and the repaints of
// the windows behind it while nothing is dispatched.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "copy_fixture.h"
#include "install/copy_dialog.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

using namespace copy_fixture;

namespace {

const size_t MiB = 1048576;

class CopyDialog : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fresh_folder();
        prepare_state(folder);
    }
    std::string folder;
};

TEST_F(CopyDialog, TheBarTakesItsPositionsChunkByChunkAndTheCopyIsIdentical)
{
    struct { size_t size; std::vector<int> positions; } cases[] = {
        {2621440, {0, 40, 80, 100}},
        {1572864, {0, 66, 100}},
        {1048576, {0, 100}},
        {0, {0}},
        {1, {0, 100}},
    };
    for (auto &c : cases) {
        std::string source = folder + "source" + std::to_string(c.size) + ".bin";
        std::string target = folder + "target" + std::to_string(c.size) + ".bin";
        std::string bytes = pattern_bytes(c.size, (int)c.size);
        write_file(source, bytes);
        BarWatch watch;
        EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str())) << c.size;
        EXPECT_EQ(c.positions, watch.positions) << c.size;
        EXPECT_TRUE(bytes == read_file(target)) << c.size;     // no dump of megabytes
    }
}

TEST_F(CopyDialog, AnExistingTargetIsReplacedWhole)
{
    std::string source = folder + "new.bin", target = folder + "old.bin";
    write_file(source, "short");
    write_file(target, pattern_bytes(3 * MiB));
    EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
    EXPECT_EQ("short", read_file(target));
}

struct SeenDialog {
    std::string caption, text, bar_class;
    RECT rect;
    HWND owner;
};

SeenDialog look_at(HWND dialog)
{
    SeenDialog seen{};
    char buffer[1000];
    GetWindowText932(dialog, buffer, sizeof buffer);
    seen.caption = buffer;
    GetDlgItemText932(dialog, COPY_TEXT_ID, buffer, sizeof buffer);
    seen.text = buffer;
    GetClassNameA(GetDlgItem(dialog, COPY_BAR_ID), buffer, sizeof buffer);
    seen.bar_class = buffer;
    GetWindowRect(dialog, &seen.rect);
    seen.owner = GetWindow(dialog, GW_OWNER);
    return seen;
}

TEST_F(CopyDialog, ShowsSourceArrowTargetAtTheScreenCornerWithoutOwner)
{
    std::string source = folder + "ソフト.txt", target = folder + "コピー先.txt";
    write_file(source, "abc");
    BoxRobot robot;
    std::vector<SeenDialog> seen;
    robot.on_dialog = [&](HWND dialog) { seen.push_back(look_at(dialog)); };
    EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("ファイルをコピーしています", seen[0].caption);
    EXPECT_EQ(source + " -> " + target, seen[0].text);
    EXPECT_EQ("msctls_progress32", seen[0].bar_class);
    EXPECT_EQ(0, seen[0].rect.left);
    EXPECT_EQ(0, seen[0].rect.top);
    EXPECT_EQ(nullptr, seen[0].owner);
    EXPECT_EQ("abc", read_file(target));
    EXPECT_EQ(nullptr, install_state.copy_source);      // valid only while the dialog runs
}

TEST_F(CopyDialog, ClosingBeforeTheFirstTickCopiesNothing)
{
    std::string source = folder + "a.bin", target = folder + "b.bin";
    write_file(source, pattern_bytes(1000));
    BoxRobot robot;
    robot.on_dialog = [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); };
    BarWatch watch;
    EXPECT_EQ(0, show_copy_dialog(source.c_str(), target.c_str()));
    EXPECT_FALSE(path_exists(target));
    EXPECT_TRUE(watch.positions.empty());
}

TEST_F(CopyDialog, EscAndEnterDoNothing)
{
    std::string source = folder + "a.bin", target = folder + "b.bin";
    write_file(source, "x");
    BoxRobot robot;
    robot.on_dialog = [](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
    EXPECT_EQ("x", read_file(target));
}

// Closes the dialog after `ms` unless it has ended by then.
struct LateClose {
    static HWND &dialog() { static HWND d; return d; }
    static bool &fired() { static bool f; return f; }
    static void CALLBACK close_now(HWND, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(NULL, id);
        fired() = true;
        if (IsWindow(dialog()))
            PostMessageA(dialog(), WM_CLOSE, 0, 0);
    }
    explicit LateClose(BoxRobot &robot, UINT ms)
    {
        fired() = false;
        robot.on_dialog = [ms](HWND d) { dialog() = d; SetTimer(NULL, 0, ms, close_now); };
    }
};

TEST_F(CopyDialog, AMissingSourceStallsWithAnEmptyBarUntilClosed)
{
    std::string target = folder + "b.bin";
    BoxRobot robot;
    LateClose late(robot, 400);
    BarWatch watch;
    EXPECT_EQ(0, show_copy_dialog((folder + "missing.bin").c_str(), target.c_str()));
    EXPECT_TRUE(LateClose::fired());
    EXPECT_TRUE(watch.positions.empty());
    EXPECT_FALSE(path_exists(target));
}

TEST_F(CopyDialog, ATargetThatCannotBeOpenedEndsAtOnceWithZero)
{
    // A folder where the target file should be: the write stream cannot open.
    std::string source = folder + "a.bin", target = folder + "taken";
    write_file(source, pattern_bytes(5000));
    CreateDirectory932(target.c_str(), NULL);
    BoxRobot robot;
    LateClose late(robot, 5000);
    EXPECT_EQ(0, show_copy_dialog(source.c_str(), target.c_str()));
    EXPECT_FALSE(LateClose::fired());
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributes932(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    // A target folder that does not exist: no stream, no data, result 0.
    EXPECT_EQ(0, show_copy_dialog(source.c_str(), (folder + "none\\b.bin").c_str()));
    EXPECT_FALSE(LateClose::fired());
}

TEST_F(CopyDialog, ADialogThatCannotBeCreatedIsNotTakenForACopy)
{
    std::string source = folder + "a.bin", target = folder + "b.bin";
    write_file(source, "x");
    install_state.instance = GetModuleHandleA("kernel32.dll");   // holds no IDD_KEIKA
    EXPECT_EQ(0, show_copy_dialog(source.c_str(), target.c_str()));
    EXPECT_FALSE(path_exists(target));
}

// Paints of the two windows behind the dialog, in the bar watch's events.
LRESULT CALLBACK note_paint(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_PAINT && BarWatch::current()) {
        char name[32];
        GetWindowText932(window, name, sizeof name);
        BarWatch::current()->events.push_back(name);
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND behind_window(const char *name, int x)
{
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = note_paint;
    window_class.hInstance = GetModuleHandleA(NULL);
    window_class.lpszClassName = "CopyTestBehind";
    RegisterClassA(&window_class);
    HWND window = CreateWindowA("CopyTestBehind", name, WS_POPUP | WS_VISIBLE, x, 400, 100, 100,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
    UpdateWindow(window);
    return window;
}

TEST_F(CopyDialog, RepaintsTheLauncherAndOptionsWindowsAfterEveryChunk)
{
    std::string source = folder + "a.bin", target = folder + "b.bin";
    write_file(source, pattern_bytes(2621440));
    HWND launcher = behind_window("launcher", 300);
    HWND options = behind_window("options", 500);
    install_state.launcher_window = launcher;
    install_state.options_window = options;
    {
        BarWatch watch;
        watch.invalidate_after_each = {launcher, options};
        EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
        std::vector<std::string> expected = {"bar 0", "bar 40", "launcher", "options", "bar 80",
                                             "launcher", "options", "bar 100", "launcher", "options"};
        ASSERT_LE(expected.size(), watch.events.size());
        auto first_bar = std::find(watch.events.begin(), watch.events.end(), "bar 0");
        ASSERT_LE(expected.size(), (size_t)(watch.events.end() - first_bar));
        EXPECT_EQ(expected, std::vector<std::string>(first_bar, first_bar + expected.size()));
    }
    // A missing window is skipped; the other is still painted.
    install_state.options_window = NULL;
    {
        BarWatch watch;
        watch.invalidate_after_each = {launcher};
        EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
        auto first_bar = std::find(watch.events.begin(), watch.events.end(), "bar 0");
        std::vector<std::string> expected = {"bar 0", "bar 40", "launcher", "bar 80", "launcher", "bar 100", "launcher"};
        ASSERT_LE(expected.size(), (size_t)(watch.events.end() - first_bar));
        EXPECT_EQ(expected, std::vector<std::string>(first_bar, first_bar + expected.size()));
    }
    DestroyWindow(launcher);
    DestroyWindow(options);
}

// Reads a zero-terminated UTF-16 string or an ordinal of a dialog template.
std::string template_field(const WORD *&p)
{
    if (*p == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(p[1]);
        p += 2;
        return ordinal;
    }
    const WORD *start = p;
    while (*p)
        p++;
    char text[600];
    int n = WideCharToMultiByte(932, 0, (LPCWSTR)start, (int)(p - start), text, sizeof text, NULL, NULL);
    p++;
    return std::string(text, n);
}

// The program does not import the common controls: the bar's class comes
// from the system folder's DLL, loaded by its full path.
TEST(CopyDialogClass, IsRegisteredFromTheSystemFoldersCommonControls)
{
    EXPECT_EQ(1, register_progress_class());
    WNDCLASSEXA bar = {sizeof bar};
    EXPECT_TRUE(GetClassInfoExA(NULL, "msctls_progress32", &bar));
}

struct TemplateItem {
    DWORD style, ex_style;
    short x, y, cx, cy;
    WORD id;
    std::string class_name, text;
};

TEST(CopyDialogTemplate, IsTheJapaneseDialogWithTheStaticTextAndTheSmoothBar)
{
    HMODULE program = GetModuleHandleA(NULL);
    HRSRC found = FindResourceExA(program, (LPCSTR)RT_DIALOG, "IDD_KEIKA",
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(nullptr, found);
    const BYTE *data = (const BYTE *)LockResource(LoadResource(program, found));
    const DLGTEMPLATE *dialog = (const DLGTEMPLATE *)data;
    EXPECT_EQ((DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT), dialog->style);
    EXPECT_EQ(0u, dialog->dwExtendedStyle);
    EXPECT_EQ(0, dialog->x);
    EXPECT_EQ(0, dialog->y);
    EXPECT_EQ(187, dialog->cx);
    EXPECT_EQ(59, dialog->cy);
    ASSERT_EQ(2, dialog->cdit);
    const WORD *p = (const WORD *)(dialog + 1);
    EXPECT_EQ("", template_field(p));                          // no menu
    EXPECT_EQ("", template_field(p));                          // the dialog class
    EXPECT_EQ("ファイルをコピーしています", template_field(p));
    EXPECT_EQ(9, *p++);
    EXPECT_EQ("ＭＳ Ｐゴシック", template_field(p));
    std::vector<TemplateItem> items;
    for (int i = 0; i < dialog->cdit; i++) {
        p = (const WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
        const DLGITEMTEMPLATE *item = (const DLGITEMTEMPLATE *)p;
        TemplateItem seen = {item->style, item->dwExtendedStyle, item->x, item->y, item->cx, item->cy, item->id};
        p = (const WORD *)(item + 1);
        seen.class_name = template_field(p);
        seen.text = template_field(p);
        p += 1 + *p / sizeof(WORD);                              // creation data
        items.push_back(seen);
    }
    const TemplateItem &text = items[0], &bar = items[1];
    EXPECT_EQ(1010, text.id);
    EXPECT_EQ("#130", text.class_name);                          // the predefined Static class
    EXPECT_EQ((DWORD)(WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT), text.style);
    EXPECT_EQ(0u, text.ex_style);
    EXPECT_EQ("", text.text);
    EXPECT_EQ((std::vector<int>{7, 7, 173, 24}), (std::vector<int>{text.x, text.y, text.cx, text.cy}));
    EXPECT_EQ(1011, bar.id);
    // The resource compiler stores class names upper-cased; they compare without case.
    EXPECT_EQ(0, lstrcmpiA("msctls_progress32", bar.class_name.c_str())) << bar.class_name;
    EXPECT_EQ((DWORD)(WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH), bar.style);
    EXPECT_EQ(0u, bar.ex_style);
    EXPECT_EQ("Progress1", bar.text);
    EXPECT_EQ((std::vector<int>{7, 37, 173, 15}), (std::vector<int>{bar.x, bar.y, bar.cx, bar.cy}));
}

}  // namespace

namespace {

// Bytes at the end of a file (read through the platform, 64-bit offsets).
std::string tail_of(const std::string &path, long long size, DWORD count)
{
    HANDLE file = CreateFile932(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    LARGE_INTEGER at;
    at.QuadPart = size - count;
    SetFilePointerEx(file, at, NULL, FILE_BEGIN);
    std::string bytes(count, '\0');
    DWORD n = 0;
    ReadFile(file, &bytes[0], count, &n, NULL);
    CloseHandle(file);
    return bytes.substr(0, n);
}

TEST_F(CopyDialog, ASourceOverTwoGibibytesIsCopiedWholeWithACorrectBar)
{
    const long long length = (2048ll << 20) + (512 << 10);   // 2 GiB and a half chunk
    std::string source = folder + "large.bin", target = folder + "large copy.bin";
    {
        // Sparse on the host: only the last bytes are written.
        HANDLE file = CreateFile932(source.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        LARGE_INTEGER at;
        at.QuadPart = length - 4;
        SetFilePointerEx(file, at, NULL, FILE_BEGIN);
        DWORD n;
        WriteFile(file, "END!", 4, &n, NULL);
        CloseHandle(file);
    }
    ASSERT_EQ(length, file_size(source));
    BarWatch watch;
    EXPECT_EQ(1, show_copy_dialog(source.c_str(), target.c_str()));
    std::vector<int> expected = {0};
    for (long long copied = MiB; copied < length; copied += MiB)
        expected.push_back((int)(copied * 100 / length));
    expected.push_back(100);
    EXPECT_EQ(expected.size(), watch.positions.size());
    EXPECT_TRUE(expected == watch.positions);
    EXPECT_EQ(length, file_size(target));
    EXPECT_EQ("END!", tail_of(target, length, 4));
    DeleteFile932(target.c_str());
    DeleteFile932(source.c_str());
}

}  // namespace
