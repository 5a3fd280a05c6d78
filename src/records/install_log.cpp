#include "records/install_log.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "boundary/open_file.h"
#include "script/fatal.h"

void log_create(const char *path)
{
    FILE *file = open_file(path, "wt");
    if (!file)
        fatal_error(Msg::log_not_made);
    fclose(file);
}

void log_append(const char *path, const char *line)
{
    if (strlen(line) > LOG_LINE_MAX)
        fatal_error(Msg::log_line_too_long);
    FILE *file = open_file(path, "a+t");
    if (!file)
        fatal_error(Msg::log_not_made);
    int written = fprintf(file, "%s\n", line);
    if (fclose(file) != 0 || written < 0)
        fatal_error(Msg::log_not_made);
}

void log_free(LogLines *lines)
{
    for (int i = 0; i < lines->count; i++)
        free(lines->lines[i]);
    free(lines->lines);
    lines->lines = NULL;
    lines->count = 0;
}

static int push_line(LogLines *out, const char *line, int length)
{
    char *copy = (char *)malloc((size_t)length + 1);
    if (!copy)
        return 0;
    memcpy(copy, line, (size_t)length);
    copy[length] = '\0';
    out->lines[out->count++] = copy;
    return 1;
}

// Splits the open file into lines; returns the message that refuses it, or
// NULL when every line was taken. A flaw (a zero byte, too many bytes)
// refuses the log only in a line that a line break completes: the bytes after
// the last one are a write cut short by a crash, ignored whatever they hold.
static const char *read_lines(FILE *file, LogLines *out)
{
    char line[LOG_LINE_MAX + 1];
    int length = 0;
    const char *flaw = NULL;
    int c;
    while ((c = fgetc(file)) != EOF) {
        if (c == '\n') {
            if (flaw)
                return flaw;
            if (out->count >= LOG_LINES_MAX)
                return text_of(Msg::log_too_many_lines);
            if (!push_line(out, line, length))
                return text_of(Msg::log_unreadable);
            length = 0;
        } else if (flaw) {
            continue;
        } else if (c == '\0') {
            flaw = text_of(Msg::log_broken);
        } else if (length >= LOG_LINE_MAX) {
            flaw = text_of(Msg::log_long_line);
        } else {
            line[length++] = (char)c;
        }
    }
    if (ferror(file))
        return text_of(Msg::log_unreadable);
    return NULL;
}

const char *log_read_stream(FILE *file, LogLines *out)
{
    out->count = 0;
    out->lines = (char **)malloc(sizeof(char *) * LOG_LINES_MAX);
    const char *refusal = out->lines ? read_lines(file, out) : text_of(Msg::log_unreadable);
    if (refusal)
        log_free(out);
    return refusal;
}

int log_read(const char *path, LogLines *out)
{
    out->count = 0;
    out->lines = NULL;
    FILE *file = open_file(path, "rt");
    if (!file) {
        show_unowned_message(text_of(Msg::log_unreadable), caption_of(Msg::log_unreadable));
        return 0;
    }
    const char *refusal = log_read_stream(file, out);
    fclose(file);
    if (refusal) {
        show_unowned_message(refusal, caption_of(Msg::log_unreadable));
        return 0;
    }
    return 1;
}

long long log_complete_length(FILE *file)
{
    long long complete = 0, at = 0;
    int c;
    while ((c = fgetc(file)) != EOF) {
        at++;
        if (c == '\n')
            complete = at;
    }
    return ferror(file) ? -1 : complete;
}
