// filelist0.txt...filelist9.txt: each list the options dialog offers, run as
// the installer runs it, with its copies, disk changes and shortcuts checked
// against the medium instead of carried out.
#include <string.h>

#include <algorithm>
#include <string>

#include "checker.h"
#include "install/path_scan.h"
#include "script/tokenizer.h"
#include "state/format_fits.h"
#include "state/install_state.h"
#include "text/checker_texts.h"

enum { MEBIBYTE = 1048576 };

// The installer's own message when `folder` + `name` is too long; "" if not.
static std::string path_refusal(Checker &c, Msg what, const char *folder, const char *name)
{
    char path[PATH_CAPACITY];
    return run_guarded(c, [&] { format_must_fit(path, sizeof path, what, "%s%s", folder, name); })
               ? std::string() : c.fatal.message;
}

// The folder of this machine and the relative path that a path of the
// installer's ('D:\setup\game\') names.
static int local_place(const Checker &c, const char *path, std::string *base, std::string *relative)
{
    const std::string &program = c.program_folder;
    if (c.disc == 0 && strncmp(path, program.c_str(), program.size()) == 0) {
        *base = c.medium;
        *relative = path + program.size();
        return 1;
    }
    if (strncmp(path, program.c_str(), 3) == 0) {
        *base = c.root;
        *relative = path + 3;
        return 1;
    }
    return 0;
}

static int check_copy(void *context, const char *target_folder, const char *source_folder)
{
    Checker &c = *static_cast<Checker *>(context);
    const char *source_at = c.places.copy_source;
    const char *target_at = c.places.copy_target;
    std::string base, relative;
    EntryKind kind = local_place(c, source_folder, &base, &relative)
                         ? medium_entry(base, relative, nullptr) : ENTRY_NONE;
    if (kind == ENTRY_NONE) {
        add_at(c, 1, source_at, "source-missing", format(text_of(Msg::source_folder_missing), source_folder));
        return 1;
    }
    if (kind == ENTRY_FILE) {
        add_at(c, 0, source_at, "source-missing", format(text_of(CheckerText::source_is_file), source_folder));
        return 1;
    }
    const char *target = target_folder + strlen(install_state.install_dir);
    if (!stays_inside(target, cp932_lead_byte))
        add_at(c, 1, target_at, "target-outside",
               format(text_of(CheckerText::target_outside), (int)strlen(target) - 1, target));
    medium_list(base, relative, &c.entries);
    int files = 0;
    int subfolder = 0;
    std::string target_refusal, source_refusal;
    for (const FolderEntry &entry : c.entries) {
        if (entry.folder) {
            subfolder = 1;
            continue;
        }
        files++;
        if (target_refusal.empty())
            target_refusal = path_refusal(c, Msg::target_file_path_name, target_folder, entry.name.c_str());
        if (source_refusal.empty())
            source_refusal = path_refusal(c, Msg::source_file_path_name, source_folder, entry.name.c_str());
        c.produced.push_back(folded(target + entry.name));
        c.copied_bytes += entry.size;
    }
    if (subfolder)
        add_at(c, 1, source_at, "source-subfolder", text_of(Msg::source_subfolder));
    if (files > COPY_FILE_NAMES_MAX)
        add_at(c, 1, source_at, "source-too-many", text_of(Msg::source_too_many));
    if (!target_refusal.empty())
        add_at(c, 1, target_at, "too-long", target_refusal);
    if (!source_refusal.empty())
        add_at(c, 1, source_at, "too-long", source_refusal);
    return 1;
}

// Disk prompts are answered at once: the check is of the medium, not of a user.
static int answer_prompt(void *, const char *, const char *, int buttons)
{
    return buttons == ASK_OK_CANCEL ? ANSWER_OK : ANSWER_NO;
}

// The prompt is answered by the disc in the drive when it holds the check
// file, else by the first other disc that does, which stays in the drive.
static int check_disk_file(void *context, const char *path)
{
    Checker &c = *static_cast<Checker *>(context);
    std::string base, relative;
    if (local_place(c, path, &base, &relative) && medium_entry(base, relative, nullptr) != ENTRY_NONE)
        return 1;
    for (size_t disc = 0; disc < c.discs.size(); disc++) {
        if (disc != c.disc && medium_entry(c.discs[disc], path + 3, nullptr) != ENTRY_NONE) {
            c.disc = disc;
            c.root = c.discs[disc];
            return 1;
        }
    }
    add_at(c, 0, last_token(c), "check-file-missing", format(text_of(CheckerText::check_file_missing), path));
    return 1;
}

static void close_no_streams(void *) {}

