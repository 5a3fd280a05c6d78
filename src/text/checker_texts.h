// The texts of medium-check's own findings, where the installer shows none
// (where it shows one, the finding is that text, from text/messages.h).
// Code page 932; a text with %s, %d, %u, %lld or %llu is a printf pattern.
#pragma once

enum class CheckerText : int {
    truncated,
    keyword_read_late,
    comment_too_long,
    bitmap_short_header,
    bitmap_info_size,
    bitmap_compressed,
    bitmap_bit_count,
    bitmap_size_unreadable,
    bitmap_not_shown,
    bitmap_not_256,
    bitmap_pixel_offset,
    bitmap_pixels_short,
    source_is_file,
    target_outside,
    program_not_copied,
    shortcut_name_outside,
    shortcut_target_outside,
    shortcut_target_not_copied,
    size_mismatch,
    check_file_missing,
    list_end,
    list_gap,
    image_on_disc,
    image_name_too_long,
    image_name_character,
    image_name_case,
    image_folder_too_deep,
    summary,
    count
};

struct CheckerTextEntry {
    CheckerText id;         // its own place in CHECKER_TEXTS
    const char *text;
};

extern const CheckerTextEntry CHECKER_TEXTS[(int)CheckerText::count];

inline const char *text_of(CheckerText id)
{
    return CHECKER_TEXTS[(int)id].text;
}
