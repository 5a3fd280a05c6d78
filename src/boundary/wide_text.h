// Where the program's texts cross into Windows and back. Inside, every text
// is a code page 932 byte string; Windows is handed UTF-16 through the wide
// calls, converted with code page 932 itself, so nothing depends on the
// system's ANSI code page.
#pragma once

#include <stddef.h>
#include <wchar.h>

// A text converted for one wide call, freed with the holder. From code page
// 932 the conversion reads the bytes as Windows's own ANSI calls did under
// that code page, so every text and name stays as it was there. A NULL text
// stays NULL (the calls' own "none"); any other text is never NULL: a text
// there is no memory for ends the program through fatal_error, as a NULL
// would change what a call means (an unnamed mutex, the program's own module).
class Wide {
public:
    explicit Wide(const char *text);
    Wide(const char *text, size_t length);
    ~Wide();
    Wide(const Wide &) = delete;
    Wide &operator=(const Wide &) = delete;
    operator const wchar_t *() const { return text_; }
    const wchar_t *text() const { return text_; }
    // For the calls that may write into their text (CreateProcessW's
    // command line): the holder's own copy.
    wchar_t *writable() { return text_; }

private:
    wchar_t *text_;
};

// Where Wide takes its memory; a test may put a failing allocator here.
extern void *(*wide_text_allocate)(size_t bytes);

// `wide` in code page 932 into `out` (`size` bytes, zero included), strictly:
// 1 when every character has its own code and the whole text fits; 0, with
// `out` empty, for a character 932 cannot hold (nothing is replaced by a
// look-alike or '?') or a text too long.
int to_cp932(const wchar_t *wide, char *out, size_t size);

// `wide` in code page 932, strictly as to_cp932, in a new text of its own
// length, freed with free(); NULL for a character 932 cannot hold or when
// there is no memory.
char *cp932_copy(const wchar_t *wide);

// 1 when code page 932 holds every character of `wide`.
int cp932_holds(const wchar_t *wide);

// The Windows folder in code page 932; 0 when Windows gives none or it does
// not fit `size` that way.
int windows_folder(char *out, size_t size);
