// The report of a check: text lines and a summary, or JSON, both UTF-8.
#include <string>
#include <vector>

#include "checker.h"
#include "text/checker_texts.h"

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
    out += cp932_to_utf8(format(text_of(CheckerText::summary), errors, warnings));
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
