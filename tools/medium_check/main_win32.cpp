// The wide entry point (linked with -municode), so the run-time library reads
// no command line in the system's code page. The arguments are split as
// CommandLineToArgvW splits the wide command line.
#include <stdlib.h>
#include <windows.h>

#include <shellapi.h>

#include "boundary/wide_text.h"
#include "main.h"

int wmain(int, wchar_t **)
{
    int count = 0;
    wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    int held = wide != NULL;
    for (int i = 1; i < count && held; i++) {
        char *text = cp932_copy(wide[i]);
        held = text != NULL;
        arguments.push_back(held ? text : "");
        free(text);
    }
    LocalFree(wide);
    return medium_check_main(held, arguments);
}
