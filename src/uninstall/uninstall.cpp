#include "uninstall/uninstall.h"

#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "records/install_log.h"
#include "records/registry.h"
#include "script/fatal.h"
#include "state/install_state.h"

static int set_log_path_from_record(void)
{
    InstallState &s = install_state;
    char game_dir[PATH_CAPACITY];
    if (!reg_read_value(game_dir, s.product_key, "gamedir", sizeof game_dir))
        return 0;
    int n = snprintf(s.install_log_path, sizeof s.install_log_path, "%sinstlog.txt", game_dir);
    return n > 0 && n < (int)sizeof s.install_log_path;
}

static int is_file_line(const char *line)
{
    return line[0] != ':' && line[0] != '>' && line[0] != '?';
}

int uninstall(void)
{
    LogLines log = {};
    if (!set_log_path_from_record()) {
        // No record of where the log lies: the same report as an unreadable log.
        show_unowned_message("インストールログが読めません。", "インストールログ読込失敗");
        return 0;
    }
    if (!log_read(install_state.install_log_path, &log))
        return 0;
    for (int i = 0; i < log.count; i++)
        if (is_file_line(log.lines[i]))
            DeleteFileA(log.lines[i]);
    for (int i = 0; i < log.count; i++)
        if (log.lines[i][0] == ':')
            RemoveDirectoryA(log.lines[i] + 1);
    log_free(&log);
    DeleteFileA(install_state.install_log_path);
    remove_install_record();
    return 1;
}
