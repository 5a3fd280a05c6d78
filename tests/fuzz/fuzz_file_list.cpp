// The file list interpreter with its actions replaced by recorders, so the
// statement logic itself is fuzzed. Input: the list text up to the first zero
// byte; the bytes after it script the world: the program's folder, the
// install folder, and then every answer, existence test and copy result in
// the order the interpreter asks for them. When they run out a question
// cannot be shown, which ends any disk prompt.
#include <stdint.h>
#include <string.h>

#include "core/file_list_script.h"
#include "fuzz/fuzz_support.h"
#include "state/install_state.h"

namespace {

struct World {
    const uint8_t *bytes;
    size_t size;
    size_t next;
    int copies;
    int asks;
    int gave_up;           // a disk prompt ended without the disk
    int last_copy_failed;
};

int take(World *w, int *value)
{
    if (w->next >= w->size)
        return 0;
    *value = w->bytes[w->next++];
    return 1;
}

// A path the interpreter hands out must be terminated well inside the
// platform's limit and, for folders, end in a backslash.
void check_folder(const char *path)
{
    size_t n = strnlen(path, PATH_CAPACITY);
    if (n == 0 || n >= PATH_CAPACITY || path[n - 1] != '\\')
        __builtin_trap();
}

int record_copy(void *context, const char *target_folder, const char *source_folder)
{
    World *w = (World *)context;
    check_folder(target_folder);
    check_folder(source_folder);
    if (strncmp(target_folder, install_state.install_dir, strlen(install_state.install_dir)) != 0
        || strncmp(source_folder, install_state.source_dir, strlen(install_state.source_dir)) != 0)
        __builtin_trap();
    w->copies++;
    int value = 1;
    take(w, &value);
    w->last_copy_failed = (value & 7) == 0;
    return !w->last_copy_failed;
}

int record_ask(void *context, const char *text, const char *caption, int buttons)
{
    World *w = (World *)context;
    if (strnlen(text, 1024) >= 1024 || strnlen(caption, 64) >= 64)
        __builtin_trap();
    if (buttons != ASK_OK_CANCEL && buttons != ASK_YES_NO)
        __builtin_trap();
    if (++w->asks > 10000)
        __builtin_trap();   // a prompt that never lets go
    int value;
    if (!take(w, &value)) {
        w->gave_up = 1;
        return 0;
    }
    if ((value & 3) == 0) {
        w->gave_up = 1;
        return -1;
    }
    if (buttons == ASK_OK_CANCEL)
        return (value & 1) ? ANSWER_OK : ANSWER_CANCEL;
    int yes = (value & 1) != 0;
    if (yes)
        w->gave_up = 1;
    return yes ? ANSWER_YES : ANSWER_NO;
}

int record_exists(void *context, const char *path)
{
    World *w = (World *)context;
    size_t n = strnlen(path, PATH_CAPACITY);
    if (n < 3 || n >= PATH_CAPACITY || path[1] != ':' || path[2] != '\\')
        __builtin_trap();
    int value = 1;
    take(w, &value);
    return value & 1;
}

void record_close(void *) {}

const char *const program_folders[] = {
    "D:\\setup\\", "d:\\", "\\\\server\\share\\setup\\", "setup\\",
};
const char *const install_folders[] = {"C:\\Game\\", "D:\\", "C:\\Program Files\\Maker\\Game\\"};

// A folder name of `length` bytes ending in a backslash, to reach the limits.
void long_folder(char *out, int length)
{
    memset(out, 'a', (size_t)length);
    out[0] = 'C';
    out[1] = ':';
    out[2] = '\\';
    out[length - 1] = '\\';
    out[length] = '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > SCRIPT_TEXT_BYTES)
        size = SCRIPT_TEXT_BYTES;
    const uint8_t *zero = (const uint8_t *)memchr(data, 0, size);
    size_t text_size = zero ? (size_t)(zero - data) : size;
    memcpy(FileListText, data, text_size);
    FileListText[text_size] = '\0';

    World world = {};
    world.bytes = zero ? zero + 1 : data + size;
    world.size = zero ? size - text_size - 1 : 0;
    int pick = 0;
    take(&world, &pick);
    InstallState &s = install_state;
    const int folders = sizeof program_folders / sizeof program_folders[0];
    if (pick / 8 % 2)
        long_folder(s.source_dir, 250 + pick % 8);
    else
        strcpy(s.source_dir, program_folders[pick % folders]);
    pick = 0;
    take(&world, &pick);
    const int targets = sizeof install_folders / sizeof install_folders[0];
    if (pick / 4 % 2)
        long_folder(s.install_dir, 250 + pick % 8);
    else
        strcpy(s.install_dir, install_folders[pick % targets]);
    memset(s.exe_path, 0x55, sizeof s.exe_path);
    memset(s.shortcut_names, 0x55, sizeof s.shortcut_names);
    memset(s.shortcut_targets, 0x55, sizeof s.shortcut_targets);

    FileListPlaces places;
    FileListActions actions = {&world, record_copy, record_ask, record_exists, record_close, &places};
    int finished = -1;
    if (!setjmp(fuzz_fatal_return))
        finished = interpret_file_list(FileListText, &actions);

    if (finished < 0)
        return 0;   // the program ends here: nothing more is used
    // The slots are terminated strings within their room.
    for (int i = 0; i < SHORTCUT_SLOTS; i++)
        if (strnlen(s.shortcut_names[i], PATH_CAPACITY) >= PATH_CAPACITY
            || strnlen(s.shortcut_targets[i], PATH_CAPACITY) >= PATH_CAPACITY)
            __builtin_trap();
    if (strnlen(s.source_dir, PATH_CAPACITY) >= PATH_CAPACITY)
        __builtin_trap();
    if (finished == 0 && !world.gave_up && !world.last_copy_failed)
        __builtin_trap();   // a stop that nothing asked for
    if (finished == 1 && (world.last_copy_failed || strnlen(s.exe_path, PATH_CAPACITY) >= PATH_CAPACITY))
        __builtin_trap();   // success after a failed copy, or no program path
    return 0;
}
