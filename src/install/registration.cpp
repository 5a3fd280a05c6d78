#include "install/run_install.h"

#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "base/format_fits.h"
#include "boundary/wide_text.h"
#include "core/install_log.h"
#include "core/install_rules.h"
#include "core/path_scan.h"
#include "install/make_path.h"
#include "install/registration.h"
#include "records/programs_folder.h"
#include "records/registry.h"
#include "state/install_state.h"
#include "text/messages.h"


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
    Msg refusal = Msg::count;
    int found = read_programs_folder(programs, sizeof programs);
    if (found == PROGRAMS_FOLDER_UNUSABLE) {
        refusal = Msg::start_menu_unheld;
    } else if (found == PROGRAMS_FOLDER_FOUND) {
        StartMenuPaths paths;
        if (compose_start_menu(programs, &paths))
            create_start_menu(&paths);
        else
            refusal = Msg::shortcuts_not_made;
    }
    if (refusal != Msg::count)
        MessageBoxW((HWND)install_state.launcher_window, Wide(text_of(refusal)), Wide(caption_of(refusal)), MB_OK);
    write_install_record();
}

int create_shortcut(const char *link_path, const char *target_path)
{
    Wide link_file(link_path), target(target_path), folder(install_state.install_dir);
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
