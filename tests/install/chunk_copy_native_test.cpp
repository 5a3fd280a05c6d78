// The copy loop of one file on real streams: the positions handed to the
// bar, the pauses, identical copies, and the ends on a read error (a folder
// opened as a stream) and on a short write (/dev/full).
#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "core/chunk_copy.h"

namespace {

const size_t MiB = 1048576;

struct Seen {
    int pauses = 0;
    std::vector<int> positions;
};

void count_pause(void *context) { ((Seen *)context)->pauses++; }
void note_position(void *context, int position) { ((Seen *)context)->positions.push_back(position); }

std::string pattern_bytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i++)
        bytes[i] = (char)(i * 131 + i / 7);
    return bytes;
}

FILE *stream_holding(const std::string &bytes)
{
    FILE *file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    return file;
}

std::string contents_of(FILE *file)
{
    rewind(file);
    std::string bytes;
    char block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, n);
    return bytes;
}

TEST(BarPosition, TruncatesTowardZeroIn64Bits)
{
    struct { unsigned long long copied; long long length; int position; } cases[] = {
        {0, 0, 0}, {0, 2621440, 0}, {1048576, 2621440, 40}, {2097152, 2621440, 80},
        {2621440, 2621440, 100}, {1048576, 1572864, 66}, {1048576, 1048576, 100},
        {1, 3, 33}, {2, 3, 66},
        {1ull << 31, 1ll << 32, 50},                        // past the signed 32-bit range
        {4294967295ull, 4294967296ll, 99},
        {5ull << 30, 5ll << 30, 100},
        {3 * MiB, 2 * MiB, 100},                            // a source that grew
    };
    for (auto &c : cases)
        EXPECT_EQ(c.position, bar_position(c.copied, c.length)) << c.copied << "/" << c.length;
}

TEST(CopyChunks, CopiesWholeFilesChunkByChunk)
{
    struct { size_t size; std::vector<int> positions; int pauses; } cases[] = {
        {0, {}, 1},
        {1, {100}, 1},
        {MiB, {100}, 2},                    // the second read meets the end, moves nothing
        {MiB + MiB / 2, {66, 100}, 2},
        {2 * MiB + MiB / 2, {40, 80, 100}, 3},
    };
    static char buffer[1048576];
    for (auto &c : cases) {
        std::string bytes = pattern_bytes(c.size);
        FILE *source = stream_holding(bytes);
        FILE *target = tmpfile();
        Seen seen;
        ChunkHooks hooks = {&seen, count_pause, note_position};
        EXPECT_EQ(COPY_DONE, copy_chunks(source, target, (long long)c.size, buffer, sizeof buffer, &hooks));
        EXPECT_EQ(c.positions, seen.positions) << c.size;
        EXPECT_EQ(c.pauses, seen.pauses) << c.size;
        EXPECT_TRUE(bytes == contents_of(target)) << c.size;
        fclose(source);
        fclose(target);
    }
}

TEST(CopyChunks, AReadErrorEndsTheLoopAndIsReported)
{
    FILE *source = fopen("/", "rb");            // opens, but every read fails
    ASSERT_NE(nullptr, source);
    FILE *target = tmpfile();
    Seen seen;
    ChunkHooks hooks = {&seen, count_pause, note_position};
    char buffer[4096];
    EXPECT_EQ(COPY_READ_FAILED, copy_chunks(source, target, 4096, buffer, sizeof buffer, &hooks));
    EXPECT_EQ(1, seen.pauses);
    EXPECT_TRUE(seen.positions.empty());
    EXPECT_EQ("", contents_of(target));
    fclose(source);
    fclose(target);
}

TEST(CopyChunks, AShortWriteEndsTheLoopBeforeTheBarMoves)
{
    FILE *target = fopen("/dev/full", "wb");
    ASSERT_NE(nullptr, target);
    std::string bytes = pattern_bytes(2 * MiB);
    FILE *source = stream_holding(bytes);
    Seen seen;
    ChunkHooks hooks = {&seen, count_pause, note_position};
    static char buffer[1048576];
    EXPECT_EQ(COPY_WRITE_FAILED, copy_chunks(source, target, 2 * MiB, buffer, sizeof buffer, &hooks));
    EXPECT_TRUE(seen.positions.empty());
    fclose(source);
    fclose(target);
}

}  // namespace
