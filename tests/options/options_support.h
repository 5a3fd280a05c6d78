// Bench for the install options dialog and the registration: a fresh folder
// that stands in for the medium (and is the current directory), the state the
// launcher would have filled, a timer-driven script that acts on the open
// dialog whenever no box is over it, and readers for files, logs, the
// registry and .lnk files. Header-only: every test file of this folder
// includes it.
#pragma once

#include <objbase.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "boundary/wide_text.h"
#include "install/file_list.h"
#include "install/options_dialog.h"
#include "install/run_install.h"
#include "launcher/launcher_commands.h"
#include "state/install_state.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"
#include "support/file_tree.h"
#include "support/hkcu.h"
#include "support/test_bounds.h"

namespace options_bench {

inline std::string windows_temp()
{
    char temp[MAX_PATH];
    GetTempPath932(sizeof temp, temp);
    std::string path = temp;
    if (path.back() != '\\')
        path += '\\';
    return path;
}

inline std::string test_name()
{
    const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char &c : name)
        if (c == '/')
            c = '_';
    return name;
}

// One fresh folder per test, named after it, that stands in for the medium
// and is the current directory. A death test's child finds its parent's
// folder and uses it as it is.
class MediumFolder {
public:
    MediumFolder()
    {
        char cwd[MAX_PATH];
        GetCurrentDirectory932(sizeof cwd, cwd);
        saved_cwd_ = cwd;
        path_ = windows_temp() + "opt_" + test_name() + "\\";
        if (!in_death_test_child())
            remove_tree(path_);
        CreateDirectory932(path_.c_str(), NULL);
        SetCurrentDirectory932(path_.c_str());
    }
    ~MediumFolder()
    {
        SetCurrentDirectory932(saved_cwd_.c_str());
        // The shell may still hold the folder for a moment after saving a link.
        for (int tries = 0; tries < 50 && path_exists(path_); tries++) {
            remove_tree(path_);
            if (path_exists(path_)) Sleep(20);
        }
    }
    const std::string &path() const { return path_; }
    void put(const std::string &name, const std::string &bytes) { write_file(path_ + name, bytes); }

private:
    std::string saved_cwd_;
    std::string path_;
};

inline void set_text(char *field, size_t size, const std::string &text)
{
    snprintf(field, size, "%s", text.c_str());
}
#define SET_FIELD(field, text) set_text(install_state.field, sizeof install_state.field, text)

// What start-up and the launcher leave in the record before an install.
inline void fill_launcher_state(const std::string &medium, const std::string &brand = "Brand",
                                const std::string &title = "Title")
{
    InstallState &s = install_state;
    SET_FIELD(installer_path, medium + "installer.exe");
    s.instance = GetModuleHandleA(NULL);
    SET_FIELD(caption, "Caption");
    SET_FIELD(maker, "Maker");
    SET_FIELD(title, title);
    SET_FIELD(bland, brand);
    SET_FIELD(brand_key, "software\\" + brand);
    SET_FIELD(product_key, "software\\" + brand + "\\" + title);
    s.launcher_window = NULL;
    s.options_window = NULL;
    s.source_drive[0] = s.source_dir[0] = s.install_dir[0] = '\0';
    s.option_digit[0] = '\0';
    s.install_log_path[0] = s.exe_path[0] = '\0';
    clear_shortcut_slots();
}

inline std::string header_list(const std::string &name, const std::string &size,
                               const std::string &program = "game.exe")
{
    return "\"" + name + "\", " + size + ", \"" + program + "\"\n";
}

inline std::string item_text(HWND dialog, int index)
{
    HWND list = GetDlgItem(dialog, ID_OPTIONS_LIST);
    LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return "<none>";
    std::wstring text((size_t)length + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, index, (LPARAM)&text[0]);
    return text_932(text.c_str());
}

inline std::vector<std::string> option_items(HWND dialog)
{
    std::vector<std::string> items;
    LRESULT count = SendDlgItemMessageA(dialog, ID_OPTIONS_LIST, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++)
        items.push_back(item_text(dialog, i));
    return items;
}

inline std::string control_text(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLength932(control);
    std::string text((size_t)length + 1, '\0');
    int got = GetWindowText932(control, &text[0], length + 1);
    text.resize(got > 0 ? (size_t)got : 0);
    return text;
}

inline std::string window_title(HWND window)
{
    char text[1024];
    int got = GetWindowText932(window, text, sizeof text);
    return std::string(text, got > 0 ? (size_t)got : 0);
}

// Runs `steps` one by one on the open options dialog, each on a timer tick
// when the dialog is enabled (no message box or picker over it). After the
// last step the dialog is expected to end; a script that hangs ends it
// with -2 after 20 seconds.
class DialogScript {
public:
    explicit DialogScript(std::vector<std::function<void(HWND)>> steps) : steps_(std::move(steps))
    {
        current_ = this;
        started_ = GetTickCount();
        timer_ = SetTimer(NULL, 0, 30, tick);
    }
    ~DialogScript()
    {
        KillTimer(NULL, timer_);
        current_ = nullptr;
    }
    size_t steps_run() const { return next_; }

private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogScript *self = current_;
        HWND dialog = (HWND)install_state.options_window;
        if (!self || !dialog || !IsWindow(dialog))
            return;
        if (GetTickCount() - self->started_ > 20000) {
            EndDialog(dialog, -2);
            return;
        }
        if (!IsWindowEnabled(dialog) || self->busy_ || self->next_ >= self->steps_.size())
            return;
        self->busy_ = true;
        self->steps_[self->next_++](dialog);
        self->busy_ = false;
    }

    static inline DialogScript *current_ = nullptr;
    std::vector<std::function<void(HWND)>> steps_;
    size_t next_ = 0;
    bool busy_ = false;
    DWORD started_;
    UINT_PTR timer_;
};

