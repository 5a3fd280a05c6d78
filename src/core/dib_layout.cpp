#include "core/dib_layout.h"

#include <stdint.h>

int dib_colour_count(int bit_count)
{
    switch (bit_count) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

static int known_bit_count(int bit_count)
{
    return bit_count == 1 || bit_count == 4 || bit_count == 8
        || bit_count == 16 || bit_count == 24 || bit_count == 32;
}

static int refuse(DibLayout *layout, DibRefusal why)
{
    layout->supported = 0;
    layout->refusal = why;
    return 0;
}

int dib_layout(const DibHeaderFields *fields, DibLayout *layout)
{
    *layout = DibLayout{};
    layout->colour_count = dib_colour_count(fields->bit_count);
    if (fields->info_size < BMP_INFO_HEADER_BYTES || fields->info_size > BMP_LONGEST_INFO_HEADER)
        return refuse(layout, DIB_BAD_INFO_SIZE);
    if (fields->compression != 0)
        return refuse(layout, DIB_COMPRESSED);
    if (!known_bit_count(fields->bit_count))
        return refuse(layout, DIB_BAD_BIT_COUNT);
    if (fields->width <= 0 || fields->height == 0)
        return refuse(layout, DIB_BAD_SIZE);

    // Widened arithmetic: a width or height near the 32-bit limits must not
    // wrap into a small or negative size.
    int64_t stride = ((int64_t)fields->width * fields->bit_count + 31) / 32 * 4;
    int64_t rows = fields->height < 0 ? -(int64_t)fields->height : (int64_t)fields->height;
    // Both factors can exceed 32 bits, so their product could pass 64: the
    // limit is tested by division, before multiplying.
    if (stride > INT32_MAX / rows)
        return refuse(layout, DIB_TOO_LARGE);
    int64_t image_size = stride * rows;

    // A colour table is read only for the depths that call for one; entries
    // beyond what the depth can index are skipped, not stored.
    int64_t entries_in_file = 0;
    int64_t kept = 0;
    if (layout->colour_count != 0) {
        entries_in_file = fields->colours_used != 0 ? (int64_t)fields->colours_used
                                                    : (int64_t)layout->colour_count;
        kept = entries_in_file < layout->colour_count ? entries_in_file : layout->colour_count;
    }
    int64_t surplus = 4 * (entries_in_file - kept);
    int64_t pixel_offset = BMP_FILE_HEADER_BYTES + (int64_t)fields->info_size + 4 * entries_in_file;
    if (surplus > INT32_MAX)
        return refuse(layout, DIB_TOO_LARGE);

    layout->supported = 1;
    layout->refusal = DIB_SUPPORTED;
    layout->table_entries = (int)kept;
    layout->header_rest_bytes = (int)(fields->info_size - BMP_INFO_HEADER_BYTES);
    layout->surplus_table_bytes = (int)surplus;
    layout->header_colours_used = (layout->colour_count != 0 && fields->colours_used != 0) ? (int)kept : 0;
    layout->stride = (int)stride;
    layout->rows = (int)rows;
    layout->image_size = (int)image_size;
    layout->pixel_offset = pixel_offset;
    return 1;
}

static uint32_t read_u32(const unsigned char *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static uint16_t read_u16(const unsigned char *p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}

int dib_layout_from_bytes(const unsigned char *bytes, int length,
                          DibHeaderFields *fields, DibLayout *layout)
{
    *fields = DibHeaderFields{};
    if (!bytes || length < BMP_HEADER_BYTES) {
        *layout = DibLayout{};
        return refuse(layout, DIB_SHORT_HEADER);
    }
    fields->file_pixel_offset = read_u32(bytes + 10);
    const unsigned char *info = bytes + BMP_FILE_HEADER_BYTES;
    fields->info_size = read_u32(info);
    fields->width = (int32_t)read_u32(info + 4);
    fields->height = (int32_t)read_u32(info + 8);
    fields->bit_count = read_u16(info + 14);
    fields->compression = read_u32(info + 16);
    fields->colours_used = read_u32(info + 32);
    return dib_layout(fields, layout);
}
