#include "install/options_dialog.h"

#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include "boundary/open_file.h"
#include "boundary/wide_text.h"
#include "install/file_list.h"
#include "install/install_rules.h"
#include "install/make_path.h"
#include "install/path_scan.h"
#include "records/install_log.h"
#include "records/registry.h"
#include "script/fatal.h"
#include "state/format_fits.h"
#include "state/install_state.h"

enum { MESSAGE_CAPACITY = PATH_CAPACITY + 100 };

// comment.txt as shown: its first COMMENT_BYTES bytes and a zero.
static char CommentText[COMMENT_BYTES + 1];

int (*options_file_list_runner)(HWND owner) = run_file_list;

static int start_running = 0;

// A box of `kind` over the dialog, showing `text` (its text by default).
static void show_box(HWND dialog, Msg kind, const char *text = nullptr)
{
    MessageBoxW(dialog, Wide(text ? text : text_of(kind)), Wide(caption_of(kind)), MB_OK);
}

int options_start_running(void)
{
    return start_running;
}

// ---- opening ----

static void centre_dialog(HWND dialog)
{
    RECT rect;
    GetWindowRect(dialog, &rect);
    int width = rect.right - rect.left + 1;
    int height = rect.bottom - rect.top + 1;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    MoveWindow(dialog, x, y, width, height, FALSE);
}

static void set_title(HWND dialog)
{
    char title[PATH_CAPACITY + 32];
    if (!format_fits(title, sizeof title, text_of(Msg::options_title), install_state.caption))
        fatal_error(Msg::options_title_too_long);
    SetWindowTextW(dialog, Wide(title));
}

// The medium's drive root: 'D:\setup\installer.exe' gives 'D:\', a network
// path '\\server\share\...' gives '\\server\'.
static void find_source_drive(void)
{
    const char *path = install_state.installer_path;
    size_t length = strlen(path);
    size_t end = length < 2 ? length : 2;
    while (end < length && path[end] != '\\')
        end++;
    if (end + 2 > sizeof install_state.source_drive)
        fatal_error(Msg::drive_name_too_long);
    memcpy(install_state.source_drive, path, end);
    install_state.source_drive[end] = '\\';
    install_state.source_drive[end + 1] = '\0';
}

// The medium's folder: the installer's path up to its last '\'.
static void find_source_dir(void)
{
    const char *path = install_state.installer_path;
    int cut = last_separator(path, cp932_lead_byte) + 1;
    memcpy(install_state.source_dir, path, (size_t)cut);
    install_state.source_dir[cut] = '\0';
}

// "Program Files\<brand>\" on the Windows drive.
static void show_default_folder(HWND dialog)
{
    char windows[PATH_CAPACITY];
    if (!windows_folder(windows, sizeof windows))
        windows[0] = '\0';
    if (!compose_default_folder(windows, install_state.bland, install_state.install_dir,
                                sizeof install_state.install_dir))
        fatal_error(Msg::default_folder_too_long);
    SetDlgItemTextW(dialog, ID_OPTIONS_FOLDER, Wide(install_state.install_dir));
}

// Binary mode, so the file's CR LF line ends reach the edit control.
static void show_comment(HWND dialog)
{
    FILE *file = open_file("comment.txt", "rb");
    if (!file)
        return;
    size_t got = fread(CommentText, 1, COMMENT_BYTES, file);
    CommentText[got] = '\0';
    SetDlgItemTextW(dialog, ID_OPTIONS_COMMENT, Wide(CommentText));
    fclose(file);
}

// Reads `file` into FileListText, zero-terminated after the bytes read.
static void read_file_list(FILE *file)
{
    size_t got = fread(FileListText, 1, SCRIPT_TEXT_BYTES, file);
    FileListText[got] = '\0';
    fclose(file);
}

// The item for the list now in FileListText: its header's name and size.
static void add_option(HWND dialog, int n)
{
    OptionHeader header;
    read_option_header(FileListText, &header);
    char item[PATH_CAPACITY];
    if (!compose_option_item(&header, item, sizeof item)) {
        char message[MESSAGE_CAPACITY];
        format_fits(message, sizeof message, text_of(Msg::option_name_too_long), n);
        fatal_error(Msg::option_name_too_long, message);
    }
    SendDlgItemMessageW(dialog, ID_OPTIONS_LIST, CB_ADDSTRING, 0, (LPARAM)Wide(item).text());
}

