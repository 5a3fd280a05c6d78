#include "medium_check.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "image_names.h"
#include "install/file_list_script.h"
#include "install/install_rules.h"
#include "install/path_scan.h"
#include "launcher/dib_layout.h"
#include "medium_files.h"
#include "script/fatal.h"
#include "script/settings.h"
#include "script/tokenizer.h"
#include "state/format_fits.h"
#include "state/install_state.h"

enum { MEBIBYTE = 1048576 };

// ---- the installer's fatal errors, caught ----

// Where the installer would end with a message, the checker's fatal_error
// throws it instead; each step catches it, so every object on the way is
// destroyed as usual.
struct FatalStop {
    std::string message;
};

static std::string fatal_message;

void fatal_error(const char *message)
{
    throw FatalStop{message};
}

void show_unowned_message(const char *, const char *) {}

// 1 when `step` ran to its end; 0 when it raised a fatal error, whose text is
// then in fatal_message.
template <typename Step>
static int run_guarded(Step step)
{
    try {
        step();
        return 1;
    } catch (const FatalStop &stop) {
        fatal_message = stop.message;
        return 0;
    }
}

// ---- the checker's record ----

struct ValueRange {
    const char *open;             // opening and closing quote of a statement's value
    const char *close;
};

struct Checker {
    std::string medium;           // the program's folder, in this machine's terms
    std::vector<std::string> discs;     // every disc's root, the program's disc first
    size_t disc;                  // the disc in the drive
    std::string root;             // the drive root: the root of that disc
    std::string program_folder;   // the program's folder as the installer names it
    std::vector<Finding> *findings;
    std::vector<const char *> tokens;   // every token the readers looked at, in order
    const char *text;             // the control file being read
    std::string file;
    std::vector<FolderEntry> entries;
    std::vector<std::string> produced;  // files a list copies, relative to the install folder
    unsigned long long copied_bytes;
    OptionHeader header;
    FileListPlaces places;
};

static Checker *checker;
static char scratch[SCRIPT_TEXT_BYTES + 1];   // a word or value of any length

static void remember_token(const char *at)
{
    checker->tokens.push_back(at);
}

