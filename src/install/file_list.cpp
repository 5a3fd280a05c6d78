// Placeholder until the file list interpreter lands.
#include "install/file_list.h"

int run_file_list(HWND)
{
    return 0;
}
