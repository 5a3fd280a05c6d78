// Creates every missing folder along a path, from the drive downwards.
#pragma once

// Told of every folder make_path creates, in the order it creates them,
// parents first; `folder` has no trailing '\'.
typedef void (*FolderCreated)(const char *folder, void *context);

// 1 when every folder along `path` exists afterwards; 0 as soon as one could
// not be created (those created before it stay, and were told), and 0 at
// once, creating nothing, for a path of 260 bytes or more. A folder that
// existed already is left alone and never told.
int make_path(const char *path, FolderCreated created = nullptr, void *context = nullptr);

// A FolderCreated that appends ":folder\" to the install log at `context`
// (a path), the line the uninstall removes the folder by.
void log_created_folder(const char *folder, void *context);
