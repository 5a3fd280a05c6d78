// The launcher's install command: the options dialog, the copy, and the
// registration of the result (log lines, Start-menu shortcuts, record).
#pragma once

#include <windows.h>

// 1 when an install was carried out, 0 when the options dialog was closed.
int run_install(void);

// One .lnk file through the shell's link object; 0 when the object or its
// IPersistFile could not be had, or the link's path has no wide form (then
// nothing was saved).
int create_shortcut(const char *link_path, const char *target_path);
