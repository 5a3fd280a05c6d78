#include "install/file_list_script.h"

#include <string.h>

#include "install/install_rules.h"
#include "script/fatal.h"
#include "script/tokenizer.h"
#include "state/format_fits.h"
#include "state/install_state.h"

static int is_ascii_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

static char upper_ascii(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

// The word at `text` must be exactly `keyword`; returns the bytes consumed.
// Compared in place: a keyword glued to a long string is a wrong keyword,
// not a word too long for a buffer.
static int expect_keyword(const char *text, const char *keyword)
{
    int start;
    int length = word_length(text, &start);
    note_script_token(text + start);
    if (length != (int)strlen(keyword) || strncmp(text + start, keyword, (size_t)length) != 0)
        fatal_error(Msg::list_error);
    return start + length;
}

// Where the token read next from `text` starts.
static const char *token_at(const char *text)
{
    return text + skip_blank(text);
}

static int run_header(const char *text, const FileListActions *actions)
{
    OptionHeader header;
    int pos = read_option_header(text, &header);
    actions->places->size = header.size_at;
    pos += expect_comma(text + pos);
    actions->places->program = token_at(text + pos);
    char program[PATH_CAPACITY];
    pos += read_quoted(text + pos, program, sizeof program);
    format_must_fit(install_state.exe_path, sizeof install_state.exe_path, Msg::program_path_name, "%s%s",
                    install_state.install_dir, program);
    return pos;
}

static int run_shortcut(const char *text, int *filled, const FileListActions *actions)
{
    if (*filled >= SHORTCUT_SLOTS) {
        note_script_token(text);
        fatal_error(Msg::too_many_shortcuts);
    }
    int pos = expect_keyword(text, "shortcut");
    pos += skip_blank(text + pos);
    actions->places->shortcut_names[*filled] = token_at(text + pos);
    pos += read_quoted(text + pos, install_state.shortcut_names[*filled], PATH_CAPACITY);
    pos += expect_comma(text + pos);
    actions->places->shortcut_targets[*filled] = token_at(text + pos);
    pos += read_quoted(text + pos, install_state.shortcut_targets[*filled], PATH_CAPACITY);
    (*filled)++;
    return pos;
}

// Asks until the check file is there (1) or the user gives up (0).
static int ask_for_disk(const FileListActions *actions, const char *prompt, const char *check_path)
{
    for (;;) {
        int answer = actions->ask(actions->context, prompt, caption_of(Msg::disc_prompt), ASK_OK_CANCEL);
        if (answer <= 0)
            return 0;           // no way to ask: waiting on would never end
        if (answer == ANSWER_CANCEL) {
            if (actions->ask(actions->context, text_of(Msg::disc_cancel),
                             caption_of(Msg::disc_cancel), ASK_YES_NO) == ANSWER_YES)
                return 0;
            continue;
        }
        if (actions->path_exists(actions->context, check_path))
            return 1;
    }
}

// The `change` statement up to the copy statement that must follow it;
// returns the bytes consumed, or -1 when the install is to stop.
static int run_change(const char *text, const FileListActions *actions)
{
    InstallState &s = install_state;
    char disk_name[PATH_CAPACITY];
    char check_file[PATH_CAPACITY];
    int pos = expect_keyword(text, "change");
    pos += skip_blank(text + pos);
    pos += read_quoted(text + pos, disk_name, sizeof disk_name);
    pos += expect_comma(text + pos);
    pos += read_quoted(text + pos, check_file, sizeof check_file);

    if (!is_ascii_letter(s.source_dir[0]) || s.source_dir[1] != ':' || s.source_dir[2] != '\\')
        fatal_error(Msg::no_drive_letter);
    char drive = s.source_dir[0];
    char check_path[PATH_CAPACITY];
    format_must_fit(check_path, sizeof check_path, Msg::check_file_path_name, "%c:\\%s", drive, check_file);
    s.source_dir[3] = '\0';
    actions->close_streams(actions->context);

    char prompt[PATH_CAPACITY + 100];
    format_must_fit(prompt, sizeof prompt, Msg::disc_name_name, text_of(Msg::disc_prompt),
                    upper_ascii(drive), disk_name);
    if (!ask_for_disk(actions, prompt, check_path))
        return -1;
    return pos;
}

// One copy statement; returns the bytes consumed and sets *copied.
static int run_copy(const char *text, const FileListActions *actions, int *copied)
{
    InstallState &s = install_state;
    char source[PATH_CAPACITY];
    char target[PATH_CAPACITY];
    actions->places->copy_source = token_at(text);
    int pos = read_quoted(text, source, sizeof source);
    pos += expect_arrow(text + pos);
    actions->places->copy_target = token_at(text + pos);
    pos += read_quoted(text + pos, target, sizeof target);

    char source_folder[PATH_CAPACITY];
    char target_folder[PATH_CAPACITY];
    if (source[0])
        format_must_fit(source_folder, sizeof source_folder, Msg::source_folder_path_name, "%s%s\\", s.source_dir, source);
    else
        format_must_fit(source_folder, sizeof source_folder, Msg::source_folder_path_name, "%s", s.source_dir);
    if (target[0])
        format_must_fit(target_folder, sizeof target_folder, Msg::target_folder_path_name, "%s%s\\", s.install_dir, target);
    else
        format_must_fit(target_folder, sizeof target_folder, Msg::target_folder_path_name, "%s", s.install_dir);
    *copied = actions->copy_folder(actions->context, target_folder, source_folder) != 0;
    return pos;
}

int interpret_file_list(const char *text, const FileListActions *actions)
{
    ScriptCursor pos = 0;
    int filled = 0;
    clear_shortcut_slots();
    *actions->places = FileListPlaces{};
    pos += run_header(text, actions);
    for (;;) {
        pos += skip_blank(text + pos);
        char first = text[pos];
        if (first == 's') {
            pos += run_shortcut(text + pos, &filled, actions);
            continue;
        }
        if (first == 'c') {
            int consumed = run_change(text + pos, actions);
            if (consumed < 0)
                return 0;
            pos += consumed;    // the copy statement is mandatory: no look at the byte
        } else if (first != '"') {
            return 1;
        }
        int copied;
        pos += run_copy(text + pos, actions, &copied);
        if (!copied)
            return 0;
    }
}
