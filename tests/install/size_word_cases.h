// Size words and the numbers the shipping 32-bit program has always shown
// for them (atoi's rules with a 32-bit long).
#pragma once

struct SizeWordCase {
    const char *word;
    int megabytes;
};

const SizeWordCase SIZE_WORD_CASES[] = {
    {"650", 650},          {"650MB", 650},        {"abc", 0},            {"", 0},
    {"12abc", 12},         {"-1", -1},            {"+7", 7},             {"\r\v\f 42", 42},
    {"-", 0},              {"+-5", 0},            {"0x10", 0},           {"007", 7},
    {"2147483647", 2147483647},                   {"2147483648", 2147483647},
    {"99999999999999999999", 2147483647},         {"-2147483648", -2147483647 - 1},
    {"-2147483649", -2147483647 - 1},
};
