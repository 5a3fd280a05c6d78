// The native tests' host helpers: a command run to its end (medium-check
// above all) with what it printed and its exit code; text converted between
// encodings with iconv.
#pragma once

#include <iconv.h>
#include <stdio.h>
#include <sys/wait.h>

#include <string>

struct CheckerRun {
    std::string out;
    int code;
};

inline CheckerRun run_command(const std::string &command)
{
    CheckerRun run = {"", -1};
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

inline CheckerRun run_checker(const std::string &arguments)
{
    return run_command(std::string(MEDIUM_CHECK_PROGRAM) + " " + arguments);
}

inline std::string to_utf8(const std::string &text, const char *from)
{
    iconv_t cd = iconv_open("UTF-8", from);
    std::string out(text.size() * 3, '\0');
    char *in = const_cast<char *>(text.data());
    char *to = &out[0];
    size_t in_left = text.size(), out_left = out.size();
    iconv(cd, &in, &in_left, &to, &out_left);
    iconv_close(cd);
    out.resize(out.size() - out_left);
    return out;
}
