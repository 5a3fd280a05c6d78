// Builds BMP files byte by byte for the splash tests, including the broken
// ones: any header field can be set to what a careless or hostile file holds.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <functional>
#include <string>
#include <vector>
#include "boundary/open_file.h"

struct BmpRecipe {
    int width = 256;
    int height = 256;                 // negative: rows stored top first
    int bits = 24;
    uint32_t compression = 0;
    uint32_t colours_used = 0;        // biClrUsed as written
    uint32_t info_size = 40;          // biSize; the header is padded to it
    int table_entries = -1;           // entries written; -1: as a reader expects
    int gap = 0;                      // bytes between the table and the pixels
    long truncate_to = -1;            // cut the file to this many bytes
    // Colour index (depths with a table) or 0xRRGGBB at (x, y), y = 0 on top.
    std::function<uint32_t(int x, int y)> pixel = [](int, int) { return 0u; };
    std::function<uint32_t(int i)> palette = [](int i) { return (uint32_t)(i * 0x010101); };
};

inline void bmp_put(std::string &out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out += (char)(value >> (8 * i));
}

inline int bmp_table_entries(const BmpRecipe &s)
{
    if (s.table_entries >= 0)
        return s.table_entries;
    if (s.bits > 8)
        return 0;
    return s.colours_used ? (int)s.colours_used : 1 << s.bits;
}

inline std::string bmp_bytes(const BmpRecipe &s)
{
    int entries = bmp_table_entries(s);
    long long stride = ((long long)s.width * s.bits + 31) / 32 * 4;
    long long rows = s.height < 0 ? -(long long)s.height : (long long)s.height;
    std::string pixels;
    // A header claiming a nonsensical or enormous block gets zeros up to the
    // cut instead (none without one): gigabytes are never built.
    bool claimed_only = stride <= 0 || stride * rows > (64 << 20);
    if (claimed_only && s.truncate_to >= 0)
        pixels.assign((size_t)s.truncate_to, '\0');
    for (long long r = 0; !claimed_only && r < rows; r++) {
        int y = (int)(s.height < 0 ? r : rows - 1 - r);      // file order
        std::string row;
        uint32_t acc = 0;
        int acc_bits = 0;
        for (int x = 0; x < s.width; x++) {
            uint32_t v = s.pixel(x, y);
            if (s.bits >= 16) {
                if (s.bits == 16)
                    bmp_put(row, ((v >> 19 & 31) << 10) | ((v >> 11 & 31) << 5) | (v >> 3 & 31), 2);
                else
                    bmp_put(row, v, s.bits / 8);
                continue;
            }
            acc = (acc << s.bits) | (v & ((1u << s.bits) - 1));
            acc_bits += s.bits;
            if (acc_bits == 8) {
                row += (char)acc;
                acc = 0;
                acc_bits = 0;
            }
        }
        if (acc_bits)
            row += (char)(acc << (8 - acc_bits));
        row.resize((size_t)stride, '\0');
        pixels += row;
    }
    std::string out;
    uint32_t pixel_offset = 14 + s.info_size + 4 * entries + s.gap;
    out += "BM";
    bmp_put(out, pixel_offset + (uint32_t)pixels.size(), 4);
    bmp_put(out, 0, 4);
    bmp_put(out, pixel_offset, 4);
    bmp_put(out, s.info_size, 4);
    bmp_put(out, (uint32_t)s.width, 4);
    bmp_put(out, (uint32_t)s.height, 4);
    bmp_put(out, 1, 2);
    bmp_put(out, (uint32_t)s.bits, 2);
    bmp_put(out, s.compression, 4);
    bmp_put(out, (uint32_t)pixels.size(), 4);
    bmp_put(out, 2835, 4);
    bmp_put(out, 2835, 4);
    bmp_put(out, s.colours_used, 4);
    bmp_put(out, 0, 4);
    if (s.info_size > 40)
        out.append(s.info_size - 40, '\x55');     // a longer header's rest
    for (int i = 0; i < entries; i++) {
        bmp_put(out, s.palette(i) & 0xFFFFFF, 4);    // blue, green, red, 0
    }
    out.append((size_t)s.gap, '\x77');
    out += pixels;
    if (s.truncate_to >= 0 && (size_t)s.truncate_to < out.size())
        out.resize((size_t)s.truncate_to);
    return out;
}

inline bool write_bmp(const char *path, const BmpRecipe &s)
{
    std::string bytes = bmp_bytes(s);
    FILE *f = open_file(path, "wb");
    if (!f)
        return false;
    size_t n = fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
    return n == bytes.size();
}

// The COLORREF (0x00BBGGRR) that GetPixel reports for 0xRRGGBB.
inline uint32_t colorref_of(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}
