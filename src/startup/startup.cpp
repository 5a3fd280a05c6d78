#include "startup/startup.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "boundary/wide_text.h"
#include "launcher/launcher_window.h"
#include "launcher/splash_bitmap.h"
#include "script/fatal.h"
#include "startup/command_line.h"
#include "state/format_fits.h"
#include "state/install_state.h"

static const char MUTEX_NAME[] = "kaduinstmutex";
static const char COPY_NAME[] = "installer.exe";
static const DWORD RELAUNCH_RETRY_MS = 50;

void (*exit_handler_trace)(const char *which) = NULL;

static void release_mutex_at_exit(void)
{
    if (install_state.mutex) {
        ReleaseMutex((HANDLE)install_state.mutex);
        // The mutex is only a presence marker, never owned: closing the
        // handle is what makes it disappear for the next start.
        CloseHandle((HANDLE)install_state.mutex);
        install_state.mutex = NULL;
    }
    if (exit_handler_trace)
        exit_handler_trace("mutex");
}

static void release_splash_exit_handler(void)
{
    release_splash_at_exit();
    if (exit_handler_trace)
        exit_handler_trace("splash");
}

// Both handlers are registered here, in one place, so their order is fixed:
// handlers run in reverse, the splash picture first, then the mutex.
static struct ExitHandlers {
    ExitHandlers()
    {
        atexit(release_mutex_at_exit);
        atexit(release_splash_exit_handler);
    }
} exit_handlers;

void ensure_temp_dir(char *buffer)
{
    char windows_dir[PATH_CAPACITY];
    if (!windows_folder(windows_dir, sizeof windows_dir)
        || !compose_temp_dir(windows_dir, buffer, PATH_CAPACITY))
        fatal_error(Msg::windows_folder_too_long);

    Wide folder(buffer);
    DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD reason = GetLastError();
        if (reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND)
            CreateDirectoryW(folder, NULL);
    }
    // A file of that name is no folder; the wait ends either way, so a
    // folder that can never be made does not hang the start.
    DWORD started = GetTickCount();
    for (;;) {
        attributes = GetFileAttributesW(folder);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        if (GetTickCount() - started >= TEMP_DIR_WAIT_MS)
            break;
        Sleep(0);
    }
    char message[PATH_CAPACITY + 100];
    format_fits(message, sizeof message, text_of(Msg::temp_folder_not_made), buffer);
    fatal_error(Msg::temp_folder_not_made, message);
}

int replace_process(const char *program, const char *const *arguments, int count)
{
    char command_line[REPLACE_COMMAND_LINE_CAPACITY];
    if (!join_arguments(arguments, count, command_line, sizeof command_line))
        return 0;
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    Wide wide_program(program), wide_line(command_line);
    if (!wide_program || !wide_line
        || !CreateProcessW(wide_program, wide_line.writable(), NULL, NULL, TRUE, 0, NULL, NULL,
                           &startup, &process))
        return 0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // At once and without the exit handlers: the new process takes over.
    TerminateProcess(GetCurrentProcess(), 0);
    return 0;
}

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void restrict_dll_search(void)
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesCall)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryCall)(LPCWSTR);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (!kernel)
        return;
    // Cast through a function type of no arguments: FARPROC's own differs.
    SetDefaultDllDirectoriesCall set_default = (SetDefaultDllDirectoriesCall)(void (*)(void))
        GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (set_default)
        set_default(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryCall set_directory = (SetDllDirectoryCall)(void (*)(void))
        GetProcAddress(kernel, "SetDllDirectoryW");
    if (set_directory)
        set_directory(L"");
}

static int instance_running(void)
{
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, Wide(MUTEX_NAME));
    if (!running)
        return 0;
    CloseHandle(running);
    return 1;
}

// Others may read the file, nobody may write or delete it while the handle
// is held: what was compared is what is started.
static HANDLE open_unchangeable(const char *path)
{
    return CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, NULL);
}

