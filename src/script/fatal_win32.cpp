#include "script/fatal.h"

#include <stdlib.h>
#include <windows.h>

#include "boundary/wide_text.h"

void fatal_error(const char *message)
{
    MessageBoxW(NULL, Wide(message), Wide("エラー"), MB_OK);
    exit(0);
}

void show_unowned_message(const char *text, const char *caption)
{
    MessageBoxW(NULL, Wide(text), Wide(caption), MB_OK);
}
