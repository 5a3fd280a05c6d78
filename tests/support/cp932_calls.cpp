#include "support/cp932_calls.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "boundary/wide_text.h"

namespace {

// `wide` in code page 932 into `out` as the A call would fill it: cut to
// `size - 1` bytes; the length written, 0 (out empty) when 932 cannot hold it.
int narrow_into(const wchar_t *wide, char *out, size_t size)
{
    if (size == 0)
        return 0;
    std::string text = text_932(wide);
    size_t length = text.size();
    if (length >= size)
        length = size - 1;
    memcpy(out, text.c_str(), length);
    out[length] = '\0';
    return (int)length;
}

// A resource name: a number stays a number, a text is converted.
struct ResourceName {
    explicit ResourceName(const char *name) : text(IS_INTRESOURCE(name) ? NULL : name)
    {
        id = IS_INTRESOURCE(name) ? (const wchar_t *)name : (const wchar_t *)text;
    }
    Wide text;
    const wchar_t *id;
};

void copy_find_data(const WIN32_FIND_DATAW &wide, WIN32_FIND_DATAA *entry)
{
    entry->dwFileAttributes = wide.dwFileAttributes;
    entry->ftCreationTime = wide.ftCreationTime;
    entry->ftLastAccessTime = wide.ftLastAccessTime;
    entry->ftLastWriteTime = wide.ftLastWriteTime;
    entry->nFileSizeHigh = wide.nFileSizeHigh;
    entry->nFileSizeLow = wide.nFileSizeLow;
    narrow_into(wide.cFileName, entry->cFileName, sizeof entry->cFileName);
    narrow_into(wide.cAlternateFileName, entry->cAlternateFileName, sizeof entry->cAlternateFileName);
}

}  // namespace

std::string text_932(const wchar_t *wide)
{
    char *text = cp932_copy(wide);
    std::string copy = text ? text : "";
    free(text);
    return copy;
}

BOOL CreateDirectory932(const char *path, LPSECURITY_ATTRIBUTES security)
{
    return CreateDirectoryW(Wide(path), security);
}

BOOL RemoveDirectory932(const char *path)
{
    return RemoveDirectoryW(Wide(path));
}

BOOL DeleteFile932(const char *path)
{
    return DeleteFileW(Wide(path));
}

DWORD GetFileAttributes932(const char *path)
{
    return GetFileAttributesW(Wide(path));
}

BOOL SetFileAttributes932(const char *path, DWORD attributes)
{
    return SetFileAttributesW(Wide(path), attributes);
}

BOOL GetFileAttributesEx932(const char *path, GET_FILEEX_INFO_LEVELS level, void *data)
{
    return GetFileAttributesExW(Wide(path), level, data);
}

BOOL MoveFile932(const char *from, const char *to)
{
    return MoveFileW(Wide(from), Wide(to));
}

BOOL CopyFile932(const char *from, const char *to, BOOL fail_if_exists)
{
    return CopyFileW(Wide(from), Wide(to), fail_if_exists);
}

HANDLE CreateFile932(const char *path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE template_file)
{
    return CreateFileW(Wide(path), access, share, security, disposition, flags, template_file);
}

DWORD GetShortPathName932(const char *path, char *out, DWORD size)
{
    wchar_t wide[MAX_PATH];
    DWORD length = GetShortPathNameW(Wide(path), wide, MAX_PATH);
    return length > 0 && length < MAX_PATH ? (DWORD)narrow_into(wide, out, size) : 0;
}

DWORD GetCurrentDirectory932(DWORD size, char *out)
{
    wchar_t wide[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, wide);
    return length > 0 && length < MAX_PATH ? (DWORD)narrow_into(wide, out, size) : 0;
}

BOOL SetCurrentDirectory932(const char *path)
{
    return SetCurrentDirectoryW(Wide(path));
}

DWORD GetModuleFileName932(HMODULE module, char *out, DWORD size)
{
    wchar_t wide[MAX_PATH];
    DWORD length = GetModuleFileNameW(module, wide, MAX_PATH);
    return length > 0 && length < MAX_PATH ? (DWORD)narrow_into(wide, out, size) : 0;
}

UINT GetWindowsDirectory932(char *out, UINT size)
{
    wchar_t wide[MAX_PATH];
    UINT length = GetWindowsDirectoryW(wide, MAX_PATH);
    return length > 0 && length < MAX_PATH ? (UINT)narrow_into(wide, out, size) : 0;
}

DWORD GetTempPath932(DWORD size, char *out)
{
    wchar_t wide[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, wide);
    return length > 0 && length <= MAX_PATH ? (DWORD)narrow_into(wide, out, size) : 0;
}

const char *GetCommandLine932(void)
{
    static std::string line = text_932(GetCommandLineW());
    return line.c_str();
}

void CharUpper932(char *text)
{
    Wide source(text);
    if (!source)
        return;
    std::wstring upper(source.text());
    CharUpperW(&upper[0]);
    narrow_into(upper.c_str(), text, strlen(text) + 1);
}

HANDLE FindFirstFile932(const char *pattern, WIN32_FIND_DATAA *entry)
{
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstFileW(Wide(pattern), &wide);
    if (search != INVALID_HANDLE_VALUE)
        copy_find_data(wide, entry);
    return search;
}

