// Where the parts of an installer.bmp lie and how large they are, worked out
// from its first 54 bytes alone. The picture comes from the medium and is
// not trusted: every size here is computed so that the loader never reads or
// writes past a buffer, whatever the header says.
#pragma once

enum {
    BMP_FILE_HEADER_BYTES = 14,
    BMP_INFO_HEADER_BYTES = 40,
    BMP_HEADER_BYTES = BMP_FILE_HEADER_BYTES + BMP_INFO_HEADER_BYTES,
    BMP_LONGEST_INFO_HEADER = 124,   // the longest header version in use
    BMP_MAX_COLOURS = 256
};

// The fields of the info header that the loader acts on, and the file
// header's pixel offset, which it does not (medium-check reports it).
struct DibHeaderFields {
    unsigned int info_size;          // biSize
    int width;                       // biWidth
    int height;                      // biHeight; negative: rows top first
    int bit_count;                   // biBitCount
    unsigned int compression;        // biCompression
    unsigned int colours_used;       // biClrUsed
    unsigned int file_pixel_offset;  // bfOffBits
};

// Why a picture is refused (no picture is shown for it).
enum DibRefusal {
    DIB_SUPPORTED = 0,
    DIB_SHORT_HEADER,                // fewer than 54 bytes in the file
    DIB_BAD_INFO_SIZE,               // biSize below 40 or above 124
    DIB_COMPRESSED,                  // anything but BI_RGB, bit fields included
    DIB_BAD_BIT_COUNT,               // not 1, 4, 8, 16, 24 or 32
    DIB_BAD_SIZE,                    // width or height zero, width negative
    DIB_TOO_LARGE                    // stride × height beyond 32 bits
};

struct DibLayout {
    int supported;                   // 1 when a picture is to be made
    DibRefusal refusal;
    int colour_count;                // entries the bit depth calls for
    int table_entries;               // entries read into the header copy
    int header_rest_bytes;           // info header beyond 40 bytes, skipped
    int surplus_table_bytes;         // entries beyond colour_count, skipped
    int header_colours_used;         // biClrUsed handed to the platform
    int stride;                      // bytes per row, a multiple of 4
    int rows;                        // |height|
    int image_size;                  // stride × rows: pixel bytes read
    long long pixel_offset;          // file offset of the first pixel byte
};

// Colour entries that a bit depth calls for: 2, 16, 256, otherwise 0.
int dib_colour_count(int bit_count);

// Lays out a picture from its header fields; 1 when it is supported.
int dib_layout(const DibHeaderFields *fields, DibLayout *layout);

// Reads the fields from the first `length` bytes of a file (little-endian)
// and lays the picture out; a file shorter than 54 bytes is refused.
int dib_layout_from_bytes(const unsigned char *bytes, int length,
                          DibHeaderFields *fields, DibLayout *layout);