// One option per file list, from filelist0.txt up to the first one missing.
static void fill_option_list(HWND dialog)
{
    SendDlgItemMessageW(dialog, ID_OPTIONS_LIST, CB_RESETCONTENT, 0, 0);
    for (int n = 0; n < OPTION_COUNT; n++) {
        char name[32];
        format_fits(name, sizeof name, "filelist%d.txt", n);
        FILE *file = open_file(name, "rt");
        if (!file) {
            if (n == 0)
                fatal_error(Msg::filelist0_missing);
            break;
        }
        read_file_list(file);
        add_option(dialog, n);
    }
}

static void open_dialog(HWND dialog)
{
    install_state.options_window = dialog;
    centre_dialog(dialog);
    set_title(dialog);
    find_source_drive();
    find_source_dir();
    show_default_folder(dialog);
    show_comment(dialog);
    fill_option_list(dialog);
    SendDlgItemMessageW(dialog, ID_OPTIONS_LIST, CB_SETCURSEL, 0, 0);
    UpdateWindow(dialog);
}

// ---- folder picker ----

// A folder named with a character code page 932 lacks could be neither
// logged nor shown as it is: refused, never replaced by a look-alike.
static int refuse_unheld_folder(HWND dialog, const wchar_t *folder)
{
    if (cp932_holds(folder))
        return 0;
    show_box(dialog, Msg::unheld_install_folder);
    return 1;
}

static void pick_folder(HWND dialog)
{
    wchar_t picked[MAX_PATH];
    Wide title(text_of(Msg::folder_picker_title));
    BROWSEINFOW info = {};
    info.hwndOwner = dialog;
    info.pidlRoot = NULL;
    info.pszDisplayName = picked;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    LPITEMIDLIST items = SHBrowseForFolderW(&info);
    if (!items)
        return;
    BOOL found = SHGetPathFromIDListW(items, picked);
    CoTaskMemFree(items);
    if (!found || refuse_unheld_folder(dialog, picked))
        return;
    // Every character of MAX_PATH may take two bytes.
    char chosen[2 * MAX_PATH];
    to_cp932(picked, chosen, sizeof chosen);
    size_t length = strlen(chosen);
    int add_separator = !ends_with_separator(chosen, cp932_lead_byte);
    if (length + (size_t)add_separator >= sizeof install_state.install_dir) {
        show_box(dialog, Msg::picked_folder_too_long);
        return;
    }
    memcpy(install_state.install_dir, chosen, length);
    if (add_separator)
        install_state.install_dir[length++] = '\\';
    install_state.install_dir[length] = '\0';
    SetDlgItemTextW(dialog, ID_OPTIONS_FOLDER, Wide(install_state.install_dir));
}

// ---- start ----

// The folders made for the install folder, its parents first, kept until
// the log they belong in exists.
struct CreatedFolders {
    int count;
    char paths[PATH_CAPACITY / 2][PATH_CAPACITY];
};
static CreatedFolders install_folder_made;

static void remember_created_folder(const char *folder, void *)
{
    CreatedFolders &made = install_folder_made;
    if (made.count < PATH_CAPACITY / 2)
        format_fits(made.paths[made.count++], PATH_CAPACITY, "%s", folder);
}

static void log_install_folder_made(void)
{
    for (int i = 0; i < install_folder_made.count; i++)
        log_created_folder(install_folder_made.paths[i], install_state.install_log_path);
    install_folder_made.count = 0;
}

// Asks before installing into `folder`, creating it first when missing.
// 1 when the folder exists and the user agreed.
static int confirm_install_folder(HWND dialog, const char *folder)
{
    char message[MESSAGE_CAPACITY];
    install_folder_made.count = 0;
    if (GetFileAttributesW(Wide(folder)) != INVALID_FILE_ATTRIBUTES) {
        format_fits(message, sizeof message, text_of(Msg::install_folder_exists), folder);
        return MessageBoxW(dialog, Wide(message), Wide(caption_of(Msg::install_folder_exists)), MB_YESNO) == IDYES;
    }
    format_fits(message, sizeof message, text_of(Msg::install_folder_create), folder);
    if (MessageBoxW(dialog, Wide(message), Wide(caption_of(Msg::install_folder_create)), MB_YESNO) != IDYES)
        return 0;
    if (make_path(folder, remember_created_folder, NULL))
        return 1;
    format_fits(message, sizeof message, text_of(Msg::install_folder_not_made), folder);
    show_box(dialog, Msg::install_folder_not_made, message);
    return 0;
}

static void load_chosen_list(const char *list_path)
{
    FILE *file = open_file(list_path, "rt");
    if (!file) {
        char message[MESSAGE_CAPACITY];
        format_fits(message, sizeof message, text_of(Msg::list_not_opened), list_path);
        fatal_error(Msg::list_not_opened, message);
    }
    memset(FileListText, 0, SCRIPT_TEXT_BYTES);
    read_file_list(file);
}

