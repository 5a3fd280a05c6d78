// This machine's texts (UTF-8 names and arguments) and code page 932, the
// control files' and the installer's, both ways and strictly: a text that
// does not come back unchanged is refused, never replaced by a look-alike.
#pragma once

#include <string>

// 1 and `text` in code page 932 when 932 holds every character of it and
// reading it back gives the same text.
int utf8_to_cp932(const std::string &text, std::string *out);

// Code page 932 text as UTF-8; a byte sequence 932 does not map becomes '?'.
std::string cp932_to_utf8_text(const std::string &text);

// `text` with every line ending in CR LF (LF and CR LF both taken as one).
std::string crlf_lines(const std::string &text);
