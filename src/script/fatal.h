// The program's one way out on an error it cannot recover from, and the one
// unowned notice the portable readers need. Each has a Win32 definition (a
// message box) and a native one used by the native tests (standard error).
#pragma once

#include "text/messages.h"

// Shows `text`, composed from the pattern of `kind` (a fatal error or a name
// of text/messages.h), captioned as `kind` is, with no owner window, then
// ends the process with exit code 0 through exit(), so the exit handlers run.
[[noreturn]] void fatal_error(Msg kind, const char *text);

// The same with the text of `kind` as it stands.
[[noreturn]] inline void fatal_error(Msg kind)
{
    fatal_error(kind, text_of(kind));
}

// Shows `text` captioned `caption` with no owner window and OK only.
void show_unowned_message(const char *text, const char *caption);
