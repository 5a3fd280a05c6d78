// A DLL planted beside the relaunched program. Whenever it is loaded it
// leaves "<its own path>.loaded" beside itself, so a test sees the load from
// outside the process that made it.
#include <stdio.h>
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, sizeof path);
    char marker[MAX_PATH + 8];
    if (length > 0 && length < sizeof path && snprintf(marker, sizeof marker, "%s.loaded", path) < (int)sizeof marker)
        CloseHandle(CreateFileA(marker, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    return TRUE;
}
