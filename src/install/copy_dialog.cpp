#include "install/copy_dialog.h"

#include <commctrl.h>
#include <stdio.h>

#include "boundary/open_file.h"
#include "boundary/wide_text.h"
#include "install/chunk_copy.h"
#include "script/fatal.h"
#include "state/format_fits.h"
#include "state/install_state.h"

// One buffer for every chunk of every file: a copy allocates nothing.
static char copy_buffer[COPY_CHUNK_BYTES];

// The common controls are no import of the program: a DLL that is not on
// the system's list of known DLLs would be looked for first in the program's
// own folder, the shared temporary folder. They are loaded by full path from
// the system folder instead, and stay loaded for the progress bar's class.
static int load_progress_class(void)
{
    static const wchar_t name[] = L"\\comctl32.dll";
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length + wcslen(name) >= MAX_PATH)
        return 0;
    wcscpy(path + length, name);
    HMODULE controls = LoadLibraryW(path);
    if (!controls)
        return 0;
    typedef BOOL(WINAPI * InitCall)(const INITCOMMONCONTROLSEX *);
    InitCall init = (InitCall)(void (*)(void))GetProcAddress(controls, "InitCommonControlsEx");
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    return init && init(&classes) != FALSE;
}

int register_progress_class(void)
{
    static int registered;
    if (!registered)
        registered = load_progress_class();
    return registered;
}

static void update_if_open(void *window)
{
    if (window)
        UpdateWindow((HWND)window);
}

static void pause_before_read(void *)
{
    Sleep(1);
}

// Nothing is dispatched while a file is copied: the dialog and the two
// windows behind it are painted here, once per chunk.
static void show_chunk(void *dialog, int position)
{
    SendMessageW(GetDlgItem((HWND)dialog, COPY_BAR_ID), PBM_SETPOS, (WPARAM)position, 0);
    UpdateWindow((HWND)dialog);
    update_if_open(install_state.launcher_window);
    update_if_open(install_state.options_window);
}

// The source's length in bytes, 64-bit (GetFileSize with its high word, so
// the first Windows versions have it too), or -1 when it cannot be opened.
static long long source_length(const char *path)
{
    HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    int known = low != INVALID_FILE_SIZE || GetLastError() == NO_ERROR;
    CloseHandle(file);
    return known ? (long long)(((unsigned long long)high << 32) | low) : -1;
}

static void on_init(HWND window)
{
    char text[1000];
    if (!format_fits(text, sizeof text, "%s -> %s", install_state.copy_source, install_state.copy_target))
        fatal_error(Msg::copy_text_too_long);
    SetDlgItemTextW(window, COPY_TEXT_ID, Wide(text));
    SetTimer(window, COPY_TIMER_ID, COPY_TIMER_MS, NULL);
    UpdateWindow(window);
}

// The program ends inside the copy, before the target is logged: the part
// written is deleted, so no file of the install stays unnamed in the log.
[[noreturn]] static void end_on_full_disk(void)
{
    DeleteFileW(Wide(install_state.copy_target));
    fatal_error(Msg::write_failed);
}

// The whole copy, inside the first tick.
static void on_timer(HWND window)
{
    KillTimer(window, COPY_TIMER_ID);
    long long length = source_length(install_state.copy_source);
    if (length < 0)
        return;                 // stays open, bar empty, until the user closes it
    SendMessageW(GetDlgItem(window, COPY_BAR_ID), PBM_SETPOS, 0, 0);

    // The target is opened only once the source is, so a failed copy never
    // empties an existing target; a stream that did not open gets no data.
    FILE *source = open_file(install_state.copy_source, "rb");
    FILE *target = source ? open_file(install_state.copy_target, "wb") : NULL;
    if (!target) {
        if (source)
            fclose(source);
        EndDialog(window, 0);
        return;
    }
    ChunkHooks hooks = {window, pause_before_read, show_chunk};
    CopyOutcome outcome = copy_chunks(source, target, length, copy_buffer, sizeof copy_buffer, &hooks);
    fclose(source);
    int written = fclose(target) == 0 && outcome != COPY_WRITE_FAILED;   // the last bytes go out at the close
    if (!written)
        end_on_full_disk();
    EndDialog(window, outcome == COPY_DONE ? 1 : 0);
}

INT_PTR CALLBACK copy_dialog_proc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        on_init(window);
        return FALSE;
    case WM_TIMER:
        on_timer(window);
        return FALSE;
    case WM_CLOSE:
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

int show_copy_dialog(const char *source_path, const char *target_path)
{
    register_progress_class();
    install_state.copy_source = source_path;
    install_state.copy_target = target_path;
    INT_PTR result = DialogBoxParamW((HINSTANCE)install_state.instance, L"IDD_KEIKA", NULL,
                                     copy_dialog_proc, 0);
    install_state.copy_source = NULL;
    install_state.copy_target = NULL;
    return result == 1 ? 1 : 0;         // -1: the dialog could not be made
}
