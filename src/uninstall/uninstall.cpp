#include "uninstall/uninstall.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <algorithm>

#include "boundary/wide_text.h"
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
    if (plain_path_depth(folder, cp932_lead_byte) < 1)
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
    if (plain_path_depth(path, cp932_lead_byte) < 1)
        return 0;
    return (reach->install_folder[0] && path_within(path, reach->install_folder, cp932_lead_byte))
           || (reach->programs_folder[0] && path_within(path, reach->programs_folder, cp932_lead_byte));
}

static int is_file_line(const char *line)
{
    return line[0] != ':' && line[0] != '>' && line[0] != '?';
}

// A folder line may also name a folder above the install folder: one the
// install made for it (the brand's). Removing a folder never removes what
// is in it, so such a folder goes only once nothing is left there.
static int may_remove_folder(const UninstallReach *reach, const char *folder)
{
    return may_remove(reach, folder)
           || (reach->install_folder[0] && plain_path_depth(folder, cp932_lead_byte) >= 1
               && path_within(reach->install_folder, folder, cp932_lead_byte));
}

// The logged folders to remove, deepest first, folders of one depth in log
// order: each is empty of installed things by its turn, whatever order the
// install made them in. Made before anything is deleted, so that a lack of
// memory ends the uninstall with the log and the record untouched.
struct FolderPass {
    int count;
    const char **folders;
};

static void order_deepest_first(FolderPass *pass, const LogLines *log, const UninstallReach *reach)
{
    pass->count = 0;
    pass->folders = (const char **)calloc((size_t)log->count + 1, sizeof *pass->folders);
    int *depths = (int *)calloc((size_t)log->count + 1, sizeof *depths);
    if (!pass->folders || !depths)
        fatal_error(Msg::out_of_memory);
    int deepest = 0;
    for (int i = 0; i < log->count; i++) {
        const char *folder = log->lines[i] + 1;
        if (log->lines[i][0] == ':' && may_remove_folder(reach, folder))
            depths[i] = plain_path_depth(folder, cp932_lead_byte);
        deepest = std::max(deepest, depths[i]);
    }
    for (int depth = deepest; depth >= 1; depth--)
        for (int i = 0; i < log->count; i++)
            if (depths[i] == depth)
                pass->folders[pass->count++] = log->lines[i] + 1;
    free(depths);
}

// Another program may hold a file open for a moment (a virus scanner, the
// search indexer, Wine's menu builder reading a new shortcut): a delete that
// meets it is tried again for a bounded time, then left as any other failure.
// A read-only file is refused for good, so it is not waited for.
static void delete_file_patiently(const char *path)
{
    const DWORD patience_ms = 1500, pause_ms = 50;
    Wide wide(path);
    for (DWORD started = GetTickCount(); !DeleteFileW(wide); Sleep(pause_ms)) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(wide);
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
            || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)
            || GetTickCount() - started >= patience_ms)
            return;
    }
}

// Removes the folders that can go; those that cannot yet stay in the pass.
static void remove_folders(FolderPass *pass)
{
    int left = 0;
    for (int i = 0; i < pass->count; i++)
        if (!RemoveDirectoryW(Wide(pass->folders[i])))
            pass->folders[left++] = pass->folders[i];
    pass->count = left;
}

int uninstall(void)
{
    UninstallReach reach;
    if (!find_log(&reach)) {
        // No record of where the log lies: the same report as an unreadable log.
        show_unowned_message(text_of(Msg::log_unreadable), caption_of(Msg::log_unreadable));
        return 0;
    }
    LogLines log = {};
    if (!log_read(install_state.install_log_path, &log))
        return 0;
    FolderPass pass;
    order_deepest_first(&pass, &log, &reach);
    for (int i = 0; i < log.count; i++)
        if (is_file_line(log.lines[i]) && may_remove(&reach, log.lines[i]))
            delete_file_patiently(log.lines[i]);
    remove_folders(&pass);
    delete_file_patiently(install_state.install_log_path);
    // Again without the log: the install folder held it.
    remove_folders(&pass);
    free(pass.folders);
    log_free(&log);
    remove_install_record();
    return 1;
}
