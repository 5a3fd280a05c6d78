// The one byte rule of code page 932 that every walk over its texts needs: a
// lead byte starts a double-byte character, whose second byte may look like
// a backslash or any other ASCII byte.
#pragma once

// Lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
int cp932_lead_byte(unsigned char byte);
