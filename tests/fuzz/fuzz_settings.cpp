// install.txt lookups over an arbitrary SettingsText, for every keyword the
// launcher asks for and into destinations of their real sizes.
#include <stdint.h>
#include <string.h>

#include "fuzz/fuzz_support.h"
#include "script/settings.h"
#include "state/install_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > SCRIPT_TEXT_BYTES)
        size = SCRIPT_TEXT_BYTES;
    memcpy(SettingsText, data, size);
    SettingsText[size] = '\0';
    InstallState &s = install_state;
    struct { const char *keyword; char *value; int size; } lookups[] = {
        {"caption", s.caption, sizeof s.caption},
        {"maker", s.maker, sizeof s.maker},
        {"execmessage", s.execmessage, sizeof s.execmessage},
        {"title", s.title, sizeof s.title},
        {"bland", s.bland, sizeof s.bland},
    };
    for (auto &lookup : lookups) {
        if (setjmp(fuzz_fatal_return))
            continue;
        if (find_setting(lookup.keyword, lookup.value, lookup.size)
            && strlen(lookup.value) >= (size_t)lookup.size)
            __builtin_trap();
    }
    return 0;
}
