// Path arithmetic that needs no platform: the walk over a path's folder
// separators that never takes the second byte of a double-byte character
// for a backslash.
#pragma once

typedef int (*LeadBytePredicate)(unsigned char byte);

// Lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
int cp932_lead_byte(unsigned char byte);

// From index `i`, the index of the next '\' or of the terminating zero,
// stepping over double-byte characters as `is_lead` judges them.
int next_separator(const char *path, int i, LeadBytePredicate is_lead);