// 1 when the file at `copy` holds exactly the bytes of the program at
// `own_path`.
static int is_own_program(const char *own_path, HANDLE copy)
{
    static char own_bytes[65536], copy_bytes[65536];
    HANDLE own = CreateFileW(Wide(own_path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (own == INVALID_HANDLE_VALUE)
        return 0;
    int same = 0;
    for (;;) {
        DWORD own_got = 0, copy_got = 0;
        if (!ReadFile(own, own_bytes, sizeof own_bytes, &own_got, NULL)
            || !ReadFile(copy, copy_bytes, sizeof copy_bytes, &copy_got, NULL)
            || own_got != copy_got || memcmp(own_bytes, copy_bytes, own_got) != 0)
            break;
        if (own_got == 0) {
            same = 1;
            break;
        }
    }
    CloseHandle(own);
    return same;
}

// Starts the file at `copy_path`, held unchangeable meanwhile, when it is
// this program. 0 when it is not (or cannot be read); 1 when it is, which
// returns only when it could not be started.
static int start_if_own_copy(const char *own_path, const char *copy_path,
                             const char *const *arguments, int count)
{
    HANDLE copy = open_unchangeable(copy_path);
    if (copy == INVALID_HANDLE_VALUE)
        return 0;
    int ours = is_own_program(own_path, copy);
    if (ours)
        replace_process(copy_path, arguments, count);
    CloseHandle(copy);
    return ours;
}

// The medium process: copy the program to the temporary folder and start the
// copy with this program's path as its only argument. The folder is shared
// by every user and program, so whatever stands at the copy's path is started
// only when it is this very program: after a failed copy that is a copy
// which is running already and meets the single-instance guard. Another
// medium process may be copying at the same moment; its copy is waited for,
// within a bound.
static void relaunch_from_temp(void)
{
    wchar_t module[MAX_PATH];
    DWORD length = GetModuleFileNameW(NULL, module, MAX_PATH);
    // A path 932 cannot hold could be neither passed on nor logged as it is.
    if (length > 0 && length < MAX_PATH && !cp932_holds(module))
        fatal_error(Msg::unheld_installer_path);
    // The copy receives this path as its whole command line, which must fit
    // installer_path.
    char own_path[PATH_CAPACITY];
    if (length == 0 || length >= MAX_PATH || !to_cp932(module, own_path, INSTALLER_PATH_CAPACITY))
        fatal_error(Msg::installer_path_too_long);

    char temp_dir[PATH_CAPACITY];
    char copy_path[PATH_CAPACITY];
    ensure_temp_dir(temp_dir);
    if (!compose_file_path(temp_dir, COPY_NAME, copy_path, sizeof copy_path))
        fatal_error(Msg::temp_folder_too_long);
    char program_word[PATH_CAPACITY + 2];
    if (!quote_if_blank(copy_path, program_word, sizeof program_word))
        return;
    const char *arguments[] = {program_word, own_path};

    DWORD started = GetTickCount();
    for (;;) {
        Wide wide_copy(copy_path);
        SetFileAttributesW(wide_copy, FILE_ATTRIBUTE_NORMAL);
        CopyFileW(Wide(own_path), wide_copy, FALSE);
        SetFileAttributesW(wide_copy, FILE_ATTRIBUTE_NORMAL);
        if (start_if_own_copy(own_path, copy_path, arguments, 2))
            return;             // the copy could not be started: nothing more
        if (instance_running()) {
            show_unowned_message(text_of(Msg::second_instance), caption_of(Msg::second_instance));
            return;
        }
        if (GetTickCount() - started >= RELAUNCH_WAIT_MS)
            break;
        Sleep(RELAUNCH_RETRY_MS);
    }
    char message[PATH_CAPACITY + 100];
    format_fits(message, sizeof message, text_of(Msg::installer_not_copied), copy_path);
    fatal_error(Msg::installer_not_copied, message);
}

// The relaunched process: one instance at a time, then the launcher.
static int run_launcher_instance(HINSTANCE instance, const char *tail)
{
    if (strlen(tail) >= INSTALLER_PATH_CAPACITY)
        fatal_error(Msg::command_line_too_long);
    memcpy(install_state.installer_path, tail, strlen(tail) + 1);

    // Created and tested in one step, so two copies started together cannot
    // both pass. A name that cannot be had at all is held by something else
    // (another user's instance, say): refused the same way.
    HANDLE mutex = CreateMutexW(NULL, FALSE, Wide(MUTEX_NAME));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        if (mutex)
            CloseHandle(mutex);
        show_unowned_message(text_of(Msg::second_instance), caption_of(Msg::second_instance));
        return 0;
    }
    install_state.mutex = mutex;
    install_state.instance = instance;
    DialogBoxParamW(instance, L"IDD_INSTDLG", NULL, launcher_window_proc, 0);
    return 0;
}

const char *program_command_line(void)
{
    const wchar_t *wide = GetCommandLineW();
    char *line = cp932_copy(wide);
    if (!line)
        fatal_error(cp932_holds(wide) ? Msg::out_of_memory : Msg::unheld_installer_path);
    return line;
}

int start_program(HINSTANCE instance, const char *tail)
{
    clear_shortcut_slots();
    if (tail[0] == '\0') {
        relaunch_from_temp();
        return 0;
    }
    return run_launcher_instance(instance, tail);
}
