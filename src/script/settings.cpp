#include "script/settings.h"

#include <stdio.h>
#include <string.h>

#include "boundary/open_file.h"
#include "script/fatal.h"
#include "script/tokenizer.h"
#include "state/install_state.h"

void load_settings(void)
{
    FILE *file = open_file("install.txt", "rt");
    if (!file)
        fatal_error(Msg::install_txt_missing);
    size_t n = fread(SettingsText, 1, SCRIPT_TEXT_BYTES, file);
    SettingsText[n] = '\0';
    fclose(file);
}

static int word_equals(const char *word, int length, const char *keyword)
{
    return (size_t)length == strlen(keyword) && memcmp(word, keyword, (size_t)length) == 0;
}

int find_setting(const char *keyword, char *value, int value_size)
{
    const char *text = SettingsText;
    int position = 0;
    for (;;) {
        char c = text[position];
        if (c == '\0')
            return 0;
        if (c == ' ' || c == '\t' || c == '\n') {
            position++;
            continue;
        }
        if (c == ';') {
            while (text[position] != '\n' && text[position] != '\0')
                position++;
            if (text[position] == '\0')
                return 0;
            position++;
            continue;
        }
        // Words are compared in place, so a word of any length met on the way
        // (inside a long quoted value, say) is stepped over without a copy.
        int start;
        int length = word_length(text + position, &start);
        if (length == 0) {
            // A comma: read_word would stop on it without moving.
            position++;
            continue;
        }
        const char *word = text + position + start;
        position += start + length;
        if (word_equals(word, length, keyword)) {
            position += read_quoted(text + position, value, value_size);
            return 1;
        }
    }
}

void load_product_settings(CaptionFound caption_found, void *context)
{
    InstallState &s = install_state;
    load_settings();
    if (!find_setting("caption", s.caption, sizeof s.caption))
        fatal_error(Msg::caption_missing);
    if (!find_setting("maker", s.maker, sizeof s.maker))
        fatal_error(Msg::maker_missing);
    if (find_setting("execmessage", s.execmessage, sizeof s.execmessage))
        s.exec_message_flag = 1;
    if (caption_found)
        caption_found(s.caption, context);
    if (!find_setting("title", s.title, sizeof s.title)
        || !find_setting("bland", s.bland, sizeof s.bland))
        fatal_error(Msg::title_missing);
}
