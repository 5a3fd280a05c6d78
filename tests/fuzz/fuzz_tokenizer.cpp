// Every scanner operation from every position of an arbitrary text, with
// output buffers exactly as large as the callers' (a 260-byte heap block, so
// AddressSanitizer sees a byte written past it).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "fuzz/fuzz_support.h"
#include "script/tokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    char *text = (char *)malloc(size + 1);
    memcpy(text, data + 1, size - 1);
    text[size - 1] = '\0';
    int capacity = (data[0] % 32 == 0) ? 1024 : 260;
    char *out = (char *)malloc((size_t)capacity);
    int length = (int)strlen(text);
    for (int start = 0; start <= length; start++) {
        for (int op = 0; op < 5; op++) {
            if (setjmp(fuzz_fatal_return))
                continue;
            int used = 0;
            switch (op) {
            case 0: used = skip_blank(text + start); break;
            case 1: used = read_word(text + start, out, capacity); break;
            case 2: used = read_quoted(text + start, out, capacity); break;
            case 3: used = expect_comma(text + start); break;
            case 4: used = expect_arrow(text + start); break;
            }
            if (used < 0 || start + used > length)
                abort();
        }
    }
    free(out);
    free(text);
    return 0;
}
