#include "uninstall/uninstall.h"

#include <string.h>
#include <windows.h>

#include "install/make_path.h"
#include "install/path_scan.h"
#include "install/registration.h"
#include "records/install_log.h"
#include "records/registry.h"
#include "script/fatal.h"
#include "state/format_fits.h"
#include "state/install_state.h"

// The two folders an uninstall may reach into: the install folder of the
// record and the user's Programs folder. An empty text stands for one that
// is unknown or not a plain absolute folder, so nothing lies within it.
struct UninstallReach {
    char install_folder[PATH_CAPACITY];
    char programs_folder[PATH_CAPACITY];
};

static void keep_if_plain(char *folder)
{
    if (plain_path_depth(folder, ansi_lead_byte) < 1)
        folder[0] = '\0';
}

// The log lies in the record's install folder, which also bounds what the
// uninstall may touch.
static int find_log(UninstallReach *reach)
{
    InstallState &s = install_state;
    if (!reg_read_value(reach->install_folder, s.product_key, "gamedir", sizeof reach->install_folder)
        || !format_fits(s.install_log_path, sizeof s.install_log_path, "%sinstlog.txt",
                        reach->install_folder))
        return 0;
    keep_if_plain(reach->install_folder);
    if (!read_programs_folder(reach->programs_folder, sizeof reach->programs_folder))
        reach->programs_folder[0] = '\0';
    keep_if_plain(reach->programs_folder);
    return 1;
}

// The log is a text file anyone may edit: only what an install of this
// product could have made is removed, never a path that leads elsewhere.
static int may_remove(const UninstallReach *reach, const char *path)
{
    if (plain_path_depth(path, ansi_lead_byte) < 1)
        return 0;
    return (reach->install_folder[0] && path_within(path, reach->install_folder, ansi_lead_byte))
           || (reach->programs_folder[0] && path_within(path, reach->programs_folder, ansi_lead_byte));
}

static int is_file_line(const char *line)
{
    return line[0] != ':' && line[0] != '>' && line[0] != '?';
}

int uninstall(void)
{
    UninstallReach reach;
    if (!find_log(&reach)) {
        // No record of where the log lies: the same report as an unreadable log.
        show_unowned_message("インストールログが読めません。", "インストールログ読込失敗");
        return 0;
    }
    LogLines log = {};
    if (!log_read(install_state.install_log_path, &log))
        return 0;
    for (int i = 0; i < log.count; i++)
        if (is_file_line(log.lines[i]) && may_remove(&reach, log.lines[i]))
            DeleteFileA(log.lines[i]);
    for (int i = 0; i < log.count; i++)
        if (log.lines[i][0] == ':' && may_remove(&reach, log.lines[i] + 1))
            RemoveDirectoryA(log.lines[i] + 1);
    log_free(&log);
    DeleteFileA(install_state.install_log_path);
    remove_install_record();
    return 1;
}
