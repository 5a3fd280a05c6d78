#include "launcher/splash_bitmap.h"

#include <stdlib.h>
#include <string.h>

#include "boundary/wide_text.h"

// Zero-initialised and without a destructor: nothing is registered for it
// behind the start-up code's back.
SplashBitmap splash_bitmap;

static int read_exactly(HANDLE file, void *buffer, DWORD size)
{
    DWORD got = 0;
    return ReadFile(file, buffer, size, &got, NULL) && got == size;
}

// Reads up to `size` bytes; a short file leaves the rest as it was (zero).
static void read_up_to(HANDLE file, void *buffer, DWORD size)
{
    DWORD got = 0;
    if (size > 0)
        ReadFile(file, buffer, size, &got, NULL);
}

static int skip_bytes(HANDLE file, int count)
{
    if (count <= 0)
        return 1;
    LARGE_INTEGER distance;
    distance.QuadPart = count;
    return SetFilePointerEx(file, distance, NULL, FILE_CURRENT);
}

// Bytes of pixel memory the platform actually gave the DIB section; the read
// never goes beyond them even if its arithmetic differed from ours.
static int dib_section_bytes(HBITMAP bitmap)
{
    DIBSECTION section;
    if (GetObjectW(bitmap, sizeof section, &section) != (int)sizeof section)
        return 0;
    long long bytes = (long long)section.dsBm.bmWidthBytes * section.dsBm.bmHeight;
    return bytes > 0 && bytes <= 0x7fffffff ? (int)bytes : 0;
}

void DibImage::release()
{
    if (!header_copy)
        return;
    DeleteObject(bitmap);
    free(header_copy);
    header_copy = NULL;
    colour_table = NULL;
    bitmap = NULL;
    bits = NULL;
}

int DibImage::load(const char *file_name)
{
    release();
    // A short or failed read must not leave an earlier picture's header here.
    memset(&file_header, 0, sizeof file_header);
    memset(&info_header, 0, sizeof info_header);
    width = height = image_size = colour_count = 0;
    layout = DibLayout{};

    Wide name(file_name);
    if (GetFileAttributesW(name) == INVALID_FILE_ATTRIBUTES)
        return 0;
    HANDLE file = CreateFileW(name, GENERIC_READ, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;

    unsigned char header[BMP_HEADER_BYTES];
    DibHeaderFields fields;
    int complete = read_exactly(file, header, sizeof header);
    dib_layout_from_bytes(header, complete ? (int)sizeof header : 0, &fields, &layout);
    if (complete) {
        memcpy(&file_header, header, sizeof file_header);
        memcpy(&info_header, header + BMP_FILE_HEADER_BYTES, sizeof info_header);
    }
    width = info_header.biWidth;
    height = info_header.biHeight;
    colour_count = layout.colour_count;
    image_size = layout.image_size;
    if (!layout.supported || !skip_bytes(file, layout.header_rest_bytes)) {
        CloseHandle(file);
        return 1;
    }

    // Room for a full table whatever the depth, so the platform never looks
    // past the copy; the header it sees says exactly what was stored.
    header_copy = (BITMAPINFO *)calloc(1, sizeof(BITMAPINFOHEADER) + BMP_MAX_COLOURS * sizeof(RGBQUAD));
    if (!header_copy) {
        CloseHandle(file);
        return 1;
    }
    header_copy->bmiHeader = info_header;
    header_copy->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header_copy->bmiHeader.biClrUsed = (DWORD)layout.header_colours_used;
    colour_table = header_copy->bmiColors;
    read_up_to(file, colour_table, (DWORD)(layout.table_entries * sizeof(RGBQUAD)));
    skip_bytes(file, layout.surplus_table_bytes);

    bitmap = CreateDIBSection(NULL, header_copy, DIB_RGB_COLORS, &bits, NULL, 0);
    if (bitmap && bits) {
        int room = dib_section_bytes(bitmap);
        int size = image_size < room ? image_size : room;
        read_up_to(file, bits, (DWORD)size);
    }
    CloseHandle(file);
    return 1;
}

void SplashBitmap::release()
{
    if (!memory_dc)
        return;
    DeleteDC(memory_dc);
    image.release();
    memory_dc = NULL;
}

void SplashBitmap::load(const char *file_name)
{
    release();
    image.load(file_name);
    memory_dc = CreateCompatibleDC(NULL);
    if (memory_dc && image.bitmap)
        SelectObject(memory_dc, image.bitmap);
}

void release_splash_at_exit(void)
{
    splash_bitmap.release();
    splash_bitmap.image.release();
}
