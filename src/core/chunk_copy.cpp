#include "core/chunk_copy.h"

int bar_position(unsigned long long copied, long long length)
{
    if (length <= 0)
        return 0;
    double position = (double)copied * 100.0 / (double)length;
    return position >= 100.0 ? 100 : (int)position;     // a source that grew stays at 100
}

CopyOutcome copy_chunks(FILE *source, FILE *target, long long length,
                        char *buffer, size_t buffer_size, const ChunkHooks *hooks)
{
    unsigned long long copied = 0;
    for (;;) {
        hooks->before_read(hooks->context);
        size_t n = fread(buffer, 1, buffer_size, source);
        if (n > 0) {
            if (fwrite(buffer, 1, n, target) < n)
                return COPY_WRITE_FAILED;
            copied += n;
            hooks->after_chunk(hooks->context, bar_position(copied, length));
        }
        if (ferror(source))
            return COPY_READ_FAILED;
        if (feof(source))
            return COPY_DONE;
        if (n == 0)
            return COPY_READ_FAILED;    // neither end nor error: never spin
    }
}
