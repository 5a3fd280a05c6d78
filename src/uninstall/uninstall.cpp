#include "uninstall/uninstall.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <algorithm>

#include "base/fatal.h"
#include "base/format_fits.h"
#include "boundary/wide_text.h"
#include "core/install_log.h"
#include "core/path_scan.h"
#include "records/programs_folder.h"
#include "records/registry.h"
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

// 1 when a folder on the way to `path` (and, with `itself`, the path
// itself) is a reparse point: a junction or symbolic link (under Wine, a
// Unix symbolic link) leads anywhere, and what is removed through it, with
// the rights the program may have, would not be what the install made.
static int passes_reparse_point(const char *path, int itself)
{
    char prefix[PATH_CAPACITY];
    int length = (int)strlen(path);
    if (length >= PATH_CAPACITY)
        return 1;
    for (int i = 3; i <= length; i++) {       // after the drive's "X:\"
        int at_end = i == length;
        if (!at_end && path[i] != '\\' && path[i] != '/') {
            if (cp932_lead_byte((unsigned char)path[i]) && path[i + 1] != '\0')
                i++;
            continue;
        }
        if ((at_end && !itself) || path[i - 1] == '\\' || path[i - 1] == '/')
            continue;
        memcpy(prefix, path, (size_t)i);
        prefix[i] = '\0';
        DWORD attributes = GetFileAttributesW(Wide(prefix));
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return 1;
    }
    return 0;
}

// What the uninstall could not remove: the first logged path left, by its
// place in the log.
struct LeftBehind {
    int line;                     // -1 while nothing is left
    const char *path;
};

static void note_left(LeftBehind *left, int line, const char *path)
{
    if (left->line < 0 || line < left->line) {
        left->line = line;
        left->path = path;
    }
}

// The logged folders to remove, deepest first, folders of one depth in log
// order: each is empty of installed things by its turn, whatever order the
// install made them in. Made before anything is deleted, so that a lack of
// memory ends the uninstall with the log and the record untouched. A folder
// line out of reach, or through a reparse point, is left.
struct FolderPass {
    int count;
    int *lines;                   // log line numbers
};

static void order_deepest_first(FolderPass *pass, const LogLines *log, const UninstallReach *reach,
                                 LeftBehind *left)
{
    pass->count = 0;
    pass->lines = (int *)calloc((size_t)log->count + 1, sizeof *pass->lines);
    int *depths = (int *)calloc((size_t)log->count + 1, sizeof *depths);
    if (!pass->lines || !depths)
        fatal_error(Msg::out_of_memory);
    int deepest = 0;
    for (int i = 0; i < log->count; i++) {
        const char *folder = log->lines[i] + 1;
        if (log->lines[i][0] != ':')
            continue;
        if (may_remove_folder(reach, folder) && !passes_reparse_point(folder, 1))
            depths[i] = plain_path_depth(folder, cp932_lead_byte);
        else
            note_left(left, i, folder);
        deepest = std::max(deepest, depths[i]);
    }
    for (int depth = deepest; depth >= 1; depth--)
        for (int i = 0; i < log->count; i++)
            if (depths[i] == depth)
                pass->lines[pass->count++] = i;
    free(depths);
}

// Another program may hold a file open for a moment (a virus scanner, the
// search indexer, Wine's menu builder reading a new shortcut): a delete that
// meets it is tried again for a bounded time, then left as any other failure.
// A read-only file is refused for good, so it is not waited for. 1 when the
// file is gone.
static int delete_file_patiently(const char *path)
{
    const DWORD patience_ms = 1500, pause_ms = 50;
    Wide wide(path);
    for (DWORD started = GetTickCount(); !DeleteFileW(wide); Sleep(pause_ms)) {
        DWORD error = GetLastError();
        DWORD attributes = GetFileAttributesW(wide);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return 1;
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)
            || (attributes & FILE_ATTRIBUTE_READONLY) || GetTickCount() - started >= patience_ms)
            return 0;
    }
    return 1;
}

// Removes the folders that can go; those that cannot yet stay in the pass.
// With `last`, a folder that stays for any reason but what is in it (a
// user's file, or a file already counted as left) is left.
static void remove_folders(FolderPass *pass, const LogLines *log, LeftBehind *left, int last)
{
    int kept = 0;
    for (int i = 0; i < pass->count; i++) {
        const char *folder = log->lines[pass->lines[i]] + 1;
        if (RemoveDirectoryW(Wide(folder)))
            continue;
        DWORD reason = GetLastError();
        pass->lines[kept++] = pass->lines[i];
        if (last && reason != ERROR_DIR_NOT_EMPTY && reason != ERROR_FILE_NOT_FOUND
            && reason != ERROR_PATH_NOT_FOUND)
            note_left(left, pass->lines[i], folder);
    }
    pass->count = kept;
}

// Deletes the logged files within reach; those refused or still there are left.
static void delete_files(const LogLines *log, const UninstallReach *reach, LeftBehind *left)
{
    for (int i = 0; i < log->count; i++) {
        const char *file = log->lines[i];
        if (!is_file_line(file) || file[0] == '\0')
            continue;
        if (!may_remove(reach, file) || passes_reparse_point(file, 0)) {
            note_left(left, i, file);
            continue;
        }
        if (!delete_file_patiently(file))
            note_left(left, i, file);
    }
}

int uninstall(char *first_left, size_t size)
{
    UninstallReach reach;
    if (!find_log(&reach)) {
        // No record of where the log lies: the same report as an unreadable log.
        show_unowned_message(text_of(Msg::log_unreadable), caption_of(Msg::log_unreadable));
        return UNINSTALL_LOG_UNREADABLE;
    }
    LogLines log = {};
    if (!log_read(install_state.install_log_path, &log))
        return UNINSTALL_LOG_UNREADABLE;
    LeftBehind left = {-1, NULL};
    FolderPass pass;
    order_deepest_first(&pass, &log, &reach, &left);
    delete_files(&log, &reach, &left);
    remove_folders(&pass, &log, &left, 0);
    // Anything left keeps the log and the record, so the uninstall can be
    // run again or the rest removed by hand.
    if (left.line < 0) {
        delete_file_patiently(install_state.install_log_path);
        // Again without the log: the install folder held it.
        remove_folders(&pass, &log, &left, 1);
    }
    int result = UNINSTALL_DONE;
    if (left.line >= 0) {
        format_fits(first_left, size, "%s", left.path);
        result = UNINSTALL_INCOMPLETE;
    } else {
        remove_install_record();
    }
    free(pass.lines);
    log_free(&log);
    return result;
}