static int produced(const Checker &c, const char *relative_path)
{
    const std::vector<std::string> &all = c.produced;
    return std::find(all.begin(), all.end(), folded(relative_path)) != all.end();
}

// What the list left behind once it ran to its end: the program and the
// shortcut targets, the size, and text after the statement that ended it.
static void check_list_result(Checker &c, int n)
{
    InstallState &s = install_state;
    const FileListPlaces &places = c.places;
    const char *program = s.exe_path + strlen(s.install_dir);
    if (!produced(c, program))
        add_at(c, 0, places.program, "target-not-copied", format(text_of(CheckerText::program_not_copied), program));
    for (int slot = 0; slot < SHORTCUT_SLOTS && places.shortcut_targets[slot]; slot++) {
        if (!stays_inside(s.shortcut_names[slot], cp932_lead_byte))
            add_at(c, 1, places.shortcut_names[slot], "target-outside",
                   format(text_of(CheckerText::shortcut_name_outside), s.shortcut_names[slot]));
        if (!stays_inside(s.shortcut_targets[slot], cp932_lead_byte))
            add_at(c, 1, places.shortcut_targets[slot], "target-outside",
                   format(text_of(CheckerText::shortcut_target_outside), s.shortcut_targets[slot]));
        if (s.shortcut_names[slot][0] && !produced(c, s.shortcut_targets[slot]))
            add_at(c, 0, places.shortcut_targets[slot], "target-not-copied",
                   format(text_of(CheckerText::shortcut_target_not_copied), s.shortcut_targets[slot]));
    }
    int megabytes = c.header.megabytes;
    unsigned long long needed = (c.copied_bytes + MEBIBYTE - 1) / MEBIBYTE;
    if (megabytes < 0 || (unsigned long long)megabytes != needed)
        add_at(c, 0, places.size, "size-mismatch", format(text_of(CheckerText::size_mismatch), n, megabytes, needed));
    const char *closing = strchr(last_token(c) + 1, '"');
    if (closing) {
        const char *rest = closing + 1 + skip_blank(closing + 1);
        if (*rest)
            add_at(c, 0, rest, "list-end", text_of(CheckerText::list_end));
    }
}

static std::string list_name(int n)
{
    return format("filelist%d.txt", n);
}

static void check_list(Checker &c, int n)
{
    InstallState &s = install_state;
    std::string name = list_name(n);
    if (!load_control_file(c, name.c_str(), FileListText))
        return;
    c.tokens.clear();
    if (!run_guarded(c, [&c] { read_option_header(FileListText, &c.header); })) {
        add_fatal_at(c, last_token(c));
        return;
    }
    char item[PATH_CAPACITY];
    if (!compose_option_item(&c.header, item, sizeof item))
        add_at(c, 1, c.header.name_at, "too-long", format(text_of(Msg::option_name_too_long), n));

    char install_dir[PATH_CAPACITY];
    memcpy(install_dir, s.install_dir, sizeof install_dir);
    format_fits(s.source_dir, sizeof s.source_dir, "%s", c.program_folder.c_str());
    c.tokens.clear();
    c.produced.clear();
    c.copied_bytes = 0;
    c.disc = 0;
    c.root = c.discs[0];
    int ended = 0;
    FileListActions actions = {&c, check_copy, answer_prompt, check_disk_file, close_no_streams, &c.places};
    if (!run_guarded(c, [&] { ended = interpret_file_list(FileListText, &actions); })) {
        const char *at = last_token(c);
        // A source folder too long is the copy statement's, whatever token was read last.
        if (c.fatal.kind == Msg::source_folder_path_name && c.places.copy_source)
            at = c.places.copy_source;
        add_fatal_at(c, at);
    } else if (ended) {
        check_list_result(c, n);
    }
    memcpy(s.install_dir, install_dir, sizeof install_dir);
}

// The options dialog offers the lists up to the first number missing.
void check_lists(Checker &c)
{
    int first_missing = OPTION_COUNT;
    for (int n = 0; n < OPTION_COUNT; n++) {
        if (medium_entry(c.medium, list_name(n), nullptr) == ENTRY_FILE)
            continue;
        if (first_missing == OPTION_COUNT)
            first_missing = n;
    }
    if (first_missing == 0)
        add_finding(c, 1, "filelist0.txt", 0, 0, "missing-file", text_of(Msg::filelist0_missing));
    for (int n = 0; n < first_missing; n++)
        check_list(c, n);
    for (int n = first_missing + 1; n < OPTION_COUNT; n++) {
        std::string name = list_name(n);
        if (medium_entry(c.medium, name, nullptr) == ENTRY_FILE)
            add_finding(c, 0, name, 0, 0, "list-gap", format(text_of(CheckerText::list_gap), first_missing, name.c_str()));
    }
}
