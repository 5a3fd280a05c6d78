#include "records/programs_folder.h"

#include "records/registry.h"

static const char shell_folders_key[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

int read_programs_folder(char *out, int size)
{
    return reg_read_value(out, shell_folders_key, "Programs", size);
}
