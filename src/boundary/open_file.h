// The C runtime's file open for a code page 932 path: on Windows through the
// wide open, so the name on disk does not depend on the system's code page.
#pragma once

#include <stdio.h>

FILE *open_file(const char *path, const char *mode);