inline INT_PTR open_options_dialog()
{
    install_state.options_window = NULL;
    return DialogBoxParam932(GetModuleHandleA(NULL), "IDD_INSTSUBDLG", NULL, options_dialog_proc, 0);
}

inline void press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

inline void close_box(HWND dialog)
{
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// ---- the launcher and the user's hand ----

// Dispatches whatever is queued for this thread for `milliseconds`.
inline void pump_messages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

// A real left click at the middle of `window`, through the input queue: it
// reaches a button only when the button and its window are enabled.
inline void click(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// A launcher window in the bottom left corner, clear of the centred dialogs
// and of the copy dialog in the top left corner, with
// the install (1001), run (1002) and uninstall (1003) buttons. Install and
// uninstall run the real launcher commands; every command is recorded with
// whether it came from a click (a button handle) or was posted bare.
class LauncherStandIn {
public:
    struct Command {
        int id;
        bool clicked;
    };

    LauncherStandIn()
    {
        current_ = this;
        WNDCLASSA type = {};
        type.lpfnWndProc = procedure;
        type.hInstance = GetModuleHandleA(NULL);
        type.lpszClassName = "OptionsTestLauncher";
        type.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        RegisterClassA(&type);
        window_ = CreateWindowA("OptionsTestLauncher", "launcher", WS_POPUP | WS_VISIBLE, 0,
                                GetSystemMetrics(SM_CYSCREEN) - 70, 300, 60, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
        for (int i = 0; i < 3; i++)
            CreateWindowA("BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10 + i * 95, 10, 85, 40,
                          window_, (HMENU)(INT_PTR)(1001 + i), GetModuleHandleA(NULL), NULL);
        UpdateWindow(window_);
        install_state.launcher_window = window_;
        pump_messages(50);
    }
    ~LauncherStandIn()
    {
        install_state.launcher_window = NULL;
        DestroyWindow(window_);
        current_ = nullptr;
    }
    HWND window() const { return window_; }
    HWND button(int id) const { return GetDlgItem(window_, id); }
    std::vector<Command> commands;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        if (message == WM_COMMAND && current_ && LOWORD(wparam) >= 1001 && LOWORD(wparam) <= 1003) {
            current_->commands.push_back({LOWORD(wparam), lparam != 0});
            if (LOWORD(wparam) == 1001)
                launcher_install_command(window);
            else if (LOWORD(wparam) == 1003)
                launcher_uninstall_command(window);
            return 0;
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
    static inline LauncherStandIn *current_ = nullptr;
    HWND window_;
};

// Calls `seen` for every dialog or message box of this thread as it
// activates, before the robot answers it.
class ActivationWatch {
public:
    explicit ActivationWatch(std::function<void(HWND)> seen) : seen_(std::move(seen))
    {
        current_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, hook, NULL, GetCurrentThreadId());
    }
    ~ActivationWatch()
    {
        UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }

private:
    static LRESULT CALLBACK hook(int code, WPARAM wparam, LPARAM lparam)
    {
        char name[16];
        if (code == HCBT_ACTIVATE && current_ && GetClassNameA((HWND)wparam, name, sizeof name)
            && strcmp(name, "#32770") == 0)
            current_->seen_((HWND)wparam);
        return CallNextHookEx(NULL, code, wparam, lparam);
    }
    static inline ActivationWatch *current_ = nullptr;
    std::function<void(HWND)> seen_;
    HHOOK hook_;
};

// ---- registry ----

inline void remove_record(const std::string &brand)
{
    RegDeleteTree932(HKEY_CURRENT_USER, ("software\\" + brand).c_str());
    RegDeleteKey932(HKEY_CURRENT_USER, ("software\\" + brand).c_str());
}

// ---- shortcuts ----

struct LinkProperties {
    bool loaded = false;
    // The target twice: the link's path string, which Wine keeps in the
    // system's ANSI code page (so only under 932 does it hold Japanese
    // names), and the path of its ID list, right under every code page.
    std::string path, id_list_path, working_directory, arguments, description, icon_path;
    int show_command = -1;
    WORD hotkey = 0xFFFF;
    int icon_index = -1;
};

inline LinkProperties load_link(const std::string &link_path)
{
    LinkProperties p;
    CoInitialize(NULL);
    IShellLinkW *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                (void **)&link)))
        return p;
    IPersistFile *file = nullptr;
    auto narrow = [](const wchar_t *text) { return cp932_holds(text) ? text_932(text) : "<not 932>"; };
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        if (SUCCEEDED(file->Load(Wide(link_path.c_str()), STGM_READ))) {
            p.loaded = true;
            wchar_t text[1024];
            text[0] = L'\0';
            link->GetPath(text, 1024, NULL, SLGP_RAWPATH);
            p.path = narrow(text);
            LPITEMIDLIST items = NULL;
            text[0] = L'\0';
            if (SUCCEEDED(link->GetIDList(&items)) && items) {
                SHGetPathFromIDListW(items, text);
                CoTaskMemFree(items);
            }
            p.id_list_path = narrow(text);
            text[0] = L'\0';
            link->GetWorkingDirectory(text, 1024);
            p.working_directory = narrow(text);
            text[0] = L'\0';
            link->GetArguments(text, 1024);
            p.arguments = narrow(text);
            text[0] = L'\0';
            link->GetDescription(text, 1024);
            p.description = narrow(text);
            text[0] = L'\0';
            link->GetIconLocation(text, 1024, &p.icon_index);
            p.icon_path = narrow(text);
            link->GetShowCmd(&p.show_command);
            link->GetHotkey(&p.hotkey);
        }
        file->Release();
    }
    link->Release();
    return p;
}

}  // namespace options_bench
