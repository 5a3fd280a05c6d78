#include "install/run_install.h"

#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <stdarg.h>
#include <stdio.h>

#include "boundary/wide_text.h"
#include "install/make_path.h"
#include "install/options_dialog.h"
#include "install/path_scan.h"
#include "install/registration.h"
#include "records/install_log.h"
#include "records/registry.h"
#include "state/format_fits.h"
#include "state/install_state.h"
#include "text/messages.h"

static const char shell_folders_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Every Start-menu path of one install, composed before anything is made so
// that a path too long for its buffer leaves the Start menu untouched.
struct StartMenuPaths {
    char product_line[LOG_LINE_MAX + 1];      // ":" and the product menu folder
    char maker_line[LOG_LINE_MAX + 1];        // ":" and the maker folder
    char main_link[PATH_CAPACITY];
    char extra_links[SHORTCUT_SLOTS][PATH_CAPACITY];
    char extra_targets[SHORTCUT_SLOTS][PATH_CAPACITY];
};

static int in_progress = 0;

static int compose_start_menu(const char *programs, StartMenuPaths *paths)
{
    const InstallState &s = install_state;
    if (!format_fits(paths->product_line, sizeof paths->product_line, ":%s\\%s\\%s",
                     programs, s.maker, s.caption)
        || !format_fits(paths->maker_line, sizeof paths->maker_line, ":%s\\%s", programs, s.maker))
        return 0;
    const char *product_folder = paths->product_line + 1;
    if (!format_fits(paths->main_link, sizeof paths->main_link, "%s\\%s.lnk", product_folder, s.title))
        return 0;
    for (int i = 0; i < SHORTCUT_SLOTS; i++) {
        paths->extra_links[i][0] = '\0';
        paths->extra_targets[i][0] = '\0';
        if (s.shortcut_names[i][0] == '\0')
            continue;
        if (!format_fits(paths->extra_links[i], sizeof paths->extra_links[i], "%s\\%s.lnk",
                         product_folder, s.shortcut_names[i])
            || !format_fits(paths->extra_targets[i], sizeof paths->extra_targets[i],
                            // One separator: a doubled one repeats the folder in the link's ID list.
                            ends_with_separator(s.install_dir, cp932_lead_byte) ? "%s%s" : "%s\\%s",
                            s.install_dir, s.shortcut_targets[i]))
            return 0;
    }
    return 1;
}

// The product's Start-menu folder, its shortcuts and their log lines; the
// deeper folder is logged before its parent so the uninstall can remove both.
static void create_start_menu(const StartMenuPaths *paths)
{
    const InstallState &s = install_state;
    log_append(s.install_log_path, paths->product_line);
    log_append(s.install_log_path, paths->maker_line);
    make_path(paths->product_line + 1);
    create_shortcut(paths->main_link, s.exe_path);
    log_append(s.install_log_path, paths->main_link);
    for (int i = 0; i < SHORTCUT_SLOTS; i++) {
        if (s.shortcut_names[i][0] == '\0')
            continue;
        create_shortcut(paths->extra_links[i], paths->extra_targets[i]);
        log_append(s.install_log_path, paths->extra_links[i]);
    }
}

static void write_install_record(void)
{
    const InstallState &s = install_state;
    reg_write_value(s.source_drive, s.product_key, "instdrv");
    reg_write_value(s.exe_path, s.product_key, "exepath");
    reg_write_value(s.option_digit, s.product_key, "instopt");
    reg_write_value(s.install_dir, s.product_key, "gamedir");
}

void register_install(void)
{
    const InstallState &s = install_state;
    char line[PATH_CAPACITY + 1];
    format_fits(line, sizeof line, ">%s", s.caption);
    log_append(s.install_log_path, line);
    format_fits(line, sizeof line, "?%s", s.product_key);
    log_append(s.install_log_path, line);

    char programs[PATH_CAPACITY];
    if (read_programs_folder(programs, sizeof programs)) {
        StartMenuPaths paths;
        if (compose_start_menu(programs, &paths))
            create_start_menu(&paths);
        else
            MessageBoxW((HWND)install_state.launcher_window,
                        Wide(text_of(Msg::shortcuts_not_made)),
                        Wide(caption_of(Msg::shortcuts_not_made)), MB_OK);
    }
    write_install_record();
}

int read_programs_folder(char *out, int size)
{
    return reg_read_value(out, shell_folders_key, "Programs", size);
}

int run_install(void)
{
    // A second press while an install is open or running would reload the
    // file lists under it: the open dialog is brought forward instead.
    if (in_progress) {
        if (install_state.options_window && IsWindow((HWND)install_state.options_window))
            SetForegroundWindow((HWND)install_state.options_window);
        return 0;
    }
    in_progress = 1;
    HINSTANCE instance = install_state.instance ? (HINSTANCE)install_state.instance
                                                : GetModuleHandleW(NULL);
    INT_PTR result = DialogBoxParamW(instance, L"IDD_INSTSUBDLG", NULL, options_dialog_proc, 0);
    install_state.options_window = NULL;    // gone: nothing may repaint it now
    if (result == 1)
        register_install();
    in_progress = 0;
    return result == 1;
}

int create_shortcut(const char *link_path, const char *target_path)
{
    Wide link_file(link_path), target(target_path), folder(install_state.install_dir);
    if (!link_file || !target || !folder)
        return 0;
    CoInitialize(NULL);
    IShellLinkW *link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                (void **)&link)))
        return 0;
    link->SetPath(target);
    link->SetShowCmd(SW_SHOWNORMAL);
    link->SetArguments(L"");
    link->SetDescription(L"");
    link->SetHotkey(0);
    link->SetIconLocation(L"", 0);
    link->SetWorkingDirectory(folder);
    IPersistFile *file = NULL;
    if (FAILED(link->QueryInterface(IID_IPersistFile, (void **)&file))) {
        link->Release();
        return 0;
    }
    file->Save(link_file, TRUE);
    file->Release();
    link->Release();
    return 1;
}
