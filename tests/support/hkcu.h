// Looking at HKEY_CURRENT_USER from the tests.
#pragma once

#include <windows.h>

#include <string>

inline bool key_exists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