// Recorded before anything is copied: the install folder alone, which the
// launcher shows as not installed. An install that is killed or ends in a
// fatal error half way can then be run again into the same folder, whose log
// it continues, and the finished install writes the whole record.
static void record_unfinished_install(void)
{
    const InstallState &s = install_state;
    if (strlen(s.product_key) <= 9)
        return;
    reg_write_value(s.install_dir, s.product_key, "gamedir");
}

// The start button's work; 1 when the chosen list has been carried out, 0
// when the dialog is to stay open. Every path too long for its buffer is
// refused before anything is created.
static int start_install(HWND dialog)
{
    InstallState &s = install_state;
    wchar_t typed[2 * PATH_CAPACITY];
    GetDlgItemTextW(dialog, ID_OPTIONS_FOLDER, typed, 2 * PATH_CAPACITY);
    if (refuse_unheld_folder(dialog, typed))
        return 0;
    // Held by 932, and every character takes at most two bytes: it fits.
    char shown[4 * PATH_CAPACITY];
    to_cp932(typed, shown, sizeof shown);
    if (shown[0] == '\0' || shown[1] != ':') {
        show_box(dialog, Msg::install_folder_not_absolute);
        return 0;
    }
    // A folder too long for the buffer cannot take the title either.
    int fits = format_fits(s.install_dir, sizeof s.install_dir, "%s", shown);
    char folder[PATH_CAPACITY];
    char log_path[PATH_CAPACITY];
    if (!fits || !compose_install_folder(s.install_dir, s.title, folder, log_path, sizeof folder)) {
        show_box(dialog, Msg::install_folder_too_long);
        return 0;
    }
    LRESULT selected = SendDlgItemMessageW(dialog, ID_OPTIONS_LIST, CB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= OPTION_COUNT)
        return 0;
    int n = (int)selected;
    char list_path[PATH_CAPACITY];
    if (!format_fits(list_path, sizeof list_path, "%sfilelist%d.txt", s.source_dir, n))
        fatal_error(Msg::list_path_too_long);
    if (!confirm_install_folder(dialog, folder))
        return 0;
    memcpy(s.install_dir, folder, sizeof folder);
    s.option_digit[0] = (char)('0' + n);
    s.option_digit[1] = '\0';
    load_chosen_list(list_path);
    memcpy(s.install_log_path, log_path, sizeof log_path);
    if (!log_continue(s.install_log_path))
        return 0;
    log_install_folder_made();
    record_unfinished_install();
    // A list fills the slots from slot 0 on; an earlier list's shortcuts
    // (an install after an uninstall) must not be created again.
    clear_shortcut_slots();
    if (!options_file_list_runner(dialog))
        fatal_error(Msg::copy_failed);
    return 1;
}

// While an install runs, the copy dialogs' message loops still dispatch to
// this dialog and to the launcher: nothing there may start a second install,
// which would reload the running list and empty the log.
struct StartBlock {
    HWND launcher;
    int launcher_disabled;
};

static void block_start(HWND dialog, StartBlock *block)
{
    start_running = 1;
    EnableWindow(GetDlgItem(dialog, ID_OPTIONS_START), FALSE);
    EnableWindow(GetDlgItem(dialog, ID_OPTIONS_PICKER), FALSE);
    block->launcher = (HWND)install_state.launcher_window;
    block->launcher_disabled = block->launcher && IsWindow(block->launcher)
                               && IsWindowEnabled(block->launcher);
    if (block->launcher_disabled)
        EnableWindow(block->launcher, FALSE);
}

static void unblock_start(HWND dialog, const StartBlock *block)
{
    if (block->launcher_disabled)
        EnableWindow(block->launcher, TRUE);
    EnableWindow(GetDlgItem(dialog, ID_OPTIONS_PICKER), TRUE);
    EnableWindow(GetDlgItem(dialog, ID_OPTIONS_START), TRUE);
    start_running = 0;
}

static void press_start(HWND dialog)
{
    StartBlock block;
    block_start(dialog, &block);
    int installed = start_install(dialog);
    unblock_start(dialog, &block);
    if (installed)
        EndDialog(dialog, 1);
}

INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        open_dialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (start_running)
            return TRUE;
        if (wparam == ID_OPTIONS_START)
            press_start(dialog);
        else if (wparam == ID_OPTIONS_PICKER)
            pick_folder(dialog);
        return TRUE;
    case WM_CLOSE:
        // Mid-install the close box cannot undo the copy: it waits.
        if (!start_running)
            EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}
