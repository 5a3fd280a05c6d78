#include "install/folder_copy.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "boundary/wide_text.h"
#include "install/copy_dialog.h"
#include "install/file_list_script.h"
#include "install/make_path.h"
#include "records/install_log.h"
#include "script/fatal.h"
#include "state/format_fits.h"
#include "state/install_state.h"

// Names of the folder being copied; filled and emptied by one copy_folder
// call (never nested, so one array serves every call).
static char *copy_file_names[COPY_FILE_NAMES_MAX];
static int copy_file_count;

static void free_copy_file_names(void)
{
    for (int i = 0; i < copy_file_count; i++) {
        free(copy_file_names[i]);
        copy_file_names[i] = NULL;
    }
    copy_file_count = 0;
}

static int path_exists(const char *path)
{
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

// Stops the collection: the names taken so far are freed first.
[[noreturn]] static void refuse_collection(HANDLE search, Msg kind)
{
    FindClose(search);
    free_copy_file_names();
    fatal_error(kind);
}

FolderListing folder_listing = {FindFirstFileW, FindNextFileW};

// Collects every file name of the folder; a subfolder ends the program before
// any of its files is touched. 0 when the listing failed: only a folder with
// no entry at all (an empty drive root) and the end of the entries count as
// having listed everything.
static int collect_file_names(const char *source_folder)
{
    char pattern[1000];
    format_must_fit(pattern, sizeof pattern, Msg::source_folder_path_name, "%s%s", source_folder, "*.*");
    WIN32_FIND_DATAW entry;
    HANDLE search = folder_listing.find_first(Wide(pattern), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(entry.cFileName, L"..") == 0 || wcscmp(entry.cFileName, L".") == 0)
                continue;
            refuse_collection(search, Msg::source_subfolder);
        }
        if (copy_file_count >= COPY_FILE_NAMES_MAX)
            refuse_collection(search, Msg::source_too_many);
        // A name 932 cannot hold could be neither copied by its name nor
        // logged: the folder is refused before any of its files is touched.
        if (!cp932_holds(entry.cFileName))
            refuse_collection(search, Msg::source_unheld_name);
        char *name = cp932_copy(entry.cFileName);
        if (!name)
            refuse_collection(search, Msg::out_of_memory);
        copy_file_names[copy_file_count++] = name;
    } while (folder_listing.find_next(search, &entry));
    int listed = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    return listed;
}

int copy_folder(const char *target_folder, const char *source_folder)
{
    char text[1000];
    if (strlen(source_folder) >= PATH_CAPACITY || !path_exists(source_folder)) {
        format_must_fit(text, sizeof text, Msg::source_folder_path_name,
                        text_of(Msg::source_folder_missing), source_folder);
        fatal_error(Msg::source_folder_missing, text);
    }
    // Every folder made on the way is logged, parents first, so that the
    // uninstall can remove the whole tree.
    make_path(target_folder, log_created_folder, install_state.install_log_path);
    copy_file_count = 0;
    int copied = collect_file_names(source_folder);
    for (int i = 0; i < copy_file_count && copied; i++)
        copied = copy_file_with_progress(target_folder, source_folder, copy_file_names[i]);
    free_copy_file_names();
    return copied;
}

// The volume and index of the file at `path`; 0 when it cannot be opened.
static int file_identity(const char *path, BY_HANDLE_FILE_INFORMATION *info)
{
    HANDLE file = CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int known = GetFileInformationByHandle(file, info) != 0;
    CloseHandle(file);
    return known;
}

// 1 when the two paths name one file: short names, letter case and links
// can make different texts name the same file, so the file system decides.
static int same_file(const char *a, const char *b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return file_identity(a, &first) && file_identity(b, &second)
           && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber
           && first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

int copy_file_with_progress(const char *target_folder, const char *source_folder,
                            const char *file_name)
{
    char target_path[PATH_CAPACITY];
    char source_path[PATH_CAPACITY];
    format_must_fit(target_path, sizeof target_path, Msg::target_file_path_name, "%s%s", target_folder, file_name);
    format_must_fit(source_path, sizeof source_path, Msg::source_file_path_name, "%s%s", source_folder, file_name);
    // Opening the target for writing would empty the source (the medium
    // copied into the install folder): stop before it, and log nothing, as
    // the file is not the install's to remove.
    if (same_file(source_path, target_path)) {
        char message[1000];
        format_must_fit(message, sizeof message, Msg::target_file_path_name,
                        text_of(Msg::same_file),
                        target_path);
        MessageBoxW((HWND)install_state.options_window, Wide(message), Wide(caption_of(Msg::same_file)), MB_OK);
        return 0;
    }
    // An earlier file left read-only, hidden or system would refuse the write
    // stream and stop the install; it is replaced like any other.
    Wide target(target_path);
    SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    int copied = show_copy_dialog(source_path, target_path);
    SetFileAttributesW(target, FILE_ATTRIBUTE_NORMAL);
    log_append(install_state.install_log_path, target_path);
    return copied;
}
