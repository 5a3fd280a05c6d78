#include "install/path_scan.h"

int cp932_lead_byte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

int next_separator(const char *path, int i, LeadBytePredicate is_lead)
{
    while (path[i] != '\\' && path[i] != '\0') {
        if (is_lead((unsigned char)path[i]) && path[i + 1] != '\0')
            i += 2;
        else
            i += 1;
    }
    return i;
}
