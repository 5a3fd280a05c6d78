// The line printed for every message box seen by a test (the Win32 robot) or
// raised by the native stand-ins: caption and text as hex, so that a death
// test matches the exact bytes whatever regex engine GoogleTest uses.
#pragma once

#include <stdio.h>

#include <string>

inline std::string hex_of(const std::string &bytes)
{
    std::string out;
    char pair[3];
    for (unsigned char c : bytes) {
        snprintf(pair, sizeof pair, "%02X", c);
        out += pair;
    }
    return out;
}

inline std::string box_line_pattern(const std::string &caption, const std::string &text)
{
    return "BOX caption=" + hex_of(caption) + " text=" + hex_of(text) + " ";
}

inline std::string fatal_pattern(const std::string &text)
{
    return box_line_pattern("エラー", text);
}
