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
