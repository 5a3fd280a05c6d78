#include "core/install_rules.h"

#include <stdint.h>
#include <string.h>

#include "base/fatal.h"
#include "base/format_fits.h"
#include "core/path_scan.h"
#include "script/tokenizer.h"
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
    return format_fits(out, size, "%.*sProgram Files\\%s%s", drive, windows_dir, bland, bland[0] ? "\\" : "");
}

void require_plain_path(const char *path, Msg what, const char *value, PlainPathKind kind)
{
    if (plain_path_depth(path, cp932_lead_byte) >= 1
        && (kind == PLAIN_FOLDER || !ends_with_separator(path, cp932_lead_byte)))
        return;
    // The product's own values (install.txt) and a list's paths are told apart.
    int of_settings = what == Msg::bland_value_name || what == Msg::title_value_name
                      || what == Msg::maker_value_name || what == Msg::caption_value_name;
    Msg kind_of_error = of_settings ? Msg::value_not_removable : Msg::path_not_removable;
    char message[3 * PATH_CAPACITY];
    format_fits(message, sizeof message, text_of(kind_of_error), text_of(what), value);
    fatal_error(kind_of_error, message);
}

const char STAND_IN_PROGRAMS_FOLDER[] = "C:\\S";

int compose_start_menu(const char *programs, StartMenuPaths *paths)
{
    const InstallState &s = install_state;
    if (!format_fits(paths->product_line, sizeof paths->product_line, ":%s\\%s\\%s",
                     programs, s.maker, s.caption)
        || !format_fits(paths->maker_line, sizeof paths->maker_line, ":%s\\%s", programs, s.maker))
        return 0;
    require_plain_path(paths->maker_line + 1, Msg::maker_value_name, s.maker, PLAIN_NAME);
    require_plain_path(paths->product_line + 1, Msg::caption_value_name, s.caption, PLAIN_NAME);
    const char *product_folder = paths->product_line + 1;
    // The title as a name of its own: ".lnk" after it would hide an empty one.
    char title_path[PATH_CAPACITY];
    if (!format_fits(title_path, sizeof title_path, "%s\\%s", product_folder, s.title))
        return 0;
    require_plain_path(title_path, Msg::title_value_name, s.title, PLAIN_NAME);
    if (!format_fits(paths->main_link, sizeof paths->main_link, "%s\\%s.lnk", product_folder, s.title))
        return 0;
    require_plain_path(paths->main_link, Msg::title_value_name, s.title, PLAIN_NAME);
    for (int i = 0; i < SHORTCUT_SLOTS; i++) {
        paths->extra_links[i][0] = '\0';
        paths->extra_targets[i][0] = '\0';
        if (s.shortcut_names[i][0] == '\0')
            continue;
        if (!format_fits(paths->extra_links[i], sizeof paths->extra_links[i], "%s\\%s.lnk",
                         product_folder, s.shortcut_names[i])
            || !format_fits(paths->extra_targets[i], sizeof paths->extra_targets[i],
                            // One separator: a doubled one repeats the folder in the link's ID list.
                            ends_with_separator(s.install_dir, cp932_lead_byte) ? "%s%s" : "%s\\%s",
                            s.install_dir, s.shortcut_targets[i]))
            return 0;
        require_plain_path(paths->extra_links[i], Msg::shortcut_name_name, s.shortcut_names[i], PLAIN_NAME);
        require_plain_path(paths->extra_targets[i], Msg::shortcut_target_name, s.shortcut_targets[i], PLAIN_NAME);
    }
    return 1;
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
