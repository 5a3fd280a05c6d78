// Creates every missing folder along a path, from the drive downwards.
#pragma once

// 1 when every folder along `path` exists afterwards; 0 as soon as one could
// not be created (those created before it stay), and 0 at once, creating
// nothing, for a path of 260 bytes or more.
int make_path(const char *path);

// Lead bytes of the system's ANSI code page (a LeadBytePredicate).
int ansi_lead_byte(unsigned char byte);
