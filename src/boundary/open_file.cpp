#include "boundary/open_file.h"

#include "boundary/wide_text.h"

FILE *open_file(const char *path, const char *mode)
{
    if (!path || !mode)
        return NULL;
    Wide wide_path(path), wide_mode(mode);
    return _wfopen(wide_path, wide_mode);
}
