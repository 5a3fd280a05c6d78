#include "launcher/launcher_commands.h"

#include "boundary/wide_text.h"
#include "install/run_install.h"
#include "records/registry.h"
#include "state/format_fits.h"
#include "state/install_state.h"
#include "text/messages.h"
#include "uninstall/uninstall.h"

void set_launcher_buttons(HWND launcher, int installed)
{
    EnableWindow(GetDlgItem(launcher, ID_INSTALL), !installed);
    EnableWindow(GetDlgItem(launcher, ID_RUN_GAME), installed);
    EnableWindow(GetDlgItem(launcher, ID_UNINSTALL), installed);
}

static void run_directx_setup(HWND launcher)
{
    char setup[PATH_CAPACITY];
    char folder[PATH_CAPACITY];
    const char *drive = install_state.source_drive;
    if (!format_fits(setup, sizeof setup, "%sDirectX\\dxsetup.exe", drive)
        || !format_fits(folder, sizeof folder, "%sDirectX\\", drive))
        return;
    Wide wide_setup(setup);
    if (GetFileAttributesW(wide_setup) == INVALID_FILE_ATTRIBUTES)
        return;
    if (MessageBoxW(launcher, Wide(text_of(Msg::directx_question)), Wide(caption_of(Msg::directx_question)), MB_YESNO)
        != IDYES)
        return;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(wide_setup, NULL, NULL, NULL, FALSE,
                        CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS,
                        NULL, Wide(folder), &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void launcher_install_command(HWND launcher)
{
    if (!run_install())
        return;
    run_directx_setup(launcher);
    set_launcher_buttons(launcher, 1);
}

void launcher_uninstall_command(HWND launcher)
{
    char question[PATH_CAPACITY + 100];
    format_fits(question, sizeof question, text_of(Msg::uninstall_question),
             install_state.caption);
    // Only a Yes deletes: a question that could not be shown is no consent.
    if (MessageBoxW(launcher, Wide(question), Wide(caption_of(Msg::uninstall_question)), MB_YESNO) != IDYES)
        return;
    if (uninstall()) {
        MessageBoxW(launcher, Wide(text_of(Msg::uninstalled)), Wide(caption_of(Msg::uninstalled)), MB_OK);
        set_launcher_buttons(launcher, 0);
        return;
    }
    if (MessageBoxW(launcher, Wide(text_of(Msg::uninstall_failed)),
                    Wide(caption_of(Msg::uninstall_failed)), MB_YESNO) != IDYES)
        return;
    remove_install_record();
    set_launcher_buttons(launcher, 0);
}
