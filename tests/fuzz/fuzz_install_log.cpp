// The install log reader over arbitrary bytes: either every line comes back
// within its limit, or the log is refused whole.
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "core/install_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *file = fmemopen((void *)data, size, "rb");
    if (!file)
        return 0;
    LogLines log = {};
    const char *refusal = log_read_stream(file, &log);
    fclose(file);
    if (refusal && (log.count != 0 || log.lines))
        __builtin_trap();
    size_t total = 0;
    for (int i = 0; i < log.count; i++) {
        size_t n = strlen(log.lines[i]);
        if (n > LOG_LINE_MAX)
            __builtin_trap();
        total += n + 1;
    }
    if (!refusal && total > size)
        __builtin_trap();
    log_free(&log);
    return 0;
}
