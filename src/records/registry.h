// The per-user record of an install under HKEY_CURRENT_USER. Every operation
// reports 1 for success and 0 for failure and shows nothing to the user.
#pragma once

#include <wchar.h>

// Reads a value into `buffer` (`size` bytes) and always leaves it terminated
// after the data, so a value stored without its zero reads back as a string.
int reg_read_value(char *buffer, const char *subkey, const char *name, int size);

// A text value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) as stored, in UTF-16
// with a zero after its whole units, freed with free(); NULL when missing,
// of another type, or there is no memory.
wchar_t *reg_read_text(const char *subkey, const char *name);

// Stores `text` as REG_SZ whose data length is the text's length (no zero),
// creating the key and the keys above it when missing.
int reg_write_value(const char *text, const char *subkey, const char *name);

// The same for the first `length` bytes of `text`, which need no zero after them.
int reg_write_bytes(const char *text, int length, const char *subkey, const char *name);

int reg_delete_value(const char *subkey, const char *name);
int reg_delete_key(const char *subkey);

// Deletes the key only when it has neither subkeys nor values; a key that
// stays because it still has content counts as success.
int reg_delete_key_if_empty(const char *subkey);

// Deletes instopt, instdrv, exepath and gamedir of product_key and then the
// product and brand keys where they are left empty. "software" itself is
// never touched: each key goes only when it is longer than "software\" (the
// product's key only with a title).
void remove_install_record(void);
