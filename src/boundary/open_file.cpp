#include "boundary/open_file.h"

#include "boundary/wide_text.h"

FILE *open_file(const char *path, const char *mode)
{
    Wide wide_path(path), wide_mode(mode);
    if (!wide_path || !wide_mode)
        return NULL;
    return _wfopen(wide_path, wide_mode);
}
