// Runs the launcher window in this process from a medium folder of the
// test's own, with an inspection that runs once the window is up.
#pragma once

#include <windows.h>

#include <stdio.h>

#include <functional>
#include <memory>
#include <string>

#include "boundary/open_file.h"
#include "launcher/launcher_window.h"
#include "support/box_robot.h"
#include "support/cp932_calls.h"

// Creates `folder` (below the current directory), writes install.txt there
// with `settings` (code page 932 bytes) and makes it the current directory;
// the destructor returns to the previous directory.
class MediumFolder {
public:
    MediumFolder(const char *folder, const std::string &settings);
    ~MediumFolder();
    void write(const char *name, const std::string &bytes);
    void remove(const char *name);

private:
    char previous_[MAX_PATH];
};

// Shows the launcher with DialogBoxParam932. `inspect` runs inside its modal
// loop once the window is shown; the window is closed after it unless
// `inspect` ended it already. Message boxes go to `robot` when given (its
// answers and records), else to a robot of its own. Returns the result.
INT_PTR run_launcher(std::function<void(HWND)> inspect, BoxRobot *robot = nullptr);

// Removes software\<brand>\<title> and software\<brand> from HKCU.
void remove_record_keys(const char *brand, const char *title);

inline MediumFolder::MediumFolder(const char *folder, const std::string &settings)
{
    GetCurrentDirectory932(sizeof previous_, previous_);
    CreateDirectory932(folder, NULL);
    SetCurrentDirectory932(folder);
    DeleteFile932("installer.bmp");
    write("install.txt", settings);
}

inline MediumFolder::~MediumFolder()
{
    SetCurrentDirectory932(previous_);
}

inline void MediumFolder::write(const char *name, const std::string &bytes)
{
    FILE *f = open_file(name, "wb");
    if (!f)
        return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

inline void MediumFolder::remove(const char *name)
{
    DeleteFile932(name);
}

// Cleared by an inspection that closes the window later itself.
inline bool &launcher_close_after_inspect()
{
    static bool close = true;
    return close;
}

inline std::function<void(HWND)> &launcher_inspection()
{
    static std::function<void(HWND)> inspection;
    return inspection;
}

inline void CALLBACK inspect_once(HWND window, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(window, timer);
    std::function<void(HWND)> inspect = launcher_inspection();
    launcher_inspection() = nullptr;
    if (inspect)
        inspect(window);
    if (IsWindow(window) && launcher_close_after_inspect())
        PostMessageA(window, WM_CLOSE, 0, 0);
    launcher_close_after_inspect() = true;
}

inline INT_PTR run_launcher(std::function<void(HWND)> inspect, BoxRobot *given)
{
    std::unique_ptr<BoxRobot> own(given ? nullptr : new BoxRobot);
    BoxRobot &robot = given ? *given : *own;
    launcher_inspection() = inspect;
    // A timer rather than the activation itself: by its first tick the
    // window has been shown and painted.
    robot.on_dialog = [](HWND window) { SetTimer(window, 1, 50, inspect_once); };
    INT_PTR result = DialogBoxParam932(GetModuleHandleA(NULL), "IDD_INSTDLG", NULL, launcher_window_proc, 0);
    robot.on_dialog = nullptr;
    return result;
}

inline void remove_record_keys(const char *brand, const char *title)
{
    char key[MAX_PATH];
    snprintf(key, sizeof key, "software\\%s\\%s", brand, title);
    RegDeleteKey932(HKEY_CURRENT_USER, key);
    snprintf(key, sizeof key, "software\\%s", brand);
    RegDeleteKey932(HKEY_CURRENT_USER, key);
}
