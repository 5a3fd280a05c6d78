// The robot as a console program, for scripts (scripts/demo) and for a look
// by hand under the same wineserver as the program being driven:
//
//   robot wait     [--caption C] [--class K] [--timeout MS]   prints the window
//   robot controls [--caption C] [--class K]                  id, class, enabled, text
//   robot press    [--caption C] [--class K] --id N
//   robot box      [--timeout MS] [--answer N]                caption and text, then answers
//                                                             (N = 0: leaves the box open)
//   robot close    [--caption C] [--class K]
//   robot reg      --key SUBKEY --value NAME                  a value under HKCU
//   robot drive    --root D:\                                   GetDriveType of a root
//   robot keep     --desktop NAME --timeout MS                holds threads on that desktop
//
// --desktop NAME searches that desktop (a Wine virtual desktop) for windows.
//
// Texts are printed as they are (code page 932) and as hex. Exit code 0 on
// success, 1 when the window, box or value was not found, 2 on bad usage.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "boundary/wide_text.h"
#include "robot/ui_robot.h"
#include "support/box_pattern.h"
#include "support/cp932_calls.h"

namespace {

struct Options {
    const char *caption = NULL;
    const char *class_name = NULL;
    const char *key = NULL;
    const char *value = NULL;
    const char *root = NULL;
    const char *desktop = NULL;
    int timeout_ms = 10000;
    int id = -1;
    int answer = -1;
};

bool parse(int argc, char **argv, Options *options)
{
    for (int i = 2; i < argc; i++) {
        if (i + 1 >= argc)
            return false;
        const char *flag = argv[i];
        const char *arg = argv[++i];
        if (!strcmp(flag, "--caption"))
            options->caption = arg;
        else if (!strcmp(flag, "--class"))
            options->class_name = arg;
        else if (!strcmp(flag, "--timeout"))
            options->timeout_ms = atoi(arg);
        else if (!strcmp(flag, "--id"))
            options->id = atoi(arg);
        else if (!strcmp(flag, "--answer"))
            options->answer = atoi(arg);
        else if (!strcmp(flag, "--key"))
            options->key = arg;
        else if (!strcmp(flag, "--desktop"))
            options->desktop = arg;
        else if (!strcmp(flag, "--value"))
            options->value = arg;
        else if (!strcmp(flag, "--root"))
            options->root = arg;
        else
            return false;
    }
    return true;
}

// Shown in UTF-8 for the terminal (the Unix side reads it), with the exact
// code page 932 bytes as hex.
void print_text(const char *label, const std::string &text)
{
    Wide wide(text.data(), text.size());
    char utf8[4 * 4096];
    int m = wide ? WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8, sizeof utf8 - 1, NULL, NULL) - 1 : 0;
    utf8[m > 0 ? m : 0] = '\0';
    printf("%s=%s hex=%s\n", label, utf8, hex_of(text).c_str());
}

HWND find(const Options &o)
{
    HWND window = robot_wait_window(o.caption, o.class_name, 0, o.timeout_ms);
    if (!window)
        fprintf(stderr, "robot: no such window\n");
    return window;
}

int usage()
{
    fprintf(stderr, "usage: robot wait|controls|press|box|close|reg|drive|keep [options]\n");
    return 2;
}

// Threads of the robot's own on the desktop until the time is up. Wine ends
// a virtual desktop once it counts no thread there but its owner's, and its
// count can be fooled (see docs/limits.md); these keep the count above it.
DWORD WINAPI keep_thread(void *argument)
{
    const Options *o = (const Options *)argument;
    HDESK desktop = OpenDesktopW(Wide(o->desktop), 0, FALSE, GENERIC_ALL);
    if (desktop)
        SetThreadDesktop(desktop);
    Sleep(o->timeout_ms);
    return 0;
}

int keep_desktop(const Options &o)
{
    std::vector<HANDLE> threads;
    for (int i = 0; i < 32; i++)
        threads.push_back(CreateThread(NULL, 0, keep_thread, (void *)&o, 0, NULL));
    for (HANDLE thread : threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return 0;
}

// The arguments in code page 932, from the wide command line: the ANSI argv
// would carry captions in the system's code page.
std::vector<std::string> arguments_932()
{
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; i++)
        arguments.push_back(text_932(wide[i]));
    if (wide)
        LocalFree(wide);
    return arguments;
}

}  // namespace

int main(int, char **)
{
    std::vector<std::string> texts = arguments_932();
    std::vector<char *> pointers;
    for (std::string &text : texts)
        pointers.push_back(&text[0]);
    int argc = (int)pointers.size();
    char **argv = pointers.data();
    Options o;
    if (argc < 2 || !parse(argc, argv, &o))
        return usage();
    std::string command = argv[1];
    if (o.desktop && !robot_use_desktop(o.desktop)) {
        fprintf(stderr, "robot: no desktop %s\n", o.desktop);
        return 1;
    }
    if (command == "keep")
        return o.desktop ? keep_desktop(o) : usage();
    if (command == "wait") {
        HWND window = find(o);
        if (!window)
            return 1;
        printf("window=%p process=%lu visible=%d\n", (void *)window,
               (unsigned long)robot_process_of(window), IsWindowVisible(window) ? 1 : 0);
        print_text("caption", robot_text(window));
        return 0;
    }
    if (command == "controls") {
        HWND window = find(o);
        if (!window)
            return 1;
        for (const RobotControl &c : robot_controls(window)) {
            printf("id=%d class=%s enabled=%d rect=%ld,%ld,%ld,%ld ", c.id, c.class_name.c_str(),
                   c.enabled ? 1 : 0, c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
            print_text("text", c.text);
        }
        return 0;
    }
    if (command == "press" || command == "close") {
        HWND window = find(o);
        if (!window)
            return 1;
        if (command == "close")
            return robot_close(window) ? 0 : 1;
        return o.id >= 0 && robot_press(window, o.id) ? 0 : 1;
    }
    if (command == "box") {
        RobotBox box;
        if (!robot_wait_box(0, o.timeout_ms, &box)) {
            fprintf(stderr, "robot: no message box\n");
            return 1;
        }
        print_text("caption", box.caption);
        print_text("text", box.text);
        if (o.answer == 0)
            return 0;
        int id = o.answer > 0 ? o.answer : (box.buttons.empty() ? IDOK : box.buttons.front());
        return robot_answer(box, id) ? 0 : 1;
    }
    if (command == "reg") {
        std::string value;
        if (!o.key || !o.value)
            return usage();
        if (!robot_read_hkcu(o.key, o.value, &value)) {
            fprintf(stderr, "robot: no such value\n");
            return 1;
        }
        print_text("value", value);
        return 0;
    }
    if (command == "drive") {
        if (!o.root)
            return usage();
        printf("type=%u\n", GetDriveTypeA(o.root));
        return 0;
    }
    return usage();
}
