// The shared size-word reader in the Windows build: long is 32 bits there in
// both generations, so the platform's strtol is what the program always
// used, and the reader agrees with it word for word.
#include <stdlib.h>

#include <gtest/gtest.h>

#include "core/install_rules.h"
#include "size_word_cases.h"

namespace {

TEST(SizeWordOnWindows, AgreesWithThePlatformsStrtol)
{
    for (const SizeWordCase &c : SIZE_WORD_CASES) {
        EXPECT_EQ(c.megabytes, size_word_megabytes(c.word)) << c.word;
        EXPECT_EQ((int)strtol(c.word, NULL, 10), size_word_megabytes(c.word)) << c.word;
    }
}

}  // namespace
