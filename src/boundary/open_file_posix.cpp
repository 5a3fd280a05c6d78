// Natively a path is bytes already.
#include "boundary/open_file.h"

FILE *open_file(const char *path, const char *mode)
{
    return fopen(path, mode);
}
