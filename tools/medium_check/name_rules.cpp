#include "name_rules.h"

#include <string.h>

#include "text/cp932.h"

long utf8_saved_at(const std::string &bytes)
{
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return 0;
    long first = -1;
    for (size_t i = 0; i < bytes.size();) {
        unsigned char c = (unsigned char)bytes[i];
        size_t length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                                                              : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        if (length == 0)
            return -1;
        // A character cut by the end of what was read counts as whole.
        for (size_t k = 1; k < length && i + k < bytes.size(); k++)
            if (((unsigned char)bytes[i + k] & 0xC0) != 0x80)
                return -1;
        if (length > 1 && first < 0)
            first = (long)i;
        i += length;
    }
    return first;
}

long bare_line_feed_at(const std::string &bytes)
{
    for (size_t i = 0; i < bytes.size(); i++)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            return (long)i;
    return -1;
}

long file_name_refused_at(const std::string &name)
{
    for (size_t i = 0; i < name.size(); i++) {
        if (cp932_lead_byte((unsigned char)name[i]) && i + 1 < name.size()) {
            i++;
            continue;
        }
        if (strchr("|<>:*?\"", name[i]) && name[i] != '\0')
            return (long)i;
    }
    return -1;
}

// Lower-case ASCII letters of `text`.
static std::string lower(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

int generic_check_file(const std::string &path)
{
    size_t slash = path.find_last_of('\\');
    std::string name = lower(slash == std::string::npos ? path : path.substr(slash + 1));
    for (const char *common : {"autorun.inf", "setup.exe", "readme.txt"})
        if (name == common)
            return 1;
    size_t dot = name.rfind('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    size_t digits = stem.find_last_not_of("0123456789") + 1;     // 0 when all digits (npos + 1)
    if (digits == stem.size())
        return 0;                                                  // no number at its end
    std::string word = stem.substr(0, digits);
    if (!word.empty() && strchr(" _-", word.back()))
        word.pop_back();
    for (const char *common : {"", "disc", "disk", "cd", "cdrom", "cd-rom", "dvd", "vol", "volume"})
        if (word == common)
            return 1;
    return 0;
}
