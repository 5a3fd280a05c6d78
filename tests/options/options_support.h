// Bench for the install options dialog and the registration: a fresh folder
// that stands in for the medium (and is the current directory), the state the
// launcher would have filled, a timer-driven script that acts on the open
// dialog whenever no box is over it, and readers for files, logs, the
// registry and .lnk files. Header-only: every test file of this folder
// includes it.
#pragma once

#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/options_dialog.h"
#include "install/run_install.h"
#include "state/install_state.h"
#include "support/box_robot.h"

namespace options_bench {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline bool in_death_test_child()
{
    return strstr(GetCommandLineA(), "gtest_internal_run_death_test") != nullptr;
}

inline bool exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline void write_file(const std::string &path, const std::string &bytes)
{
    FILE *file = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

inline std::string read_file(const std::string &path)
{
    std::string bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

inline std::vector<std::string> read_lines(const std::string &path)
{
    std::vector<std::string> lines;
    std::string text = read_file(path), line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

// Removes a file or a folder with everything in it.
inline void remove_tree(const std::string &path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    std::string base = path;
    if (base.back() != '\\')
        base += '\\';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((base + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name != "." && name != "..")
                remove_tree(base + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

inline std::string windows_temp()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
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
        GetCurrentDirectoryA(sizeof cwd, cwd);
        saved_cwd_ = cwd;
        path_ = windows_temp() + "opt_" + test_name() + "\\";
        if (!in_death_test_child())
            remove_tree(path_);
        CreateDirectoryA(path_.c_str(), NULL);
        SetCurrentDirectoryA(path_.c_str());
    }
    ~MediumFolder()
    {
        SetCurrentDirectoryA(saved_cwd_.c_str());
        remove_tree(path_);
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
    int length = (int)SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return "<none>";
    std::string text((size_t)length + 1, '\0');
    SendMessageA(list, CB_GETLBTEXT, index, (LPARAM)&text[0]);
    text.resize((size_t)length);
    return text;
}

inline std::vector<std::string> option_items(HWND dialog)
{
    std::vector<std::string> items;
    int count = (int)SendDlgItemMessageA(dialog, ID_OPTIONS_LIST, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++)
        items.push_back(item_text(dialog, i));
    return items;
}

inline std::string control_text(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthA(control);
    std::string text((size_t)length + 1, '\0');
    int got = GetWindowTextA(control, &text[0], length + 1);
    text.resize(got > 0 ? (size_t)got : 0);
    return text;
}

inline std::string window_title(HWND window)
{
    char text[1024];
    int got = GetWindowTextA(window, text, sizeof text);
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
    return DialogBoxParamA(GetModuleHandleA(NULL), "IDD_INSTSUBDLG", NULL, options_dialog_proc, 0);
}

inline void press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

inline void close_box(HWND dialog)
{
    PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// ---- registry ----

inline bool reg_text(HKEY root, const std::string &subkey, const std::string &name, std::string *out)
{
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[1024];
    DWORD size = sizeof data - 1, type = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), NULL, &type, (BYTE *)data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    data[size] = '\0';
    *out = data;
    return true;
}

inline bool key_exists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline void remove_record(const std::string &brand)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, ("software\\" + brand).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, ("software\\" + brand).c_str());
}

// Sets the user's Programs folder (or removes it, for an empty text) and puts
// back what was there when it goes.
class ProgramsFolder {
public:
    explicit ProgramsFolder(const std::string &folder)
    {
        had_ = reg_text(HKEY_CURRENT_USER, kShellFolders, "Programs", &saved_);
        set(folder);
    }
    ~ProgramsFolder() { set(had_ ? saved_ : std::string()); }

private:
    static void set(const std::string &folder)
    {
        HKEY key;
        if (RegCreateKeyA(HKEY_CURRENT_USER, kShellFolders, &key) != ERROR_SUCCESS)
            return;
        if (folder.empty())
            RegDeleteValueA(key, "Programs");
        else
            RegSetValueExA(key, "Programs", 0, REG_SZ, (const BYTE *)folder.c_str(),
                           (DWORD)folder.size() + 1);
        RegCloseKey(key);
    }
    bool had_;
    std::string saved_;
};

// ---- shortcuts ----

struct LinkProperties {
    bool loaded = false;
    std::string path, working_directory, arguments, description, icon_path;
    int show_command = -1;
    WORD hotkey = 0xFFFF;
    int icon_index = -1;
};

inline LinkProperties load_link(const std::string &link_path)
{
    LinkProperties p;
    CoInitialize(NULL);
    IShellLinkA *link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void **)&link)))
        return p;
    IPersistFile *file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link_path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            p.loaded = true;
            char text[1024];
            text[0] = '\0';
            link->GetPath(text, sizeof text, NULL, SLGP_RAWPATH);
            p.path = text;
            text[0] = '\0';
            link->GetWorkingDirectory(text, sizeof text);
            p.working_directory = text;
            text[0] = '\0';
            link->GetArguments(text, sizeof text);
            p.arguments = text;
            text[0] = '\0';
            link->GetDescription(text, sizeof text);
            p.description = text;
            text[0] = '\0';
            link->GetIconLocation(text, sizeof text, &p.icon_index);
            p.icon_path = text;
            link->GetShowCmd(&p.show_command);
            link->GetHotkey(&p.hotkey);
        }
        file->Release();
    }
    link->Release();
    return p;
}

}  // namespace options_bench
