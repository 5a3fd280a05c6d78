#include "boundary/wide_text.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "base/fatal.h"

static const UINT CP932 = 932;

void *(*wide_text_allocate)(size_t bytes) = malloc;

// Flags 0: what the ANSI calls did under 932, invalid bytes included, so
// the conversion itself cannot fail; only the memory for it can.
static wchar_t *widen(const char *text, int length)
{
    int units = length > 0 ? MultiByteToWideChar(CP932, 0, text, length, NULL, 0) : 0;
    wchar_t *wide = (length > 0 && units <= 0)
                        ? NULL : (wchar_t *)wide_text_allocate(((size_t)units + 1) * sizeof *wide);
    if (!wide || (units > 0 && MultiByteToWideChar(CP932, 0, text, length, wide, units) != units))
        fatal_error(Msg::out_of_memory);
    wide[units] = L'\0';
    return wide;
}

Wide::Wide(const char *text) : text_(text ? widen(text, (int)strlen(text)) : NULL) {}

Wide::Wide(const char *text, size_t length) : text_(text ? widen(text, (int)length) : NULL) {}

Wide::~Wide()
{
    free(text_);
}

// The 932 form of `wide`, its length in `bytes`; NULL when a character has
// no code of its own there. A round trip decides, so no best-fit mapping
// ('\u00e9' to 'e', say) and no default character can slip through.
static char *narrow_strictly(const wchar_t *wide, int *bytes)
{
    int units = (int)wcslen(wide);
    BOOL defaulted = FALSE;
    int length = WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, wide, units, NULL, 0, NULL, &defaulted);
    if ((length <= 0 && units != 0) || defaulted)
        return NULL;
    char *narrow = (char *)malloc((size_t)length + 1);
    wchar_t *back = (wchar_t *)malloc(((size_t)units + 1) * sizeof *back);
    int fits = narrow && back
               && WideCharToMultiByte(CP932, WC_NO_BEST_FIT_CHARS, wide, units, narrow, length, NULL,
                                      &defaulted) == length
               && !defaulted
               && MultiByteToWideChar(CP932, MB_ERR_INVALID_CHARS, narrow, length, back, units) == units
               && memcmp(back, wide, (size_t)units * sizeof *back) == 0;
    free(back);
    if (!fits) {
        free(narrow);
        return NULL;
    }
    narrow[length] = '\0';
    *bytes = length;
    return narrow;
}

int to_cp932(const wchar_t *wide, char *out, size_t size)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    if (!wide)
        return 0;
    int length = 0;
    char *narrow = narrow_strictly(wide, &length);
    if (!narrow)
        return 0;
    int fits = (size_t)length < size;
    if (fits)
        memcpy(out, narrow, (size_t)length + 1);
    free(narrow);
    return fits;
}

char *cp932_copy(const wchar_t *wide)
{
    int length = 0;
    return wide ? narrow_strictly(wide, &length) : NULL;
}

int cp932_holds(const wchar_t *wide)
{
    char *narrow = cp932_copy(wide);
    int held = narrow != NULL;
    free(narrow);
    return held;
}

int windows_folder(char *out, size_t size)
{
    wchar_t folder[MAX_PATH];
    UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        if (size)
            out[0] = '\0';
        return 0;
    }
    return to_cp932(folder, out, size);
}
