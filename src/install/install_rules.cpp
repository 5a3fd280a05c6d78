#include "install/install_rules.h"

#include <stdint.h>
#include <string.h>

#include "script/tokenizer.h"
#include "state/format_fits.h"
#include "text/messages.h"

int compose_record_keys(const char *bland, const char *title, char *brand_key, char *product_key,
                        size_t size)
{
    return format_fits(brand_key, size, "software\\%s", bland)
           && format_fits(product_key, size, "software\\%s\\%s", bland, title);
}

int compose_default_folder(const char *windows_dir, const char *bland, char *out, size_t size)
{
    const char *separator = strchr(windows_dir, '\\');
    int drive = separator ? (int)(separator - windows_dir + 1) : (int)strlen(windows_dir);
    return format_fits(out, size, "%.*sProgram Files\\%s\\", drive, windows_dir, bland);
}

int compose_install_folder(const char *shown, const char *title, char *folder, char *log_path,
                           size_t size)
{
    return format_fits(folder, size, "%s%s\\", shown, title)
           && format_fits(log_path, size, "%s%s", folder, "instlog.txt");
}

int read_option_header(const char *text, OptionHeader *header)
{
    ScriptCursor cursor = skip_blank(text);
    header->name_at = text + cursor;
    cursor += read_quoted(text + cursor, header->name, sizeof header->name);
    cursor += expect_comma(text + cursor);
    header->size_at = text + cursor;
    cursor += read_word(text + cursor, header->size_word, sizeof header->size_word);
    header->megabytes = size_word_megabytes(header->size_word);
    return cursor;
}

int size_word_megabytes(const char *word)
{
    while (*word == ' ' || (*word >= '\t' && *word <= '\r'))
        word++;
    int negative = *word == '-';
    if (*word == '-' || *word == '+')
        word++;
    // Accumulated toward the sign's limit, so that INT32_MIN itself fits.
    int64_t limit = negative ? -(int64_t)INT32_MIN : INT32_MAX;
    int64_t value = 0;
    for (; *word >= '0' && *word <= '9'; word++) {
        value = value * 10 + (*word - '0');
        if (value > limit)
            value = limit;
    }
    return (int)(negative ? -value : value);
}

int compose_option_item(const OptionHeader *header, char *item, size_t size)
{
    return format_fits(item, size, text_of(Msg::option_item), header->name, header->megabytes);
}
