// The splash picture's header arithmetic, played through as the loader uses
// it over the input as the whole file: the header copy has room for 256
// colours, the pixel memory is what the platform would allocate for the
// header it is given, and every read goes through ASan-checked buffers.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "core/dib_layout.h"

namespace {

const int HEADER_COPY_BYTES = BMP_INFO_HEADER_BYTES + BMP_MAX_COLOURS * 4;
const int64_t LARGEST_MODELLED_ALLOCATION = 1 << 22;

// Reads up to `count` bytes at `*offset` of the file, like a short ReadFile.
void read_up_to(const uint8_t *file, size_t size, size_t *offset, uint8_t *out, int count)
{
    if (count < 0)
        __builtin_trap();
    size_t available = *offset < size ? size - *offset : 0;
    size_t n = (size_t)count < available ? (size_t)count : available;
    if (n)
        memcpy(out, file + *offset, n);
    *offset += (size_t)count;   // a short read leaves the pointer past the end too
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DibHeaderFields fields;
    DibLayout layout;
    int supported = dib_layout_from_bytes(data, (int)size, &fields, &layout);
    if (supported != layout.supported)
        __builtin_trap();
    if (size < BMP_HEADER_BYTES) {
        if (supported || layout.refusal != DIB_SHORT_HEADER)
            __builtin_trap();
        return 0;
    }
    if (!supported) {
        if (layout.refusal == DIB_SUPPORTED)
            __builtin_trap();
        return 0;
    }

    // The layout as a picture the platform can take.
    if (fields.info_size < 40 || fields.info_size > 124 || fields.compression != 0
        || fields.width <= 0 || fields.height == 0)
        __builtin_trap();
    int64_t least_stride = ((int64_t)fields.width * fields.bit_count + 7) / 8;
    if (layout.stride % 4 != 0 || layout.stride < least_stride || layout.stride > least_stride + 3)
        __builtin_trap();
    int64_t rows = fields.height < 0 ? -(int64_t)fields.height : fields.height;
    if (layout.rows != rows || (int64_t)layout.image_size != (int64_t)layout.stride * layout.rows
        || layout.image_size <= 0)
        __builtin_trap();
    if (layout.colour_count != dib_colour_count(fields.bit_count)
        || layout.table_entries < 0 || layout.table_entries > layout.colour_count
        || layout.header_colours_used < 0 || layout.header_colours_used > layout.table_entries
        || layout.header_rest_bytes != (int)fields.info_size - 40
        || layout.surplus_table_bytes < 0 || layout.surplus_table_bytes % 4 != 0)
        __builtin_trap();
    // The platform reads biClrUsed entries, or the depth's full count when it
    // is 0: both within the header copy, and a 0 only when the full table was stored.
    if ((layout.header_colours_used == 0 && layout.table_entries != layout.colour_count)
        || layout.colour_count > BMP_MAX_COLOURS)
        __builtin_trap();

    // The loader's reads, in file order.
    size_t offset = BMP_HEADER_BYTES + (size_t)layout.header_rest_bytes;
    uint8_t *header_copy = (uint8_t *)calloc(1, HEADER_COPY_BYTES);
    read_up_to(data, size, &offset, header_copy + BMP_INFO_HEADER_BYTES, layout.table_entries * 4);
    offset += (size_t)layout.surplus_table_bytes;
    if ((long long)offset != layout.pixel_offset)
        __builtin_trap();   // the pixels would be read from the wrong place
    free(header_copy);

    // The platform allocates bmWidthBytes × rows for the header it is given;
    // the loader reads min(image_size, that). Modelled up to a few MB.
    int64_t allocation = (((int64_t)fields.width * fields.bit_count + 31) / 32 * 4) * rows;
    if (allocation < layout.image_size)
        __builtin_trap();
    if (allocation <= LARGEST_MODELLED_ALLOCATION) {
        uint8_t *bits = (uint8_t *)malloc((size_t)allocation);
        int read = layout.image_size < allocation ? layout.image_size : (int)allocation;
        read_up_to(data, size, &offset, bits, read);
        free(bits);
    }
    return 0;
}
