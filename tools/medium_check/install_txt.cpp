// install.txt: the launcher's lookups as it makes them, then the names the
// installer builds from their values.
#include <string.h>

#include <string>
#include <vector>

#include "checker.h"
#include "install/path_scan.h"
#include "script/settings.h"
#include "script/tokenizer.h"
#include "state/install_state.h"
#include "text/checker_texts.h"

struct ValueRange {
    const char *open;             // opening and closing quote of a statement's value
    const char *close;
};

// Where the quoted values lie when the file is read as its writer means it:
// keyword, value, keyword, value... The walk ends where that reading ends.
static void walk_statements(const char *text, std::vector<ValueRange> *ranges)
{
    std::vector<char> scratch(SCRIPT_TEXT_BYTES + 1);   // a word or value of any length
    ScriptCursor pos = skip_blank(text);
    while (text[pos] != '\0') {
        int start;
        if (word_length(text + pos, &start) == 0)
            return;
        pos += read_word(text + pos, scratch.data(), (int)scratch.size());
        ScriptCursor open = pos + skip_blank(text + pos);
        pos += read_quoted(text + pos, scratch.data(), (int)scratch.size());
        ranges->push_back(ValueRange{text + open, text + pos - 1});
        pos += skip_blank(text + pos);
    }
}

static const ValueRange *range_holding(const std::vector<ValueRange> &ranges, const char *at)
{
    for (const ValueRange &range : ranges)
        if (at > range.open && at <= range.close)
            return &range;
    return nullptr;
}

// The keyword that find_setting matched just before `at`, inside a value
// (no line end can stand between them there).
static const char *keyword_before(const char *at, const char *keyword, const char *text)
{
    const char *p = at;
    while (p > text && (p[-1] == ' ' || p[-1] == '\t'))
        p--;
    size_t length = strlen(keyword);
    if ((size_t)(p - text) >= length && memcmp(p - length, keyword, length) == 0)
        return p - length;
    return at;
}

// One lookup as the launcher makes it. 1 when the value was found; *value_at
// is then its opening quote.
static int check_setting(Checker &c, const char *keyword, char *value, int size, const char *missing,
                         const std::vector<ValueRange> &ranges, const char **value_at)
{
    int found = 0;
    c.tokens.clear();
    int ran = run_guarded(c, [&] { found = find_setting(keyword, value, size); });
    const char *at = last_token(c);
    const ValueRange *inside = at ? range_holding(ranges, at) : nullptr;
    const char *text = c.text;
    if (!ran) {
        if (inside)
            add_at(c, 1, keyword_before(at, keyword, text), "keyword-in-value", c.fatal.message);
        else
            add_fatal_at(c, at);
        return 0;
    }
    if (!found) {
        if (missing)
            add_at(c, 1, text + strlen(text), "missing-keyword", missing);
        return 0;
    }
    if (inside)
        add_at(c, 0, keyword_before(at, keyword, text), "keyword-in-value",
               format(text_of(CheckerText::keyword_read_late), keyword, keyword));
    *value_at = at;
    return 1;
}

// The lookups of the launcher window, then the names the installer builds
// from them. Leaves install_dir at the default install folder.
void check_settings(Checker &c)
{
    InstallState &s = install_state;
    c.file = "install.txt";
    c.text = SettingsText;
    if (!load_control_file(c, "install.txt", SettingsText)) {
        add_finding(c, 1, "install.txt", 0, 0, "missing-file", text_of(Msg::install_txt_missing));
        return;
    }
    std::vector<ValueRange> ranges;
    ScriptTokenWatch watch = script_token_watch;
    script_token_watch = ScriptTokenWatch{};
    run_guarded(c, [&] { walk_statements(SettingsText, &ranges); });
    script_token_watch = watch;

    const char *caption_at = nullptr, *maker_at = nullptr, *message_at = nullptr;
    const char *title_at = nullptr, *bland_at = nullptr;
    const char *title_missing = text_of(Msg::title_missing);
    check_setting(c, "caption", s.caption, sizeof s.caption, text_of(Msg::caption_missing), ranges, &caption_at);
    check_setting(c, "maker", s.maker, sizeof s.maker, text_of(Msg::maker_missing), ranges, &maker_at);
    check_setting(c, "execmessage", s.execmessage, sizeof s.execmessage, nullptr, ranges, &message_at);
    int title = check_setting(c, "title", s.title, sizeof s.title, title_missing, ranges, &title_at);
    int bland = check_setting(c, "bland", s.bland, sizeof s.bland, title ? title_missing : nullptr,
                              ranges, &bland_at);
    if (!title || !bland)
        return;

    if (!compose_record_keys(s.bland, s.title, s.brand_key, s.product_key, sizeof s.product_key))
        add_at(c, 1, bland_at, "too-long", text_of(Msg::record_keys_too_long));
    char folder[PATH_CAPACITY];
    if (!compose_default_folder("C:\\WINDOWS", s.bland, folder, sizeof folder)) {
        add_at(c, 1, bland_at, "too-long", text_of(Msg::default_folder_too_long));
        return;
    }
    char install_folder[PATH_CAPACITY];
    char log_path[PATH_CAPACITY];
    if (!compose_install_folder(folder, s.title, install_folder, log_path, sizeof log_path)) {
        add_at(c, 0, title_at, "too-long", text_of(Msg::install_folder_too_long));
        return;
    }
    memcpy(s.install_dir, install_folder, sizeof install_folder);
}
