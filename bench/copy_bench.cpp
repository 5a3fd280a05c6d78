// Times copy_folder under Wine: one folder copy per run, measured inside the
// process, with the process's peak working set before and after it.
//   copy_bench <source folder\> <target folder\> <log path>
// prints: seconds=<s> files=<n> result=<r> idle_peak_kib=<k> copy_peak_kib=<k>
// For reference, the same process's bare costs without any dialog:
//   copy_bench --bare <source file> <target file>   (the stdio loop alone)
//   copy_bench --sleeps <n>                         (n times Sleep(1))
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "install/folder_copy.h"
#include "state/install_state.h"

static SIZE_T peak_working_set(void)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

static int count_files(const char *folder)
{
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s*.*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    int n = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            n++;
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return n;
}

// A window standing in for the idle launcher behind the copy dialog.
static HWND idle_launcher(void)
{
    HWND window = CreateWindowA("STATIC", "launcher", WS_POPUP | WS_VISIBLE, 300, 300, 200, 200,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
    MSG message;
    DWORD until = GetTickCount() + 200;
    while (GetTickCount() < until) {
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    }
    return window;
}

static double seconds_since(const LARGE_INTEGER &start)
{
    LARGE_INTEGER frequency, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&end);
    return (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
}

static char bare_buffer[1048576];

static int bare_copy(const char *source_path, const char *target_path)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    FILE *source = fopen(source_path, "rb");
    FILE *target = fopen(target_path, "wb");
    if (!source || !target)
        return 1;
    size_t n;
    while ((n = fread(bare_buffer, 1, sizeof bare_buffer, source)) > 0)
        fwrite(bare_buffer, 1, n, target);
    fclose(source);
    fclose(target);
    printf("seconds=%.6f\n", seconds_since(start));
    return 0;
}

static int sleeps(int count)
{
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < count; i++)
        Sleep(1);
    printf("seconds=%.6f\n", seconds_since(start));
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], "--bare") == 0)
        return bare_copy(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "--sleeps") == 0)
        return sleeps(atoi(argv[2]));
    if (argc != 4) {
        fprintf(stderr, "usage: copy_bench <source folder\\> <target folder\\> <log path>\n");
        return 2;
    }
    install_state.instance = GetModuleHandleA(NULL);
    snprintf(install_state.install_log_path, sizeof install_state.install_log_path, "%s", argv[3]);
    install_state.launcher_window = idle_launcher();
    SIZE_T idle_peak = peak_working_set();

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    int copied = copy_folder(argv[2], argv[1]);
    double elapsed = seconds_since(start);

    // SIZE_T is 32 or 64 bits with the build; the figures fit either way.
    printf("seconds=%.6f files=%d result=%d idle_peak_kib=%llu copy_peak_kib=%llu\n",
           elapsed, count_files(argv[1]), copied,
           (unsigned long long)(idle_peak / 1024), (unsigned long long)(peak_working_set() / 1024));
    DestroyWindow((HWND)install_state.launcher_window);
    return copied ? 0 : 1;
}
