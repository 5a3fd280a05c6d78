// Entry of every Win32 test program. The suite runs under the two locales
// it knows, with the same expectations: the ANSI code page must be the one
// of the locale asked for (932 for ja_JP, 1252 for en_US), or the prefix was
// made under another and the run would test something else.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_bounds.h"

int main(int argc, char **argv)
{
    const char *locale = getenv("LC_ALL");
    UINT expected = 0;
    if (locale && strncmp(locale, "ja_JP", 5) == 0)
        expected = 932;
    else if (locale && strncmp(locale, "en_US", 5) == 0)
        expected = 1252;
    UINT acp = GetACP();
    if (acp != expected) {
        fprintf(stderr, "GetACP() is %u under LC_ALL=%s: run under ja_JP.UTF-8 (932) or en_US.UTF-8 (1252)\n",
                acp, locale ? locale : "");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    install_test_bounds();
    return RUN_ALL_TESTS();
}
