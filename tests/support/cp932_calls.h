// The Win32 calls the tests make with texts, for code page 932 texts: each
// "…932" call is its "…A" twin with the text converted explicitly, through
// the program's own boundary, and handed to the wide call. What the tests
// make, find and read is then the same under every system code page. Texts
// read back that 932 cannot hold come back empty (a failed call), never as
// look-alikes. Calls whose texts are ASCII keep their "…A" form.
#pragma once

#include <windows.h>

#include <string>

// A text from Windows in code page 932; "" when 932 cannot hold it.
std::string text_932(const wchar_t *wide);

BOOL CreateDirectory932(const char *path, LPSECURITY_ATTRIBUTES security);
BOOL RemoveDirectory932(const char *path);
BOOL DeleteFile932(const char *path);
DWORD GetFileAttributes932(const char *path);
BOOL SetFileAttributes932(const char *path, DWORD attributes);
BOOL GetFileAttributesEx932(const char *path, GET_FILEEX_INFO_LEVELS level, void *data);
BOOL MoveFile932(const char *from, const char *to);
BOOL CopyFile932(const char *from, const char *to, BOOL fail_if_exists);
HANDLE CreateFile932(const char *path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                     DWORD disposition, DWORD flags, HANDLE template_file);
DWORD GetShortPathName932(const char *path, char *out, DWORD size);
DWORD GetCurrentDirectory932(DWORD size, char *out);
BOOL SetCurrentDirectory932(const char *path);
DWORD GetModuleFileName932(HMODULE module, char *out, DWORD size);
UINT GetWindowsDirectory932(char *out, UINT size);
DWORD GetTempPath932(DWORD size, char *out);
const char *GetCommandLine932(void);
// CharUpper on every character, in place.
void CharUpper932(char *text);

// The listing with the A call's record, its name in code page 932.
HANDLE FindFirstFile932(const char *pattern, WIN32_FIND_DATAA *entry);
BOOL FindNextFile932(HANDLE search, WIN32_FIND_DATAA *entry);

BOOL CreateProcess932(const char *program, char *command_line, LPSECURITY_ATTRIBUTES process_security,
                      LPSECURITY_ATTRIBUTES thread_security, BOOL inherit, DWORD flags, void *environment,
                      const char *directory, STARTUPINFOA *startup, PROCESS_INFORMATION *process);

LONG RegOpenKey932(HKEY root, const char *subkey, HKEY *key);
LONG RegOpenKeyEx932(HKEY root, const char *subkey, DWORD options, REGSAM access, HKEY *key);
LONG RegCreateKey932(HKEY root, const char *subkey, HKEY *key);
LONG RegDeleteKey932(HKEY root, const char *subkey);
LONG RegDeleteTree932(HKEY root, const char *subkey);
LONG RegDeleteValue932(HKEY key, const char *name);
// Text data in code page 932, its size counted in those bytes (a stored
// zero included), as the A call reports it.
LONG RegQueryValueEx932(HKEY key, const char *name, DWORD *reserved, DWORD *type, BYTE *data, DWORD *size);
// A text's `size` bytes; the system sees what follows them, as with the A call.
LONG RegSetValueEx932(HKEY key, const char *name, DWORD reserved, DWORD type, const BYTE *data, DWORD size);

int GetWindowText932(HWND window, char *out, int size);
int GetWindowTextLength932(HWND window);
UINT GetDlgItemText932(HWND dialog, int id, char *out, int size);
BOOL SetDlgItemText932(HWND dialog, int id, const char *text);
// WM_GETTEXT of another process's window, bounded by `timeout_ms`; 0 when
// it did not answer.
int GetWindowTextTimeout932(HWND window, char *out, int size, UINT timeout_ms);
INT_PTR DialogBoxParam932(HINSTANCE instance, const char *name, HWND owner, DLGPROC proc, LPARAM parameter);
HWND CreateDialogParam932(HINSTANCE instance, const char *name, HWND owner, DLGPROC proc, LPARAM parameter);