static std::string format(const char *pattern, ...) __attribute__((format(printf, 1, 2)));
static std::string format(const char *pattern, ...)
{
    char text[2048];                // findings are far shorter
    va_list arguments;
    va_start(arguments, pattern);
    vformat_fits(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

static void position_of(const char *text, const char *at, int *line, int *column)
{
    *line = 1;
    *column = 1;
    const char *p = text;
    while (p < at && *p) {
        if (*p == '\n') {
            ++*line;
            *column = 1;
            p++;
            continue;
        }
        p += (cp932_lead_byte((unsigned char)*p) && p[1] && p + 1 < at) ? 2 : 1;
        ++*column;
    }
}

static void add_finding(int error, const std::string &file, int line, int column,
                        const char *kind, const std::string &message)
{
    checker->findings->push_back(Finding{error, file, line, column, kind, message});
}

// A finding at `at` in the control file being read; null: the whole file.
static void add_at(int error, const char *at, const char *kind, const std::string &message)
{
    int line = 0;
    int column = 0;
    if (at)
        position_of(checker->text, at, &line, &column);
    add_finding(error, checker->file, line, column, kind, message);
}

static const char *last_token(void)
{
    return checker->tokens.empty() ? nullptr : checker->tokens.back();
}

static int names_a_list_path(const std::string &message)
{
    for (const char *what : {"ゲームプログラムのパス\"", "コピー先フォルダ\"", "ショートカット名\"", "ショートカットの対象\""})
        if (message.compare(0, strlen(what), what) == 0)
            return 1;
    return 0;
}

static const char *kind_of(const std::string &message)
{
    if (message == "ショートカットは５つまでしか作れません。")
        return "too-many-shortcuts";
    if (message.find("シフトJISとして読めないバイト") != std::string::npos)
        return "invalid-byte";
    if (message.find("アンインストールで削除できるパスを作れません") != std::string::npos)
        return names_a_list_path(message) ? "target-outside" : "not-plain";
    return message.find("が長すぎます") != std::string::npos ? "too-long" : "syntax";
}

static void add_fatal_at(const char *at)
{
    add_at(1, at, kind_of(fatal_message), fatal_message);
}

// ASCII letters folded, as the file system compares names.
static std::string folded(const std::string &path)
{
    std::string out = path;
    for (size_t i = 0; i < out.size(); i++) {
        if (cp932_lead_byte((unsigned char)out[i]) && i + 1 < out.size()) {
            i++;
            continue;
        }
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = (char)(out[i] - 'A' + 'a');
    }
    return out;
}

// Reads a control file into `buffer` (SCRIPT_TEXT_BYTES and a zero) as the
// program does; 0 when it does not open.
static int load_control_file(const char *name, char *buffer)
{
    std::string bytes;
    int more = 0;
    memset(buffer, 0, SCRIPT_TEXT_BYTES + 1);
    if (!medium_read(checker->medium, name, 1, SCRIPT_TEXT_BYTES, &bytes, &more))
        return 0;
    memcpy(buffer, bytes.data(), bytes.size());
    checker->text = buffer;
    checker->file = name;
    set_script_file(name);
    if (more)
        add_at(0, buffer + bytes.size(), "truncated",
               format("%sは先頭の%dバイトだけが読まれます。", name, (int)SCRIPT_TEXT_BYTES));
    return 1;
}

// ---- install.txt ----

// Where the quoted values lie when the file is read as its writer means it:
// keyword, value, keyword, value... The walk ends where that reading ends.
static void walk_statements(const char *text, std::vector<ValueRange> *ranges)
{
    ScriptCursor pos = skip_blank(text);
    while (text[pos] != '\0') {
        int start;
        if (word_length(text + pos, &start) == 0)
            return;
        pos += read_word(text + pos, scratch, sizeof scratch);
        ScriptCursor open = pos + skip_blank(text + pos);
        pos += read_quoted(text + pos, scratch, sizeof scratch);
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
static int check_setting(const char *keyword, char *value, int size, const char *missing,
                         const std::vector<ValueRange> &ranges, const char **value_at)
{
    int found = 0;
    checker->tokens.clear();
    int ran = run_guarded([&] { found = find_setting(keyword, value, size); });
    const char *at = last_token();
    const ValueRange *inside = at ? range_holding(ranges, at) : nullptr;
    const char *text = checker->text;
    if (!ran) {
        if (inside && strcmp(kind_of(fatal_message), "invalid-byte") != 0)
            add_at(1, keyword_before(at, keyword, text), "keyword-in-value", fatal_message);
        else
            add_fatal_at(at);
        return 0;
    }
    if (!found) {
        if (missing)
            add_at(1, text + strlen(text), "missing-keyword", missing);
        return 0;
    }
    if (inside)
        add_at(0, keyword_before(at, keyword, text), "keyword-in-value",
               format("%s文の値が、前の文字列の中にある単語%sの後から読まれます。", keyword, keyword));
    *value_at = at;
    return 1;
}

// The rule the installer holds every path it makes to, run on `path`; a
// finding at `at` when it fails.
static int check_plain(const char *path, const char *what, const char *value, const char *at)
{
    if (run_guarded([&] { require_plain_path(path, what, value); }))
        return 1;
    add_at(1, at, kind_of(fatal_message), fatal_message);
    return 0;
}

// The Start-menu paths as the installer judges them before it makes
// anything; a finding at the value named in the message.
static void check_start_menu(const std::vector<std::pair<const char *, const char *>> &places)
{
    StartMenuPaths paths;
    if (run_guarded([&] { compose_start_menu(STAND_IN_PROGRAMS_FOLDER, &paths); }))
        return;
    for (const auto &place : places)
        if (fatal_message.compare(0, strlen(place.first), place.first) == 0) {
            add_at(1, place.second, kind_of(fatal_message), fatal_message);
            return;
        }
}

// The lookups of the launcher window, then the names the installer builds
// from them. Leaves install_dir at the default install folder (a stand-in
// when the settings give none, so the lists are judged all the same).
static void check_settings(void)
{
    InstallState &s = install_state;
    format_fits(s.install_dir, sizeof s.install_dir, "%s", "C:\\Program Files\\Title\\");
    checker->file = "install.txt";
    checker->text = SettingsText;
    if (!load_control_file("install.txt", SettingsText)) {
        add_finding(1, "install.txt", 0, 0, "missing-file", "install.txtが開けませんでした。");
        return;
    }
    std::vector<ValueRange> ranges;
    script_token_seen = nullptr;
    run_guarded([&] { walk_statements(SettingsText, &ranges); });
    script_token_seen = remember_token;

    const char *caption_at = nullptr, *maker_at = nullptr, *message_at = nullptr;
    const char *title_at = nullptr, *bland_at = nullptr;
    static const char title_missing[] = "title文もしくはbland文が見つかりません。";
    int caption = check_setting("caption", s.caption, sizeof s.caption, "caption文が見つかりません。", ranges,
                                &caption_at);
    int maker = check_setting("maker", s.maker, sizeof s.maker, "maker文が見つかりません。", ranges, &maker_at);
    check_setting("execmessage", s.execmessage, sizeof s.execmessage, nullptr, ranges, &message_at);
    int title = check_setting("title", s.title, sizeof s.title, title_missing, ranges, &title_at);
    int bland = check_setting("bland", s.bland, sizeof s.bland, title ? title_missing : nullptr,
                              ranges, &bland_at);
    if (!title || !bland)
        return;

    if (!compose_record_keys(s.bland, s.title, s.brand_key, s.product_key, sizeof s.product_key))
        add_at(1, bland_at, "too-long", "bland文とtitle文が長すぎてレジストリのキーを作れません。");
    char folder[PATH_CAPACITY];
    if (!compose_default_folder("C:\\WINDOWS", s.bland, folder, sizeof folder)) {
        add_at(1, bland_at, "too-long", "インストール先のフォルダ名が長すぎます。ブランド名を短くしてください。");
        return;
    }
    if (!check_plain(folder, "bland文の値", s.bland, bland_at))
        return;
    char install_folder[PATH_CAPACITY];
    char log_path[PATH_CAPACITY];
    if (!compose_install_folder(folder, s.title, install_folder, log_path, sizeof log_path)) {
        add_at(0, title_at, "too-long", "インストール先のフォルダ名が長すぎます。短い名前のフォルダを選んでください。");
        return;
    }
    if (!check_plain(install_folder, "title文の値", s.title, title_at))
        return;
    memcpy(s.install_dir, install_folder, sizeof install_folder);
    // The Start menu is made of values that were read; one that was not is reported already.
    clear_shortcut_slots();
    if (caption && maker)
        check_start_menu({{"maker文の値", maker_at}, {"caption文の値", caption_at}, {"title文の値", title_at}});
}

// ---- comment.txt and installer.bmp ----

static void check_comment(void)
{
    std::string bytes;
    int more = 0;
    if (!medium_read(checker->medium, "comment.txt", 0, COMMENT_BYTES, &bytes, &more) || !more)
        return;
    checker->text = bytes.c_str();
    checker->file = "comment.txt";
    add_at(0, bytes.c_str() + bytes.size(), "comment-too-long",
           "comment.txtが50,000バイトを超えています。ここから後は表示されません。");
}

static std::string bitmap_refusal(const DibHeaderFields &fields, DibRefusal refusal)
{
    switch (refusal) {
    case DIB_SHORT_HEADER:
        return "installer.bmpが54バイトより短く、絵として読めません。";
    case DIB_BAD_INFO_SIZE:
        return format("installer.bmpの情報ヘッダの大きさ%uバイトは読めません。40から124バイトまでです。",
                      fields.info_size);
    case DIB_COMPRESSED:
        return "installer.bmpは圧縮されています。圧縮していないBMPだけが表示されます。";
    case DIB_BAD_BIT_COUNT:
        return format("installer.bmpの%dビットの色は読めません。1、4、8、16、24、32ビットだけが表示されます。",
                      fields.bit_count);
    default:
        return format("installer.bmpの大きさ%d×%dは読めません。", fields.width, fields.height);
    }
}

static void check_bitmap(void)
{
    unsigned long long size = 0;
    if (medium_entry(checker->medium, "installer.bmp", &size) != ENTRY_FILE)
        return;
    std::string bytes;
    int more = 0;
    medium_read(checker->medium, "installer.bmp", 0, BMP_HEADER_BYTES, &bytes, &more);
    DibHeaderFields fields;
    DibLayout layout;
    const char *file = "installer.bmp";
    if (!dib_layout_from_bytes((const unsigned char *)bytes.data(), (int)bytes.size(), &fields, &layout)) {
        add_finding(0, file, 0, 0, "bitmap", bitmap_refusal(fields, layout.refusal) + "絵は表示されません。");
        return;
    }
    if (fields.width != 256 || layout.rows != 256)
        add_finding(0, file, 0, 0, "bitmap",
                    format("installer.bmpの大きさが%d×%dです。256×256の絵だけがちょうど表示されます。",
                           fields.width, layout.rows));
    long long offset = fields.file_pixel_offset;
    if (offset != layout.pixel_offset)
        add_finding(0, file, 0, 0, "bitmap",
                    format("installer.bmpの画素が%lldバイト目から始まっています。色表の直後（%lldバイト目）から"
                           "始まる絵だけが正しく表示されます。", offset, layout.pixel_offset));
    else if ((long long)size < layout.pixel_offset + layout.image_size)
        add_finding(0, file, 0, 0, "bitmap",
                    format("installer.bmpの画素が足りません。%lldバイト必要ですが%lluバイトしかありません。",
                           layout.pixel_offset + layout.image_size, size));
}

// ---- file lists ----

// The installer's own message when `folder` + `name` is too long; "" if not.
static std::string path_refusal(const char *what, const char *folder, const char *name)
{
    char path[PATH_CAPACITY];
    return run_guarded([&] { format_must_fit(path, sizeof path, what, "%s%s", folder, name); })
               ? std::string() : fatal_message;
}

// The folder of this machine and the relative path that a path of the
// installer's ('D:\setup\game\') names.
static int local_place(const char *path, std::string *base, std::string *relative)
{
    const std::string &program = checker->program_folder;
    if (checker->disc == 0 && strncmp(path, program.c_str(), program.size()) == 0) {
        *base = checker->medium;
        *relative = path + program.size();
        return 1;
    }
    if (strncmp(path, program.c_str(), 3) == 0) {
        *base = checker->root;
        *relative = path + 3;
        return 1;
    }
    return 0;
}

static int check_copy(void *, const char *target_folder, const char *source_folder)
{
    const char *source_at = checker->places.copy_source;
    const char *target_at = checker->places.copy_target;
    std::string base, relative;
    EntryKind kind = local_place(source_folder, &base, &relative)
                         ? medium_entry(base, relative, nullptr) : ENTRY_NONE;
    if (kind == ENTRY_NONE) {
        add_at(1, source_at, "source-missing",
               format("コピー元フォルダ\"%s\"にアクセス出来ません。", source_folder));
        return 1;
    }
    if (kind == ENTRY_FILE) {
        add_at(0, source_at, "source-missing",
               format("コピー元\"%s\"はフォルダではありません。何もコピーされません。", source_folder));
        return 1;
    }
    const char *target = target_folder + strlen(install_state.install_dir);
    medium_list(base, relative, &checker->entries);
    int files = 0;
    int subfolder = 0;
    std::string target_refusal, source_refusal;
    for (const FolderEntry &entry : checker->entries) {
        if (entry.folder) {
            subfolder = 1;
            continue;
        }
        files++;
        if (target_refusal.empty())
            target_refusal = path_refusal("コピー先ファイルのパス", target_folder, entry.name.c_str());
        if (source_refusal.empty())
            source_refusal = path_refusal("コピー元ファイルのパス", source_folder, entry.name.c_str());
        checker->produced.push_back(folded(target + entry.name));
        checker->copied_bytes += entry.size;
    }
    if (subfolder)
        add_at(1, source_at, "source-subfolder",
               "コピー元フォルダにサブフォルダがあります。サブフォルダのコピーはサポートしていません。");
    if (files > COPY_FILE_NAMES_MAX)
        add_at(1, source_at, "source-too-many", "コピー元フォルダのファイルが多すぎます。65536個までです。");
    if (!target_refusal.empty())
        add_at(1, target_at, "too-long", target_refusal);
    if (!source_refusal.empty())
        add_at(1, source_at, "too-long", source_refusal);
    return 1;
}

// Disk prompts are answered at once: the check is of the medium, not of a user.
static int answer_prompt(void *, const char *, const char *, int buttons)
{
    return buttons == ASK_OK_CANCEL ? ANSWER_OK : ANSWER_NO;
}

// The prompt is answered by the disc in the drive when it holds the check
// file, else by the first other disc that does, which stays in the drive.
static int check_disk_file(void *, const char *path)
{
    std::string base, relative;
    if (local_place(path, &base, &relative) && medium_entry(base, relative, nullptr) != ENTRY_NONE)
        return 1;
    for (size_t disc = 0; disc < checker->discs.size(); disc++) {
        if (disc != checker->disc && medium_entry(checker->discs[disc], path + 3, nullptr) != ENTRY_NONE) {
            checker->disc = disc;
            checker->root = checker->discs[disc];
            return 1;
        }
    }
    add_at(0, last_token(), "check-file-missing",
           format("確認ファイル\"%s\"がメディアのどのフォルダにもありません。"
                  "インストーラはディスクを求め続けます。", path));
    return 1;
}

static void close_no_streams(void *) {}

static int produced(const char *relative_path)
{
    const std::vector<std::string> &all = checker->produced;
    return std::find(all.begin(), all.end(), folded(relative_path)) != all.end();
}

// What the list left behind once it ran to its end: the program and the
// shortcut targets, the size, and text after the statement that ended it.
static void check_list_result(int n)
{
    InstallState &s = install_state;
    const FileListPlaces &places = checker->places;
    const char *program = s.exe_path + strlen(s.install_dir);
    if (!produced(program))
        add_at(0, places.program, "target-not-copied",
               format("ゲームプログラム\"%s\"はどのコピー文でもコピーされません。", program));
    // The Start-menu paths, as the installer judges them before it makes
    // anything: the first slot whose name or target fails is reported.
    std::vector<std::pair<const char *, const char *>> slot_places;
    std::vector<std::string> prefixes;
    for (int slot = 0; slot < SHORTCUT_SLOTS && places.shortcut_targets[slot]; slot++) {
        prefixes.push_back(format("ショートカット名\"%s\"", s.shortcut_names[slot]));
        prefixes.push_back(format("ショートカットの対象\"%s\"", s.shortcut_targets[slot]));
    }
    for (size_t i = 0; i < prefixes.size(); i++)
        slot_places.push_back({prefixes[i].c_str(), i % 2 ? places.shortcut_targets[i / 2] : places.shortcut_names[i / 2]});
    check_start_menu(slot_places);
    for (int slot = 0; slot < SHORTCUT_SLOTS && places.shortcut_targets[slot]; slot++) {
        if (s.shortcut_names[slot][0] && !produced(s.shortcut_targets[slot]))
            add_at(0, places.shortcut_targets[slot], "target-not-copied",
                   format("ショートカットの対象\"%s\"はどのコピー文でもコピーされません。",
                          s.shortcut_targets[slot]));
    }
    int megabytes = checker->header.megabytes;
    unsigned long long needed = (checker->copied_bytes + MEBIBYTE - 1) / MEBIBYTE;
    if (megabytes < 0 || (unsigned long long)megabytes != needed)
        add_at(0, places.size, "size-mismatch",
               format("filelist%d.txtのサイズは%dMbと書かれていますが、コピーするファイルは合わせて%lluMbです。",
                      n, megabytes, needed));
    const char *closing = strchr(last_token() + 1, '"');
    if (closing) {
        const char *rest = closing + 1 + skip_blank(closing + 1);
        if (*rest)
            add_at(0, rest, "list-end", "ファイルリストはここで終わります。この後の文は読まれません。");
    }
}

static std::string list_name(int n)
{
    return format("filelist%d.txt", n);
}

static void check_list(int n)
{
    InstallState &s = install_state;
    std::string name = list_name(n);
    if (!load_control_file(name.c_str(), FileListText))
        return;
    checker->tokens.clear();
    if (!run_guarded([] { read_option_header(FileListText, &checker->header); })) {
        add_fatal_at(last_token());
        return;
    }
    char item[PATH_CAPACITY];
    if (!compose_option_item(&checker->header, item, sizeof item))
        add_at(1, checker->header.name_at, "too-long", format("filelist%d.txtのオプション名が長すぎます。", n));

    char install_dir[PATH_CAPACITY];
    memcpy(install_dir, s.install_dir, sizeof install_dir);
    format_fits(s.source_dir, sizeof s.source_dir, "%s", checker->program_folder.c_str());
    checker->tokens.clear();
    checker->produced.clear();
    checker->copied_bytes = 0;
    checker->disc = 0;
    checker->root = checker->discs[0];
    int ended = 0;
    FileListActions actions = {nullptr, check_copy, answer_prompt, check_disk_file, close_no_streams,
                               &checker->places};
    if (!run_guarded([&] { ended = interpret_file_list(FileListText, &actions); })) {
        const char *at = last_token();
        if (fatal_message.find("コピー元フォルダのパス") != std::string::npos && checker->places.copy_source)
            at = checker->places.copy_source;
        add_fatal_at(at);
    } else if (ended) {
        check_list_result(n);
    }
    memcpy(s.install_dir, install_dir, sizeof install_dir);
}

// The options dialog offers the lists up to the first number missing.
static void check_lists(void)
{
    int first_missing = OPTION_COUNT;
    for (int n = 0; n < OPTION_COUNT; n++) {
        if (medium_entry(checker->medium, list_name(n), nullptr) == ENTRY_FILE)
            continue;
        if (first_missing == OPTION_COUNT)
            first_missing = n;
    }
    if (first_missing == 0)
        add_finding(1, "filelist0.txt", 0, 0, "missing-file", "filelist0.txtがありません。");
    for (int n = 0; n < first_missing; n++)
        check_list(n);
    for (int n = first_missing + 1; n < OPTION_COUNT; n++) {
        std::string name = list_name(n);
        if (medium_entry(checker->medium, name, nullptr) == ENTRY_FILE)
            add_finding(0, name, 0, 0, "list-gap",
                        format("filelist%d.txtがないため、%sは選択肢に出ません。", first_missing, name.c_str()));
    }
}

// Files in the order they were first reported, each from its top down.
static void sort_by_place(std::vector<Finding> *findings)
{
    std::vector<std::string> order;
    for (const Finding &f : *findings)
        if (std::find(order.begin(), order.end(), f.file) == order.end())
            order.push_back(f.file);
    auto rank = [&order](const Finding &f) {
        return std::find(order.begin(), order.end(), f.file) - order.begin();
    };
    std::stable_sort(findings->begin(), findings->end(), [&rank](const Finding &a, const Finding &b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        if (a.line != b.line)
            return a.line < b.line;
        return a.column < b.column;
    });
}

int check_medium(const char *medium_dir, const std::vector<std::string> &other_discs,
                 std::vector<Finding> *findings, std::string *not_folder)
{
    Checker record;
    std::string full, name;
    if (!medium_folder_parts(medium_dir, &full, &record.root, &name)) {
        *not_folder = medium_dir;
        return 0;
    }
    record.discs.push_back(record.root);
    for (const std::string &disc : other_discs) {
        std::string disc_root, parent, disc_name;
        if (!medium_folder_parts(disc, &disc_root, &parent, &disc_name)) {
            *not_folder = disc;
            return 0;
        }
        record.discs.push_back(disc_root);
    }
    record.disc = 0;
    record.medium = full;
    record.program_folder = name.empty() ? std::string("D:\\") : "D:\\" + name + "\\";
    record.findings = findings;
    record.copied_bytes = 0;
    checker = &record;
    install_state = InstallState{};
    script_token_seen = remember_token;
    check_settings();
    check_comment();
    check_bitmap();
    check_lists();
    script_token_seen = nullptr;
    for (size_t disc = 0; disc < record.discs.size(); disc++)
        check_image_names(record.discs[disc], (int)disc + 1, findings);
    checker = nullptr;
    sort_by_place(findings);
    return 1;
}

// ---- reports ----

int report_exit_code(const std::vector<Finding> &findings)
{
    int code = 0;
    for (const Finding &finding : findings)
        code = finding.error ? 2 : (code > 1 ? code : 1);
    return code;
}

static void count(const std::vector<Finding> &findings, int *errors, int *warnings)
{
    *errors = *warnings = 0;
    for (const Finding &finding : findings)
        ++*(finding.error ? errors : warnings);
}

std::string report_text(const std::vector<Finding> &findings)
{
    std::string out;
    for (const Finding &f : findings) {
        out += cp932_to_utf8(f.file);
        if (f.line > 0)
            out += format(":%d:%d", f.line, f.column);
        out += f.error ? ": error: " : ": warning: ";
        out += cp932_to_utf8(f.message) + " [" + f.kind + "]\n";
    }
    int errors, warnings;
    count(findings, &errors, &warnings);
    out += cp932_to_utf8(format("エラー%d件、警告%d件\n", errors, warnings));
    return out;
}

static std::string json_string(const std::string &utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + (char)c;
        else if (c < 0x20)
            out += format("\\u%04x", c);
        else
            out += (char)c;
    }
    return out + "\"";
}

std::string report_json(const std::vector<Finding> &findings)
{
    int errors, warnings;
    count(findings, &errors, &warnings);
    std::string out = format("{\"errors\": %d, \"warnings\": %d, \"findings\": [", errors, warnings);
    for (size_t i = 0; i < findings.size(); i++) {
        const Finding &f = findings[i];
        out += i ? ",\n  " : "\n  ";
        out += format("{\"severity\": \"%s\", \"file\": ", f.error ? "error" : "warning");
        out += json_string(cp932_to_utf8(f.file));
        out += format(", \"line\": %d, \"column\": %d, \"kind\": \"%s\", \"message\": ", f.line, f.column,
                      f.kind.c_str());
        out += json_string(cp932_to_utf8(f.message)) + "}";
    }
    out += findings.empty() ? "]}\n" : "\n]}\n";
    return out;
}
