// Header arithmetic of installer.bmp: where the table and the pixels lie, how
// many bytes are read, and which headers are refused. Runs under ASan/UBSan,
// so a wrapping multiplication would be reported as well as mis-sized.
#include <limits.h>
#include <string.h>

#include <gtest/gtest.h>

#include "core/dib_layout.h"

namespace {

DibHeaderFields fields(int width, int height, int bits, unsigned used = 0,
                       unsigned compression = 0, unsigned info_size = 40)
{
    return DibHeaderFields{info_size, width, height, bits, compression, used};
}

struct LayoutCase {
    const char *name;
    DibHeaderFields in;
    int stride, rows, image_size, colour_count, table_entries, header_used;
    long long pixel_offset;
    int header_rest, surplus;
};

TEST(DibLayout, SupportedPicturesAreLaidOutAsTheFileHoldsThem)
{
    const LayoutCase cases[] = {
        {"24-bit 256x256", fields(256, 256, 24), 768, 256, 196608, 0, 0, 0, 54, 0, 0},
        {"24-bit 255 wide", fields(255, 256, 24), 768, 256, 196608, 0, 0, 0, 54, 0, 0},
        {"8-bit, biClrUsed 0", fields(256, 256, 8), 256, 256, 65536, 256, 256, 0, 1078, 0, 0},
        {"8-bit, biClrUsed 16", fields(256, 256, 8, 16), 256, 256, 65536, 256, 16, 16, 118, 0, 0},
        {"4-bit 256 wide", fields(256, 256, 4), 128, 256, 32768, 16, 16, 0, 118, 0, 0},
        {"1-bit 9 wide", fields(9, 2, 1), 4, 2, 8, 2, 2, 0, 62, 0, 0},
        {"32-bit", fields(3, 3, 32), 12, 3, 36, 0, 0, 0, 54, 0, 0},
        {"16-bit odd width", fields(3, 1, 16), 8, 1, 8, 0, 0, 0, 54, 0, 0},
        // A table is read only for the depths that have one.
        {"24-bit ignores biClrUsed", fields(4, 4, 24, 16), 12, 4, 48, 0, 0, 0, 54, 0, 0},
        // Entries beyond the depth's count are skipped, not stored.
        {"8-bit, biClrUsed 300", fields(4, 4, 8, 300), 4, 4, 16, 256, 256, 256, 54 + 1200, 0, 176},
        {"4-bit, biClrUsed 17", fields(8, 1, 4, 17), 4, 1, 4, 16, 16, 16, 54 + 68, 0, 4},
        // Top-down rows: the size counts the rows, whatever the sign.
        {"negative height", fields(256, -256, 24), 768, 256, 196608, 0, 0, 0, 54, 0, 0},
        // Longer info headers are stepped over to the table behind them.
        {"V4 header", fields(2, 2, 8, 0, 0, 108), 4, 2, 8, 256, 256, 0, 14 + 108 + 1024, 68, 0},
        {"V5 header", fields(2, 2, 24, 0, 0, 124), 8, 2, 16, 0, 0, 0, 138, 84, 0},
    };
    for (const LayoutCase &c : cases) {
        SCOPED_TRACE(c.name);
        DibLayout layout;
        ASSERT_EQ(1, dib_layout(&c.in, &layout));
        EXPECT_EQ(1, layout.supported);
        EXPECT_EQ(DIB_SUPPORTED, layout.refusal);
        EXPECT_EQ(c.stride, layout.stride);
        EXPECT_EQ(c.rows, layout.rows);
        EXPECT_EQ(c.image_size, layout.image_size);
        EXPECT_EQ(c.colour_count, layout.colour_count);
        EXPECT_EQ(c.table_entries, layout.table_entries);
        EXPECT_EQ(c.header_used, layout.header_colours_used);
        EXPECT_EQ(c.pixel_offset, layout.pixel_offset);
        EXPECT_EQ(c.header_rest, layout.header_rest_bytes);
        EXPECT_EQ(c.surplus, layout.surplus_table_bytes);
    }
}

TEST(DibLayout, UnsafeOrUnsupportedHeadersAreRefused)
{
    const struct {
        const char *name;
        DibHeaderFields in;
        DibRefusal why;
    } cases[] = {
        {"RLE8", fields(4, 4, 8, 0, 1), DIB_COMPRESSED},
        {"RLE4", fields(4, 4, 4, 0, 2), DIB_COMPRESSED},
        {"bit fields", fields(4, 4, 32, 0, 3), DIB_COMPRESSED},
        {"PNG inside", fields(4, 4, 0, 0, 5), DIB_COMPRESSED},
        {"core header", fields(4, 4, 24, 0, 0, 12), DIB_BAD_INFO_SIZE},
        {"info size huge", fields(4, 4, 24, 0, 0, 0xFFFFFFFFu), DIB_BAD_INFO_SIZE},
        {"info size 125", fields(4, 4, 24, 0, 0, 125), DIB_BAD_INFO_SIZE},
        {"bit count 0", fields(4, 4, 0), DIB_BAD_BIT_COUNT},
        {"bit count 2", fields(4, 4, 2), DIB_BAD_BIT_COUNT},
        {"bit count 64", fields(4, 4, 64), DIB_BAD_BIT_COUNT},
        {"negative width", fields(-256, 256, 24), DIB_BAD_SIZE},
        {"zero width", fields(0, 256, 24), DIB_BAD_SIZE},
        {"zero height", fields(256, 0, 24), DIB_BAD_SIZE},
        {"most negative width", fields(INT_MIN, 1, 24), DIB_BAD_SIZE},
        // stride × height past 32 bits, and a width whose stride alone wraps.
        {"65536 square 24-bit", fields(65536, 65536, 24), DIB_TOO_LARGE},
        {"most negative height", fields(256, INT_MIN, 24), DIB_TOO_LARGE},
        {"widest 32-bit row", fields(INT_MAX, 1, 32), DIB_TOO_LARGE},
        // Row and height both near their limits: the product passes 64 bits.
        {"widest row, most negative height", fields(INT_MAX, INT_MIN, 32), DIB_TOO_LARGE},
        {"just past 2 GiB", fields(16384, 32769, 32), DIB_TOO_LARGE},
        {"biClrUsed 2^32-1", fields(4, 4, 8, 0xFFFFFFFFu), DIB_TOO_LARGE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DibLayout layout;
        EXPECT_EQ(0, dib_layout(&c.in, &layout));
        EXPECT_EQ(0, layout.supported);
        EXPECT_EQ(c.why, layout.refusal);
        EXPECT_EQ(0, layout.image_size);
    }
}

TEST(DibLayout, LargestSizeThatFitsIsStillLaidOut)
{
    // 16384 × 32767 × 4 bytes = 2,147,418,112: below the 32-bit limit.
    DibHeaderFields in = fields(16384, 32767, 32);
    DibLayout layout;
    ASSERT_EQ(1, dib_layout(&in, &layout));
    EXPECT_EQ(65536, layout.stride);
    EXPECT_EQ(2147418112, layout.image_size);
}

TEST(DibLayout, ColourCountFollowsTheBitDepth)
{
    const int depths[][2] = {{1, 2}, {4, 16}, {8, 256}, {16, 0}, {24, 0}, {32, 0}, {0, 0}, {2, 0}, {7, 0}};
    for (const auto &d : depths)
        EXPECT_EQ(d[1], dib_colour_count(d[0])) << "bits " << d[0];
}

void put32(unsigned char *p, unsigned v)
{
    for (int i = 0; i < 4; i++)
        p[i] = (unsigned char)(v >> (8 * i));
}

TEST(DibLayoutFromBytes, ReadsTheFieldsLittleEndianAtTheirOffsets)
{
    unsigned char header[54] = {'B', 'M'};
    put32(header + 14, 40);
    put32(header + 18, 255);
    put32(header + 22, (unsigned)-7);
    header[26] = 1;
    header[28] = 8;
    put32(header + 30, 0);
    put32(header + 46, 16);
    DibHeaderFields f;
    DibLayout layout;
    ASSERT_EQ(1, dib_layout_from_bytes(header, sizeof header, &f, &layout));
    EXPECT_EQ(40u, f.info_size);
    EXPECT_EQ(255, f.width);
    EXPECT_EQ(-7, f.height);
    EXPECT_EQ(8, f.bit_count);
    EXPECT_EQ(16u, f.colours_used);
    EXPECT_EQ(256, layout.stride);
    EXPECT_EQ(7, layout.rows);
    EXPECT_EQ(118, layout.pixel_offset);
    // The file header is never looked at: neither "BM" nor bfOffBits.
    header[0] = 'X';
    put32(header + 10, 4000);
    ASSERT_EQ(1, dib_layout_from_bytes(header, sizeof header, &f, &layout));
    EXPECT_EQ(118, layout.pixel_offset);
}

TEST(DibLayoutFromBytes, AHeaderShorterThan54BytesIsRefused)
{
    unsigned char header[54] = {};
    DibHeaderFields f;
    DibLayout layout;
    for (int length : {0, 13, 14, 53}) {
        EXPECT_EQ(0, dib_layout_from_bytes(header, length, &f, &layout)) << length;
        EXPECT_EQ(DIB_SHORT_HEADER, layout.refusal);
    }
    EXPECT_EQ(0, dib_layout_from_bytes(nullptr, 54, &f, &layout));
}

}  // namespace
