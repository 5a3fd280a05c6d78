// Byte-wise scanner shared by install.txt and the file lists. Every operation
// takes a pointer to the reader's current position in a zero-terminated text
// and returns how many bytes it consumed from there. Syntax errors never come
// back to the caller: they end the program through fatal_error.
#pragma once

int skip_blank(const char *text);

// Copies the next word into `out` (`out_size` bytes, zero included). A word
// that does not fit ends the program with a message saying so.
int read_word(const char *text, char *out, int out_size);

// Copies the next quoted string, without its quotes, into `out`.
int read_quoted(const char *text, char *out, int out_size);

// Every value read (a word or a quoted string) must be code page 932 as it
// stands: single bytes 0x00-0x7F and 0xA1-0xDF, or a lead byte 0x81-0x9F or
// 0xE0-0xFC followed by a second byte 0x40-0x7E or 0x80-0xFC. Any other byte
// (0x80, 0xA0, 0xFD-0xFF, a lead byte without its second byte) ends the
// program with the catalogue's invalid-byte error,
// naming the file set here.
void set_script_file(const char *name);

// The index of the first byte of `bytes` (`length` of them) that is not
// code page 932 as above, or -1.
int cp932_invalid_at(const char *bytes, int length);

int expect_comma(const char *text);
int expect_arrow(const char *text);

// Length of the word that read_word would take at `text` (blanks and comments
// before it skipped), without copying it anywhere.
int word_length(const char *text, int *word_start);

// Told where each scanning operation found its token, or the byte it refused,
// before the token is taken or the error raised. The program leaves it empty;
// a checking tool sets it to place each error at a line and column, with
// its own record as the context (the readers take none).
struct ScriptTokenWatch {
    void (*seen)(void *context, const char *at);
    void *context;
};
extern ScriptTokenWatch script_token_watch;

// Tells script_token_watch of `at` when it is set.
void note_script_token(const char *at);
