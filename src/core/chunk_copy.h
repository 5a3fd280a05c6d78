// The copy loop of one file, free of the platform: chunk by chunk through a
// caller's buffer, with a hook before each read (the dialog's pause) and one
// after each chunk that brought bytes (the bar and the repaints).
#pragma once

#include <stddef.h>
#include <stdio.h>

enum CopyOutcome {
    COPY_DONE,                    // the source's end was reached
    COPY_READ_FAILED,             // a read failed before the end
    COPY_WRITE_FAILED             // fewer bytes written than read
};

struct ChunkHooks {
    void *context;
    void (*before_read)(void *context);
    void (*after_chunk)(void *context, int position);
};

// The bar's position, 0 to 100, for `copied` of `length` bytes: truncated
// toward zero; 0 for an empty file. 64-bit, so files of 2 GiB and more work.
int bar_position(unsigned long long copied, long long length);

// Copies `source` to `target` until the end of the source, a read error or a
// short write. `length` is the source's length taken beforehand; it only
// drives the positions handed to after_chunk. A read that brings no bytes
// (the one that meets the end of a file whose length is a multiple of the
// buffer, or of an empty file) moves nothing and calls no after_chunk.
CopyOutcome copy_chunks(FILE *source, FILE *target, long long length,
                        char *buffer, size_t buffer_size, const ChunkHooks *hooks);
