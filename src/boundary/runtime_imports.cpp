// The static run-time libraries (threads, the i686 unwinder, the start-up
// code) call six ANSI functions of kernel32 through their import pointers.
// The programs define those pointers themselves, aimed at wide stand-ins,
// so that they import no ANSI call at all and nothing is read in the
// system's code page. Linked into each program as an object of its own: an
// archive member would come too late for the libraries' references.
#include <string.h>
#include <windows.h>

#include "boundary/wide_text.h"

namespace {

HANDLE WINAPI create_event(LPSECURITY_ATTRIBUTES security, BOOL manual, BOOL initial, LPCSTR name)
{
    return CreateEventW(security, manual, initial, Wide(name));
}

HANDLE WINAPI create_semaphore(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum, LPCSTR name)
{
    return CreateSemaphoreW(security, initial, maximum, Wide(name));
}

void WINAPI output_debug_string(LPCSTR text)
{
    OutputDebugStringW(Wide(text));
}

HMODULE WINAPI get_module_handle(LPCSTR name)
{
    return GetModuleHandleW(Wide(name));
}

HMODULE WINAPI load_library(LPCSTR name)
{
    return LoadLibraryW(Wide(name));
}

// The start-up code reads the show-window flag; the record's texts (desktop,
// title) are left out rather than given in the system's code page.
void WINAPI get_startup_info(LPSTARTUPINFOA info)
{
    static_assert(sizeof(STARTUPINFOA) == sizeof(STARTUPINFOW), "the two records differ in their texts only");
    STARTUPINFOW wide = {};
    wide.cb = sizeof wide;
    GetStartupInfoW(&wide);
    memcpy(info, &wide, sizeof *info);
    info->lpReserved = info->lpDesktop = info->lpTitle = NULL;
}

}  // namespace

// The import pointer's own name: "__imp_Name" on x86_64, and on i686 the
// decorated "__imp__Name@bytes" of a stdcall function.
#ifdef _WIN64
#define IMPORT_POINTER(name, bytes) __asm__("__imp_" #name)
#else
#define IMPORT_POINTER(name, bytes) __asm__("__imp__" #name "@" #bytes)
#endif

extern "C" {
decltype(&create_event) import_create_event IMPORT_POINTER(CreateEventA, 16) = create_event;
decltype(&create_semaphore) import_create_semaphore IMPORT_POINTER(CreateSemaphoreA, 16) = create_semaphore;
decltype(&output_debug_string) import_output_debug_string IMPORT_POINTER(OutputDebugStringA, 4) =
    output_debug_string;
decltype(&get_module_handle) import_get_module_handle IMPORT_POINTER(GetModuleHandleA, 4) = get_module_handle;
decltype(&load_library) import_load_library IMPORT_POINTER(LoadLibraryA, 4) = load_library;
decltype(&get_startup_info) import_get_startup_info IMPORT_POINTER(GetStartupInfoA, 4) = get_startup_info;
}
