// comment.txt and installer.bmp: what the options dialog and the launcher
// would show of them.
#include <string>

#include "checker.h"
#include "launcher/dib_layout.h"
#include "text/checker_texts.h"

void check_comment(Checker &c)
{
    std::string bytes;
    int more = 0;
    if (!medium_read(c.medium, "comment.txt", 0, COMMENT_BYTES, &bytes, &more) || !more)
        return;
    c.text = bytes.c_str();
    c.file = "comment.txt";
    add_at(c, 0, bytes.c_str() + bytes.size(), "comment-too-long", text_of(CheckerText::comment_too_long));
}

static std::string bitmap_refusal(const DibHeaderFields &fields, DibRefusal refusal)
{
    switch (refusal) {
    case DIB_SHORT_HEADER:
        return text_of(CheckerText::bitmap_short_header);
    case DIB_BAD_INFO_SIZE:
        return format(text_of(CheckerText::bitmap_info_size), fields.info_size);
    case DIB_COMPRESSED:
        return text_of(CheckerText::bitmap_compressed);
    case DIB_BAD_BIT_COUNT:
        return format(text_of(CheckerText::bitmap_bit_count), fields.bit_count);
    default:
        return format(text_of(CheckerText::bitmap_size_unreadable), fields.width, fields.height);
    }
}

void check_bitmap(Checker &c)
{
    unsigned long long size = 0;
    if (medium_entry(c.medium, "installer.bmp", &size) != ENTRY_FILE)
        return;
    std::string bytes;
    int more = 0;
    medium_read(c.medium, "installer.bmp", 0, BMP_HEADER_BYTES, &bytes, &more);
    DibHeaderFields fields;
    DibLayout layout;
    const char *file = "installer.bmp";
    if (!dib_layout_from_bytes((const unsigned char *)bytes.data(), (int)bytes.size(), &fields, &layout)) {
        add_finding(c, 0, file, 0, 0, "bitmap",
                    bitmap_refusal(fields, layout.refusal) + text_of(CheckerText::bitmap_not_shown));
        return;
    }
    if (fields.width != 256 || layout.rows != 256)
        add_finding(c, 0, file, 0, 0, "bitmap", format(text_of(CheckerText::bitmap_not_256), fields.width, layout.rows));
    long long offset = fields.file_pixel_offset;
    if (offset != layout.pixel_offset)
        add_finding(c, 0, file, 0, 0, "bitmap",
                    format(text_of(CheckerText::bitmap_pixel_offset), offset, layout.pixel_offset));
    else if ((long long)size < layout.pixel_offset + layout.image_size)
        add_finding(c, 0, file, 0, 0, "bitmap",
                    format(text_of(CheckerText::bitmap_pixels_short), layout.pixel_offset + layout.image_size, size));
}
