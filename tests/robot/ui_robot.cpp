#include "robot/ui_robot.h"

#include <winternl.h>

#include "boundary/wide_text.h"
#include "support/cp932_calls.h"

static const int POLL_MS = 20;
static const UINT TEXT_TIMEOUT_MS = 2000;

std::string robot_text(HWND window)
{
    char buffer[8192];
    int length = GetWindowTextTimeout932(window, buffer, sizeof buffer, TEXT_TIMEOUT_MS);
    return std::string(buffer, length > 0 ? (size_t)length : 0);
}

std::string robot_class(HWND window)
{
    char name[256];
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? (size_t)n : 0);
}

DWORD robot_process_of(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct WindowSearch {
    const char *caption;
    const char *class_name;
    DWORD process;
    bool visible_only;
    HWND found;
    std::vector<HWND> all;
};

// The window's own WS_VISIBLE: IsWindowVisible also asks the desktop window,
// which is never visible from another desktop (a Wine virtual desktop).
static bool shown(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

static bool matches(HWND window, const WindowSearch &search)
{
    if (search.process && robot_process_of(window) != search.process)
        return false;
    if (search.visible_only && !shown(window))
        return false;
    if (search.class_name && *search.class_name && robot_class(window) != search.class_name)
        return false;
    if (search.caption && *search.caption) {
        char caption[1024];
        int n = GetWindowText932(window, caption, sizeof caption);
        if (std::string(caption, n > 0 ? (size_t)n : 0) != search.caption)
            return false;
    }
    return true;
}

static BOOL CALLBACK find_window(HWND window, LPARAM lparam)
{
    WindowSearch *search = (WindowSearch *)lparam;
    if (!matches(window, *search))
        return TRUE;
    if (!search->found)
        search->found = window;
    search->all.push_back(window);
    return TRUE;
}

static HDESK search_desktop = NULL;

bool robot_use_desktop(const char *name)
{
    // The desktop may still be on its way (started together with the robot).
    for (int waited = 0; waited < 10000; waited += POLL_MS) {
        search_desktop = OpenDesktopA(name, 0, FALSE, DESKTOP_ENUMERATE | DESKTOP_READOBJECTS);
        if (search_desktop)
            return true;
        Sleep(POLL_MS);
    }
    return false;
}

static void enum_top_level(WNDENUMPROC callback, LPARAM lparam)
{
    if (search_desktop)
        EnumDesktopWindows(search_desktop, callback, lparam);
    else
        EnumWindows(callback, lparam);
}

HWND robot_wait_window(const char *caption, const char *class_name, DWORD process,
                       int timeout_ms, bool visible_only)
{
    DWORD started = GetTickCount();
    for (;;) {
        WindowSearch search = {caption, class_name, process, visible_only, NULL, {}};
        enum_top_level(find_window, (LPARAM)&search);
        if (search.found)
            return search.found;
        if ((int)(GetTickCount() - started) >= timeout_ms)
            return NULL;
        Sleep(POLL_MS);
    }
}

std::vector<HWND> robot_windows_of(DWORD process)
{
    WindowSearch search = {NULL, NULL, process, false, NULL, {}};
    enum_top_level(find_window, (LPARAM)&search);
    return search.all;
}

struct ControlList {
    HWND parent;
    std::vector<RobotControl> controls;
};

static BOOL CALLBACK collect_control(HWND child, LPARAM lparam)
{
    ControlList *list = (ControlList *)lparam;
    if (GetParent(child) != list->parent)
        return TRUE;
    RobotControl control;
    control.window = child;
    control.id = GetDlgCtrlID(child);
    control.class_name = robot_class(child);
    control.text = robot_text(child);
    control.enabled = IsWindowEnabled(child) != 0;
    control.visible = (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
    GetWindowRect(child, &control.rect);
    MapWindowPoints(NULL, list->parent, (POINT *)&control.rect, 2);
    list->controls.push_back(control);
    return TRUE;
}

std::vector<RobotControl> robot_controls(HWND parent)
{
    ControlList list = {parent, {}};
    EnumChildWindows(parent, collect_control, (LPARAM)&list);
    return list.controls;
}

bool robot_press(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button) != 0;
}

bool robot_close(HWND window)
{
    return PostMessageA(window, WM_CLOSE, 0, 0) != 0;
}

bool robot_wait_gone(HWND window, int timeout_ms)
{
    DWORD started = GetTickCount();
    while (IsWindow(window)) {
        if ((int)(GetTickCount() - started) >= timeout_ms)
            return false;
        Sleep(POLL_MS);
    }
    return true;
}

static BOOL CALLBACK collect_button(HWND child, LPARAM lparam)
{
    if (robot_class(child) == "Button")
        ((std::vector<int> *)lparam)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

static BOOL CALLBACK find_box(HWND window, LPARAM lparam)
{
    RobotBox *box = (RobotBox *)lparam;
    if (box->process && robot_process_of(window) != box->process)
        return TRUE;
    if (robot_class(window) != "#32770" || !shown(window))
        return TRUE;
    HWND text = GetDlgItem(window, 0xFFFF);
    if (!text)
        return TRUE;
    // Dialogs of the program may hold a static of id -1 too; a message box's
    // buttons all carry the standard answer ids (IDOK ... IDCONTINUE).
    std::vector<int> buttons;
    EnumChildWindows(window, collect_button, (LPARAM)&buttons);
    if (buttons.empty())
        return TRUE;
    for (int id : buttons)
        if (id < IDOK || id > IDCONTINUE)
            return TRUE;
    box->window = window;
    return FALSE;
}

bool robot_wait_box(DWORD process, int timeout_ms, RobotBox *box)
{
    DWORD started = GetTickCount();
    for (;;) {
        RobotBox found;
        found.process = process;
        enum_top_level(find_box, (LPARAM)&found);
        if (found.window) {
            found.process = robot_process_of(found.window);
            found.owner = GetWindow(found.window, GW_OWNER);
            found.caption = robot_text(found.window);
            found.text = robot_text(GetDlgItem(found.window, 0xFFFF));
            EnumChildWindows(found.window, collect_button, (LPARAM)&found.buttons);
            *box = found;
            return true;
        }
        if ((int)(GetTickCount() - started) >= timeout_ms)
            return false;
        Sleep(POLL_MS);
    }
}

void (*robot_answer_observer)(const RobotBox &box, int id) = nullptr;

bool robot_answer(const RobotBox &box, int id)
{
    if (robot_answer_observer)
        robot_answer_observer(box, id);
    return PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != 0;
}

bool robot_read_hkcu(const char *subkey, const char *name, std::string *value)
{
    HKEY key;
    if (RegOpenKeyEx932(HKEY_CURRENT_USER, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[4096];
    DWORD size = sizeof data;
    LONG result = RegQueryValueEx932(key, name, NULL, NULL, (BYTE *)data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return false;
    // Stored texts carry no terminating zero; anything after the data is not
    // the value's.
    value->assign(data, size);
    return true;
}

bool robot_command_line(DWORD process, std::string *command_line)
{
    typedef NTSTATUS(NTAPI * QueryProcess)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProcess query = (QueryProcess)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                             "NtQueryInformationProcess");
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
    if (!query || !handle)
        return false;
    bool ok = false;
    PROCESS_BASIC_INFORMATION basic;
    PEB peb;
    RTL_USER_PROCESS_PARAMETERS parameters;
    if (query(handle, ProcessBasicInformation, &basic, sizeof basic, NULL) == 0
        && ReadProcessMemory(handle, basic.PebBaseAddress, &peb, sizeof peb, NULL)
        && ReadProcessMemory(handle, peb.ProcessParameters, &parameters, sizeof parameters, NULL)) {
        std::wstring wide(parameters.CommandLine.Length / sizeof(WCHAR), L'\0');
        if (ReadProcessMemory(handle, parameters.CommandLine.Buffer, &wide[0],
                              parameters.CommandLine.Length, NULL)) {
            ok = cp932_holds(wide.c_str());
            command_line->assign(text_932(wide.c_str()));
        }
    }
    CloseHandle(handle);
    return ok;
}
