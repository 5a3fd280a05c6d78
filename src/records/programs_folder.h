// Where the user's Start-menu programs live: read by the install to make the
// shortcuts and by the uninstall to know what it may remove there.
#pragma once

// The user's Programs folder as the shell's folder key gives it, into `out`
// (`size` bytes); 0 when it is not known.
int read_programs_folder(char *out, int size);
