// The record of one check and the helpers every step shares; check_medium
// runs the steps in their order.
#include "medium_check.h"

#include <stdarg.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "checker.h"
#include "image_names.h"
#include "install/path_scan.h"
#include "script/fatal.h"
#include "script/tokenizer.h"
#include "state/format_fits.h"
#include "state/install_state.h"
#include "text/checker_texts.h"

// ---- the installer's fatal errors, caught ----

void fatal_error(Msg kind, const char *text)
{
    throw FatalStop{kind, text};
}

void show_unowned_message(const char *, const char *) {}

// The finding's kind for a fatal error the readers raise: a value or path
// too long is raised with the kind of its name.
static const char *finding_kind(Msg kind)
{
    if (kind == Msg::too_many_shortcuts)
        return "too-many-shortcuts";
    return message(kind).group == MsgGroup::name ? "too-long" : "syntax";
}

// ---- helpers ----

static void remember_token(void *context, const char *at)
{
    static_cast<Checker *>(context)->tokens.push_back(at);
}

std::string format(const char *pattern, ...)
{
    char text[2048];
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

void add_finding(Checker &c, int error, const std::string &file, int line, int column,
                 const char *kind, const std::string &message)
{
    c.findings->push_back(Finding{error, file, line, column, kind, message});
}

void add_at(Checker &c, int error, const char *at, const char *kind, const std::string &message)
{
    int line = 0;
    int column = 0;
    if (at)
        position_of(c.text, at, &line, &column);
    add_finding(c, error, c.file, line, column, kind, message);
}

const char *last_token(const Checker &c)
{
    return c.tokens.empty() ? nullptr : c.tokens.back();
}

void add_fatal_at(Checker &c, const char *at)
{
    add_at(c, 1, at, finding_kind(c.fatal.kind), c.fatal.message);
}

std::string folded(const std::string &path)
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

int load_control_file(Checker &c, const char *name, char *buffer)
{
    std::string bytes;
    int more = 0;
    memset(buffer, 0, SCRIPT_TEXT_BYTES + 1);
    if (!medium_read(c.medium, name, 1, SCRIPT_TEXT_BYTES, &bytes, &more))
        return 0;
    memcpy(buffer, bytes.data(), bytes.size());
    c.text = buffer;
    c.file = name;
    if (more)
        add_at(c, 0, buffer + bytes.size(), "truncated",
               format(text_of(CheckerText::truncated), name, (int)SCRIPT_TEXT_BYTES));
    return 1;
}

// ---- the check ----

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
    install_state = InstallState{};
    script_token_watch = ScriptTokenWatch{remember_token, &record};
    check_settings(record);
    check_comment(record);
    check_bitmap(record);
    check_lists(record);
    script_token_watch = ScriptTokenWatch{};
    for (size_t disc = 0; disc < record.discs.size(); disc++)
        check_image_names(record.discs[disc], (int)disc + 1, findings);
    sort_by_place(findings);
    return 1;
}
