#include "script/fatal.h"

#include <stdlib.h>
#include <windows.h>

#include "boundary/wide_text.h"

void fatal_error(Msg kind, const char *text)
{
    MessageBoxW(NULL, Wide(text), Wide(caption_of(kind)), MB_OK);
    exit(0);
}

void show_unowned_message(const char *text, const char *caption)
{
    MessageBoxW(NULL, Wide(text), Wide(caption), MB_OK);
}
