#include "script/fatal.h"

#include <stdlib.h>
#include <windows.h>

void fatal_error(const char *message)
{
    MessageBoxA(NULL, message, "エラー", MB_OK);
    exit(0);
}

void show_unowned_message(const char *text, const char *caption)
{
    MessageBoxA(NULL, text, caption, MB_OK);
}
