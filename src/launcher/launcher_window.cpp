#include "launcher/launcher_window.h"

#include "boundary/wide_text.h"
#include "install/install_rules.h"
#include "launcher/launcher_commands.h"
#include "launcher/splash_bitmap.h"
#include "records/registry.h"
#include "script/fatal.h"
#include "script/settings.h"
#include "startup/startup.h"
#include "state/install_state.h"

// The caption goes on the window before title and bland are looked up.
static void show_caption(const char *caption, void *window)
{
    SetWindowTextW((HWND)window, Wide(caption));
}

static void build_record_keys(void)
{
    InstallState &s = install_state;
    if (!compose_record_keys(s.bland, s.title, s.brand_key, s.product_key, sizeof s.product_key))
        fatal_error(Msg::record_keys_too_long);
}

static void place_controls(HWND window)
{
    int x = (GetSystemMetrics(SM_CXSCREEN) - LAUNCHER_WIDTH) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - LAUNCHER_HEIGHT) / 2;
    MoveWindow(window, x, y, LAUNCHER_WIDTH, LAUNCHER_HEIGHT, FALSE);
    const int ids[] = {ID_INSTALL, ID_RUN_GAME, ID_UNINSTALL};
    for (int i = 0; i < 3; i++)
        MoveWindow(GetDlgItem(window, ids[i]), 5 + 100 * i, LAUNCHER_BUTTON_TOP,
                   LAUNCHER_BUTTON_WIDTH, LAUNCHER_BUTTON_HEIGHT, FALSE);
}

static void open_launcher(HWND window)
{
    InstallState &s = install_state;
    s.launcher_window = window;
    load_product_settings(show_caption, window);
    build_record_keys();
    place_controls(window);
    splash_bitmap.load("installer.bmp");
    int installed = reg_read_value(s.exe_path, s.product_key, "exepath", sizeof s.exe_path);
    set_launcher_buttons(window, installed);
    UpdateWindow(window);
}

static void paint_launcher(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    // Without a picture the memory DC holds only its default 1 x 1 black
    // bitmap: nothing is copied, the block keeps the window's background.
    if (splash_bitmap.image.bitmap)
        BitBlt(dc, SPLASH_LEFT, SPLASH_TOP, SPLASH_SIZE, SPLASH_SIZE, splash_bitmap.memory_dc,
               0, 0, SRCCOPY);
    EndPaint(window, &paint);
}

// The game starts in its install folder with an empty command line and this
// process ends with it; a game that cannot start just closes the launcher.
static void run_game_command(HWND window)
{
    InstallState &s = install_state;
    char game_dir[PATH_CAPACITY];
    if (reg_read_value(game_dir, s.product_key, "gamedir", sizeof game_dir))
        SetCurrentDirectoryW(Wide(game_dir));
    if (s.exec_message_flag)
        MessageBoxW(window, Wide(s.execmessage), Wide(caption_of(Msg::exec_message)), MB_OK);
    replace_process(s.exe_path, NULL, 0);
    EndDialog(window, 0);
}

static void launcher_command(HWND window, WPARAM command)
{
    // The whole wParam: a click carries notification code 0; IDOK (Enter)
    // and IDCANCEL (Escape) match nothing.
    switch (command) {
    case ID_INSTALL:
        launcher_install_command(window);
        break;
    case ID_RUN_GAME:
        run_game_command(window);
        break;
    case ID_UNINSTALL:
        launcher_uninstall_command(window);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK launcher_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        open_launcher(window);
        return TRUE;
    case WM_PAINT:
        paint_launcher(window);
        return TRUE;
    case WM_COMMAND:
        launcher_command(window, wparam);
        return TRUE;
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
