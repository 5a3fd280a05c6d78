#include "text.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

// 1 and the whole of `text` converted; 0 at the first sequence that does not
// convert, unless `replace` puts '?' in its place.
// One converter each way for the whole run: a tree of thousands of names
// would spend most of its reading time opening them again.
static iconv_t converter(const char *to)
{
    static iconv_t to_cp932 = iconv_open("CP932", "UTF-8");
    static iconv_t to_utf8 = iconv_open("UTF-8", "CP932");
    iconv_t cd = strcmp(to, "CP932") == 0 ? to_cp932 : to_utf8;
    if (cd != (iconv_t)-1)
        iconv(cd, nullptr, nullptr, nullptr, nullptr);     // a fresh start
    return cd;
}

static int convert(const std::string &text, const char *to, int replace, std::string *out)
{
    iconv_t cd = converter(to);
    if (cd == (iconv_t)-1)
        return 0;
    out->clear();
    char *in = const_cast<char *>(text.data());
    size_t in_left = text.size();
    int whole = 1;
    while (in_left > 0) {
        char buffer[1024];
        char *o = buffer;
        size_t o_left = sizeof buffer;
        size_t r = iconv(cd, &in, &in_left, &o, &o_left);
        out->append(buffer, (size_t)(o - buffer));
        if (r == (size_t)-1 && errno != E2BIG) {
            if (!replace) {
                whole = 0;
                break;
            }
            *out += '?';
            in++;
            in_left--;
        }
    }
    return whole;
}

int utf8_to_cp932(const std::string &text, std::string *out)
{
    std::string back;
    return convert(text, "CP932", 0, out) && convert(*out, "UTF-8", 0, &back) && back == text;
}

std::string cp932_to_utf8_text(const std::string &text)
{
    std::string out;
    convert(text, "UTF-8", 1, &out);
    return out;
}

std::string crlf_lines(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\n')
            out += '\r';
        out += text[i];
    }
    return out;
}
