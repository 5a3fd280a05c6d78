// Looking at HKEY_CURRENT_USER from the tests.
#pragma once

#include <windows.h>

#include <string>
#include "support/cp932_calls.h"

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline bool key_exists(const std::string &subkey)
{
    HKEY key;
    if (RegOpenKeyEx932(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

inline bool reg_text(HKEY root, const std::string &subkey, const std::string &name, std::string *out)
{
    HKEY key;
    if (RegOpenKeyEx932(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char data[1024];
    DWORD size = sizeof data - 1, type = 0;
    LONG result = RegQueryValueEx932(key, name.c_str(), NULL, &type, (BYTE *)data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    data[size] = '\0';
    *out = data;
    return true;
}

// Sets the user's Programs folder (or removes it, for an empty text) and puts
// back what was there when it goes.
class ProgramsFolder {
public:
    explicit ProgramsFolder(const std::string &folder)
    {
        had_ = reg_text(HKEY_CURRENT_USER, kShellFolders, "Programs", &saved_);
        set(folder);
    }
    // A folder named beyond code page 932 (a user named 김민수).
    explicit ProgramsFolder(const std::wstring &folder)
    {
        had_ = reg_text(HKEY_CURRENT_USER, kShellFolders, "Programs", &saved_);
        HKEY key;
        if (RegCreateKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                          &key) != ERROR_SUCCESS)
            return;
        RegSetValueExW(key, L"Programs", 0, REG_SZ, (const BYTE *)folder.c_str(),
                       (DWORD)((folder.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~ProgramsFolder() { set(had_ ? saved_ : std::string()); }

private:
    static void set(const std::string &folder)
    {
        HKEY key;
        if (RegCreateKey932(HKEY_CURRENT_USER, kShellFolders, &key) != ERROR_SUCCESS)
            return;
        if (folder.empty())
            RegDeleteValue932(key, "Programs");
        else
            RegSetValueEx932(key, "Programs", 0, REG_SZ, (const BYTE *)folder.c_str(),
                           (DWORD)folder.size() + 1);
        RegCloseKey(key);
    }
    bool had_;
    std::string saved_;
};

