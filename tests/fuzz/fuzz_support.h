// What a fuzz target needs around the portable readers: fatal_error comes
// back here instead of ending the process, so each input is one run.
#pragma once

#include <setjmp.h>

extern jmp_buf fuzz_fatal_return;
extern int fuzz_fatal_count;
