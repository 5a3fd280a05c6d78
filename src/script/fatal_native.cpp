// Native stand-ins for the message boxes, used by the native tests: each box
// becomes one line on standard error with its caption and text in hex, the
// same line the Win32 test robot prints for a real box.
#include "script/fatal.h"

#include <stdio.h>
#include <stdlib.h>

static void print_box(const char *caption, const char *text)
{
    fputs("BOX caption=", stderr);
    for (const unsigned char *p = (const unsigned char *)caption; *p; p++)
        fprintf(stderr, "%02X", *p);
    fputs(" text=", stderr);
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        fprintf(stderr, "%02X", *p);
    fputs(" owner=none\n", stderr);
}

void fatal_error(Msg kind, const char *text)
{
    print_box(caption_of(kind), text);
    exit(0);
}

void show_unowned_message(const char *text, const char *caption)
{
    print_box(caption, text);
}