BOOL FindNextFile932(HANDLE search, WIN32_FIND_DATAA *entry)
{
    WIN32_FIND_DATAW wide;
    if (!FindNextFileW(search, &wide))
        return FALSE;
    copy_find_data(wide, entry);
    return TRUE;
}

BOOL CreateProcess932(const char *program, char *command_line, LPSECURITY_ATTRIBUTES process_security,
                      LPSECURITY_ATTRIBUTES thread_security, BOOL inherit, DWORD flags, void *environment,
                      const char *directory, STARTUPINFOA *startup, PROCESS_INFORMATION *process)
{
    // The same record but for its texts, which the tests never set.
    STARTUPINFOW wide_startup;
    memcpy(&wide_startup, startup, sizeof wide_startup);
    wide_startup.lpReserved = wide_startup.lpDesktop = wide_startup.lpTitle = NULL;
    Wide line(command_line);
    return CreateProcessW(Wide(program), line.writable(), process_security, thread_security, inherit, flags,
                          environment, Wide(directory), &wide_startup, process);
}

LONG RegOpenKey932(HKEY root, const char *subkey, HKEY *key)
{
    return RegOpenKeyW(root, Wide(subkey), key);
}

LONG RegOpenKeyEx932(HKEY root, const char *subkey, DWORD options, REGSAM access, HKEY *key)
{
    return RegOpenKeyExW(root, Wide(subkey), options, access, key);
}

LONG RegCreateKey932(HKEY root, const char *subkey, HKEY *key)
{
    return RegCreateKeyW(root, Wide(subkey), key);
}

LONG RegDeleteKey932(HKEY root, const char *subkey)
{
    return RegDeleteKeyW(root, Wide(subkey));
}

LONG RegDeleteTree932(HKEY root, const char *subkey)
{
    return RegDeleteTreeW(root, Wide(subkey));
}

LONG RegDeleteValue932(HKEY key, const char *name)
{
    return RegDeleteValueW(key, Wide(name));
}

LONG RegQueryValueEx932(HKEY key, const char *name, DWORD *reserved, DWORD *type, BYTE *data, DWORD *size)
{
    Wide wide_name(name);
    DWORD kind = 0, bytes = 0;
    LONG result = RegQueryValueExW(key, wide_name, reserved, &kind, NULL, &bytes);
    if (type)
        *type = kind;
    if (result != ERROR_SUCCESS)
        return result;
    std::vector<BYTE> stored(bytes + sizeof(wchar_t), 0);
    result = RegQueryValueExW(key, wide_name, reserved, &kind, stored.data(), &bytes);
    if (result != ERROR_SUCCESS)
        return result;
    std::string value((const char *)stored.data(), bytes);
    if (kind == REG_SZ || kind == REG_EXPAND_SZ) {
        const wchar_t *text = (const wchar_t *)stored.data();
        size_t units = bytes / sizeof(wchar_t);
        value = text_932(text);
        if (units > 0 && text[units - 1] == L'\0')
            value += '\0';
    }
    DWORD room = size ? *size : 0;
    if (size)
        *size = (DWORD)value.size();
    if (!data)
        return ERROR_SUCCESS;
    if (value.size() > room)
        return ERROR_MORE_DATA;
    memcpy(data, value.data(), value.size());
    return ERROR_SUCCESS;
}

LONG RegSetValueEx932(HKEY key, const char *name, DWORD reserved, DWORD type, const BYTE *data, DWORD size)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return RegSetValueExW(key, Wide(name), reserved, type, data, size);
    Wide whole((const char *)data), head((const char *)data, size);
    return RegSetValueExW(key, Wide(name), reserved, type, (const BYTE *)whole.text(),
                          (DWORD)(wcslen(head) * sizeof(wchar_t)));
}

int GetWindowText932(HWND window, char *out, int size)
{
    std::vector<wchar_t> wide((size_t)GetWindowTextLengthW(window) + 2, L'\0');
    GetWindowTextW(window, wide.data(), (int)wide.size());
    return narrow_into(wide.data(), out, (size_t)size);
}

int GetWindowTextLength932(HWND window)
{
    std::vector<wchar_t> wide((size_t)GetWindowTextLengthW(window) + 2, L'\0');
    GetWindowTextW(window, wide.data(), (int)wide.size());
    return (int)text_932(wide.data()).size();
}

UINT GetDlgItemText932(HWND dialog, int id, char *out, int size)
{
    return (UINT)GetWindowText932(GetDlgItem(dialog, id), out, size);
}

BOOL SetDlgItemText932(HWND dialog, int id, const char *text)
{
    return SetDlgItemTextW(dialog, id, Wide(text));
}

int GetWindowTextTimeout932(HWND window, char *out, int size, UINT timeout_ms)
{
    wchar_t wide[4096] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, (LPARAM)wide, SMTO_ABORTIFHUNG, timeout_ms, &got))
        return 0;
    wide[4095] = L'\0';
    return narrow_into(wide, out, (size_t)size);
}

INT_PTR DialogBoxParam932(HINSTANCE instance, const char *name, HWND owner, DLGPROC proc, LPARAM parameter)
{
    ResourceName resource(name);
    return DialogBoxParamW(instance, resource.id, owner, proc, parameter);
}

HWND CreateDialogParam932(HINSTANCE instance, const char *name, HWND owner, DLGPROC proc, LPARAM parameter)
{
    ResourceName resource(name);
    return CreateDialogParamW(instance, resource.id, owner, proc, parameter);
}
