// The launcher's 256 × 256 splash picture: installer.bmp read straight into a
// DIB section, kept selected into a memory DC for every paint. The program
// holds exactly one SplashBitmap; it is freed by an exit handler, not by a
// destructor, so that its clean-up runs at a fixed place among the handlers.
#pragma once

#include <windows.h>

#include "core/dib_layout.h"

struct DibImage {
    BITMAPFILEHEADER file_header;
    BITMAPINFOHEADER info_header;
    BITMAPINFO *header_copy;         // owned; present exactly while loaded
    RGBQUAD *colour_table;           // inside header_copy
    void *bits;                      // the DIB section's pixel memory
    HBITMAP bitmap;
    int width;
    int height;
    int image_size;
    int colour_count;
    DibLayout layout;                // how the file was (or was not) read

    // 0 when the file does not exist, 1 once it does, whatever its contents
    // give: a picture the loader cannot take safely leaves no bitmap.
    int load(const char *file_name);
    void release();
};

struct SplashBitmap {
    HDC memory_dc;
    DibImage image;

    // Releases what it holds, loads the file and selects the picture into a
    // new memory DC; the DC exists afterwards whether or not a picture does.
    void load(const char *file_name);
    void release();
};

extern SplashBitmap splash_bitmap;

// The exit handler: the DC first (the bitmap still selected), then the bitmap.
void release_splash_at_exit(void);
