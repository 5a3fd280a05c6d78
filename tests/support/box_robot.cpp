#include "support/box_robot.h"

#include <stdio.h>

#include "support/cp932_calls.h"
#include "support/test_bounds.h"

BoxRobot *BoxRobot::current = nullptr;

static LRESULT CALLBACK cbt_hook(int code, WPARAM wparam, LPARAM lparam)
{
    if (code == HCBT_CREATEWND && BoxRobot::current && BoxRobot::current->refuse_windows)
        return 1;
    if (code == HCBT_ACTIVATE && BoxRobot::current)
        BoxRobot::current->activated((HWND)wparam);
    return CallNextHookEx(NULL, code, wparam, lparam);
}

BoxRobot::BoxRobot()
{
    current = this;
    hook_ = SetWindowsHookExA(WH_CBT, cbt_hook, NULL, GetCurrentThreadId());
}

BoxRobot::~BoxRobot()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    current = nullptr;
}

static std::string window_text(HWND window)
{
    char buffer[4096];
    int n = GetWindowText932(window, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? (size_t)n : 0);
}

static std::string class_of(HWND window)
{
    char name[64];
    int n = GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? (size_t)n : 0);
}

static BOOL CALLBACK find_other_control(HWND child, LPARAM lparam)
{
    std::string name = class_of(child);
    if (name != "Static" && name != "Button")
        *(bool *)lparam = true;
    return TRUE;
}

// A message box carries its text in the static control 0xFFFF and has only
// statics and buttons; a dialog's labels may carry that id too.
static bool message_box_text(HWND window, std::string *text)
{
    HWND item = GetDlgItem(window, 0xFFFF);
    bool other_control = false;
    EnumChildWindows(window, find_other_control, (LPARAM)&other_control);
    if (!item || other_control)
        return false;
    *text = window_text(item);
    return true;
}

static BOOL CALLBACK collect_button(HWND child, LPARAM lparam)
{
    if (class_of(child) == "Button")
        ((std::vector<int> *)lparam)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

void BoxRobot::activated(HWND window)
{
    if (class_of(window) != "#32770")
        return;
    for (const BoxRecord &seen : boxes)
        if (seen.window == window && IsWindow(window))
            return;             // activated again, already answered
    BoxRecord box{};
    box.window = window;
    box.owner = GetWindow(window, GW_OWNER);
    box.caption = window_text(window);
    box.is_message_box = message_box_text(window, &box.text);
    if (!box.is_message_box) {
        for (HWND seen : dialogs)
            if (seen == window)
                return;
        dialogs.push_back(window);
        if (on_dialog)
            on_dialog(window);
        return;
    }
    EnumChildWindows(window, collect_button, (LPARAM)&box.button_ids);
    fprintf(stderr, "%sowner=%s\n", box_line_pattern(box.caption, box.text).c_str(),
            box.owner ? "window" : "none");
    fflush(stderr);
    int id = next_answer_ < answers_.size() ? answers_[next_answer_++]
             : (box.button_ids.empty() ? IDOK : box.button_ids.front());
    boxes.push_back(box);
    note_box_answered(window, GetCurrentProcessId(), box.caption, box.text);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}
