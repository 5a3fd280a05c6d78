#include "publisher_slips.h"

#include "name_rules.h"
#include "program_image.h"

enum { PROGRAM_BYTES_READ = 64 * 1048576 };   // far beyond the installer; a bound for a stray file

static const char DXSETUP[] = "DirectX\\dxsetup.exe";

void check_saved_as(Checker &c, size_t length)
{
    long at = utf8_saved_at(std::string(c.text, length));
    if (at >= 0)
        add_at(c, 1, c.text + at, "encoding", text_of(CheckerText::saved_as_utf8));
}

void check_comment_text(Checker &c, const std::string &bytes)
{
    c.text = bytes.c_str();
    c.file = "comment.txt";
    check_saved_as(c, bytes.size());
    long at = bare_line_feed_at(bytes);
    if (at >= 0)
        add_at(c, 0, c.text + at, "line-ends", text_of(CheckerText::line_feeds_alone));
}

void check_program(Checker &c)
{
    static const char name[] = "installer.exe";
    if (medium_entry(c.medium, name, nullptr) != ENTRY_FILE) {
        add_finding(c, 1, name, 0, 0, "program-missing", text_of(CheckerText::program_missing));
        return;
    }
    std::string bytes;
    int more = 0;
    medium_read(c.medium, name, 0, PROGRAM_BYTES_READ, &bytes, &more);
    static const CheckerText reasons[] = {CheckerText::count, CheckerText::program_not_windows,
                                          CheckerText::program_other_machine, CheckerText::program_console,
                                          CheckerText::program_other_gui};
    ProgramVerdict verdict = program_verdict(bytes);
    if (verdict != PROGRAM_INSTALLER)
        add_finding(c, 0, name, 0, 0, "program-kind",
                    format(text_of(CheckerText::program_kind), text_of(reasons[verdict])));
}

void check_name_value(Checker &c, const char *what, const char *value, const char *at,
                      CheckerText consequence)
{
    long refused = file_name_refused_at(value);
    if (refused >= 0 && at)
        add_at(c, 1, at + 1 + refused, "name-character",
               format(text_of(CheckerText::name_character), what, value[refused], text_of(consequence)));
}

void check_check_file_name(Checker &c, const char *check_path)
{
    const char *check_file = check_path + 3;       // after the drive's 'D:\'
    c.last_change = last_token(c);
    if (generic_check_file(check_file))
        add_at(c, 0, c.last_change, "check-file-generic", format(text_of(CheckerText::check_file_generic), check_file));
}

void check_directx_placement(Checker &c, int n)
{
    int anywhere = 0;
    for (const std::string &disc : c.discs)
        anywhere |= medium_entry(disc, DXSETUP, nullptr) == ENTRY_FILE;
    if (!anywhere || medium_entry(c.discs[c.disc], DXSETUP, nullptr) == ENTRY_FILE)
        return;
    const char *line = c.last_change;
    while (line && line > c.text && line[-1] != '\n')
        line--;
    add_at(c, 0, line, "directx-placement",
           format(text_of(CheckerText::directx_placement), c.header.name, n, (int)c.disc + 1));
}
