#include "script/tokenizer.h"

#include "script/fatal.h"
#include "state/format_fits.h"

static int is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

static int ends_word(char c)
{
    return is_blank(c) || c == '\0' || c == ',';
}

ScriptTokenWatch script_token_watch;

void note_script_token(const char *at)
{
    if (script_token_watch.seen)
        script_token_watch.seen(script_token_watch.context, at);
}

int skip_blank(const char *text)
{
    int i = 0;
    for (;;) {
        while (is_blank(text[i]))
            i++;
        if (text[i] != ';')
            return i;
        i++;
        while (text[i] != '\n' && text[i] != '\0')
            i++;
        if (text[i] == '\0')
            return i;
    }
}

int word_length(const char *text, int *word_start)
{
    int start = skip_blank(text);
    int i = start;
    while (!ends_word(text[i]))
        i++;
    if (word_start)
        *word_start = start;
    return i - start;
}

int read_word(const char *text, char *out, int out_size)
{
    int start;
    int length = word_length(text, &start);
    note_script_token(text + start);
    if (length >= out_size)
        fatal_too_long(Msg::word_name, out_size - 1);
    for (int j = 0; j < length; j++)
        out[j] = text[start + j];
    out[length] = '\0';
    return start + length;
}

int read_quoted(const char *text, char *out, int out_size)
{
    int i = skip_blank(text);
    note_script_token(text + i);
    if (text[i] != '"')
        fatal_error(Msg::string_expected);
    i++;
    // The string's end first: one that never closes is that error, however
    // long it runs.
    int end = i;
    while (text[end] != '"') {
        if (text[end] == '\n' || text[end] == '\0')
            fatal_error(Msg::string_broken);
        end++;
    }
    if (end - i >= out_size)
        fatal_too_long(Msg::string_name, out_size - 1);
    for (int j = 0; j < end - i; j++)
        out[j] = text[i + j];
    out[end - i] = '\0';
    return end + 1;
}

int expect_comma(const char *text)
{
    int i = skip_blank(text);
    note_script_token(text + i);
    if (text[i] != ',')
        fatal_error(Msg::comma_expected);
    i++;
    return i + skip_blank(text + i);
}

int expect_arrow(const char *text)
{
    int i = skip_blank(text);
    note_script_token(text + i);
    if (text[i] != '-' || text[i + 1] != '>')
        fatal_error(Msg::arrow_expected);
    i += 2;
    return i + skip_blank(text + i);
}
