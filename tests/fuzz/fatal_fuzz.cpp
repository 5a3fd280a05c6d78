#include "fuzz/fuzz_support.h"
#include "script/fatal.h"

jmp_buf fuzz_fatal_return;
int fuzz_fatal_count;

// The readers never hold resources across a call that can fail, so jumping
// out of them leaks nothing.
void fatal_error(Msg, const char *)
{
    fuzz_fatal_count++;
    longjmp(fuzz_fatal_return, 1);
}

void show_unowned_message(const char *, const char *) {}
