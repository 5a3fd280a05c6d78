// Path arithmetic that needs no platform: the walk over a path's folder
// separators that never takes the second byte of a double-byte character
// for a backslash.
#pragma once

#include "text/cp932.h"

typedef int (*LeadBytePredicate)(unsigned char byte);

// From index `i`, the index of the next '\' or of the terminating zero,
// stepping over double-byte characters as `is_lead` judges them.
int next_separator(const char *path, int i, LeadBytePredicate is_lead);

// The index of the last '\' of `path` that is no second byte of a
// double-byte character, or -1.
int last_separator(const char *path, LeadBytePredicate is_lead);

// 1 when `path` ends in such a '\': a name ending in a character like 'ソ'
// (0x83 0x5C) does not.
int ends_with_separator(const char *path, LeadBytePredicate is_lead);

// The depth of a plain absolute path: a drive letter, ":\" and then named
// components (a trailing separator allowed). -1 for anything else: a relative
// or network path, an empty component inside it, a ':' after the drive's, or
// a component made of dots and blanks only ("." "..", "...", ". "), which
// the platform may fold into a step up. '/' separates like '\', as it does
// for the platform.
int plain_path_depth(const char *path, LeadBytePredicate is_lead);

// 1 when `relative`, appended to a folder, names that folder or a place below
// it: no drive, no leading separator and no component that plain_path_depth
// refuses. What an install makes anywhere else is out of
// the uninstall's reach.
int stays_inside(const char *relative, LeadBytePredicate is_lead);

// 1 when `path` is `folder` itself or lies below it (byte for byte; `folder`
// with or without its trailing '\').
int path_within(const char *path, const char *folder, LeadBytePredicate is_lead);
