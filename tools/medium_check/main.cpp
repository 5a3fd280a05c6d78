// medium-check [--json] MEDIUM_DIR [DISC_DIR...]: exit code 0 clean,
// 1 warnings only, 2 errors (or a wrong command line).
#include <stdio.h>
#include <string.h>

#include "main.h"
#include "medium_check.h"
#include "medium_files.h"

int medium_check_main(int held, const std::vector<std::string> &arguments)
{
    if (!held) {
        fputs("medium-check: a path on the command line has a character code page 932 cannot hold\n", stderr);
        return 2;
    }
    int json = 0;
    const char *medium = nullptr;
    std::vector<std::string> other_discs;
    for (const std::string &argument : arguments) {
        if (argument == "--json")
            json = 1;
        else if (!medium)
            medium = argument.c_str();
        else
            other_discs.push_back(argument);
    }
    if (!medium || !*medium) {
        fputs("usage: medium-check [--json] MEDIUM_DIR [DISC_DIR...]\n", stderr);
        return 2;
    }
    prepare_utf8_output();
    std::vector<Finding> findings;
    std::string not_folder;
    if (!check_medium(medium, other_discs, &findings, &not_folder)) {
        fprintf(stderr, "medium-check: %s is not a folder\n", not_folder.c_str());
        return 2;
    }
    std::string report = json ? report_json(findings) : report_text(findings);
    fwrite(report.data(), 1, report.size(), stdout);
    fflush(stdout);
    return report_exit_code(findings);
}
