// Entry of every Win32 test program. The texts under test are code page 932
// bytes: a run under any other ANSI code page would test nothing real.
#include <stdio.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "support/test_bounds.h"

int main(int argc, char **argv)
{
    UINT acp = GetACP();
    if (acp != 932) {
        fprintf(stderr, "GetACP() is %u, not 932: run under LC_ALL=ja_JP.UTF-8\n", acp);
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    testing::GTEST_FLAG(death_test_style) = "threadsafe";
    install_test_bounds();
    return RUN_ALL_TESTS();
}
