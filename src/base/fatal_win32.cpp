#include "base/fatal.h"

#include <stdlib.h>
#include <windows.h>

// Into a buffer of its own, not through Wide: the last way out must not
// need memory, as Wide ends here when it has none. Messages are short; a
// longer one is cut.
static void show_box(const char *text, const char *caption)
{
    wchar_t wide_text[2048], wide_caption[128];
    int units = MultiByteToWideChar(932, 0, text, -1, wide_text, 2048);
    if (units <= 0) {
        int cut = MultiByteToWideChar(932, 0, text, 2047, wide_text, 2047);
        wide_text[cut > 0 ? cut : 0] = L'\0';
    }
    if (MultiByteToWideChar(932, 0, caption, -1, wide_caption, 128) <= 0)
        wide_caption[0] = L'\0';
    MessageBoxW(NULL, wide_text, wide_caption, MB_OK);
}

void fatal_error(Msg kind, const char *text)
{
    show_box(text, caption_of(kind));
    exit(0);
}

void show_unowned_message(const char *text, const char *caption)
{
    show_box(text, caption);
}
