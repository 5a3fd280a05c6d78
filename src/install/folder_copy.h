// Flat copies of one folder of the medium into one folder of the install,
// file by file through the progress dialog, with every created folder and
// file written to the install log.
#pragma once

#include <windows.h>

#include "core/install_rules.h"

// The listing's two platform calls. Tests put failing ones in their place to
// reach what a drive that is not ready or a scratched disc gives.
struct FolderListing {
    HANDLE(WINAPI *find_first)(LPCWSTR pattern, LPWIN32_FIND_DATAW entry);
    BOOL(WINAPI *find_next)(HANDLE search, LPWIN32_FIND_DATAW entry);
};
extern FolderListing folder_listing;

// Copies every file of `source_folder` into `target_folder` (both ending in
// '\'). Creates and logs the target folder when it is missing, collects every
// name before the first copy, then copies and logs them in listing order.
// 1 when all were copied or there was nothing to copy; 0 at the first file
// whose copy ended with 0 (that file is still logged, the rest are skipped),
// and 0, before any copy, when the listing fails for any other reason than
// having no more files.
// A missing source folder, a subfolder in it, more than COPY_FILE_NAMES_MAX
// files, a file name code page 932 cannot hold or an over-long path end the
// program.
int copy_folder(const char *target_folder, const char *source_folder);

// Copies one file through the progress dialog, clearing an existing target's
// attributes before and the target's after, and logs its path whatever the
// outcome; returns the dialog's result (1 copied, 0 not). A target that is
// the source file itself (under whatever name) is neither opened nor logged:
// the user is told why, and the result is 0.
int copy_file_with_progress(const char *target_folder, const char *source_folder,
                            const char *file_name);
