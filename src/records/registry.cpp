#include "records/registry.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "boundary/wide_text.h"
#include "state/install_state.h"

static int open_subkey(const char *subkey, HKEY *key)
{
    HKEY user;
    if (RegOpenKeyW(HKEY_CURRENT_USER, NULL, &user) != ERROR_SUCCESS)
        return 0;
    LONG result = RegOpenKeyW(user, Wide(subkey), key);
    RegCloseKey(user);
    return result == ERROR_SUCCESS;
}

// The value's data as stored, read into whole UTF-16 units with a zero unit
// after them: an odd last byte (any program may store one) is dropped, never
// read past. NULL when missing.
static BYTE *query_value(HKEY key, const char *name, DWORD *type, DWORD *bytes)
{
    Wide wide_name(name);
    if (RegQueryValueExW(key, wide_name, NULL, type, NULL, bytes) != ERROR_SUCCESS)
        return NULL;
    size_t units = ((size_t)*bytes + 1) / sizeof(wchar_t);
    BYTE *data = (BYTE *)calloc(units + 1, sizeof(wchar_t));
    if (data && RegQueryValueExW(key, wide_name, NULL, type, data, bytes) == ERROR_SUCCESS) {
        ((wchar_t *)data)[*bytes / sizeof(wchar_t)] = L'\0';
        return data;
    }
    free(data);
    return NULL;
}

// A text value in code page 932 with its zero in `size` bytes: a value of
// size - 1 bytes, the longest the install writes, reads back whole.
static int text_into(const wchar_t *text, char *buffer, int size)
{
    char *narrow = cp932_copy(text);
    int fits = narrow && strlen(narrow) < (size_t)size;
    if (fits)
        memcpy(buffer, narrow, strlen(narrow) + 1);
    free(narrow);
    return fits;
}

static int is_text_type(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

wchar_t *reg_read_text(const char *subkey, const char *name)
{
    HKEY key;
    if (!open_subkey(subkey, &key))
        return NULL;
    DWORD type = 0, bytes = 0;
    BYTE *data = query_value(key, name, &type, &bytes);
    RegCloseKey(key);
    if (data && !is_text_type(type)) {
        free(data);
        return NULL;
    }
    return (wchar_t *)data;
}

int reg_read_value(char *buffer, const char *subkey, const char *name, int size)
{
    if (size <= 0)
        return 0;
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    DWORD type = 0, bytes = 0;
    BYTE *data = query_value(key, name, &type, &bytes);
    RegCloseKey(key);
    if (!data)
        return 0;
    int read = 0;
    if (is_text_type(type))
        read = text_into((const wchar_t *)data, buffer, size);
    else if (bytes <= (DWORD)(size - 1)) {
        // Anything else arrives as its bytes, as it always did.
        memcpy(buffer, data, bytes);
        buffer[bytes] = '\0';
        read = 1;
    }
    free(data);
    return read;
}

int reg_write_value(const char *text, const char *subkey, const char *name)
{
    return reg_write_bytes(text, (int)strlen(text), subkey, name);
}

int reg_write_bytes(const char *text, int length, const char *subkey, const char *name)
{
    HKEY user;
    if (RegOpenKeyW(HKEY_CURRENT_USER, NULL, &user) != ERROR_SUCCESS)
        return 0;
    HKEY key;
    Wide wide_subkey(subkey);
    LONG result = RegOpenKeyW(user, wide_subkey, &key);
    if (result != ERROR_SUCCESS)
        result = RegCreateKeyW(user, wide_subkey, &key);
    RegCloseKey(user);
    if (result != ERROR_SUCCESS)
        return 0;
    // The whole text is handed over and the data's length counted in it, so
    // the system sees what follows the data (and stores a zero only when
    // one follows), as it did with the text's own bytes.
    Wide whole(text), head(text, (size_t)length);
    DWORD data_bytes = (DWORD)(wcslen(head) * sizeof(wchar_t));
    result = RegSetValueExW(key, Wide(name), 0, REG_SZ, (const BYTE *)whole.text(), data_bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int reg_delete_value(const char *subkey, const char *name)
{
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    LONG result = RegDeleteValueW(key, Wide(name));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int reg_delete_key(const char *subkey)
{
    return RegDeleteKeyW(HKEY_CURRENT_USER, Wide(subkey)) == ERROR_SUCCESS;
}

int reg_delete_key_if_empty(const char *subkey)
{
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    DWORD subkeys = 0, values = 0;
    LONG result = RegQueryInfoKeyW(key, NULL, NULL, NULL, &subkeys, NULL, NULL,
                                   &values, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;
    if (subkeys != 0 || values != 0)
        return 1;
    return reg_delete_key(subkey);
}

void remove_install_record(void)
{
    const InstallState &s = install_state;
    reg_delete_value(s.product_key, "instopt");
    reg_delete_value(s.product_key, "instdrv");
    reg_delete_value(s.product_key, "exepath");
    reg_delete_value(s.product_key, "gamedir");
    // Neither key may name "software" itself: with an empty brand the brand
    // key does, but the product's own ("software\\<title>") still goes; a
    // key ending in '\\' (an empty title) may name its parent, and stays.
    const size_t root = strlen("software\\");
    size_t product = strlen(s.product_key);
    if (product > root && s.product_key[product - 1] != '\\')
        reg_delete_key_if_empty(s.product_key);
    if (strlen(s.brand_key) > root)
        reg_delete_key_if_empty(s.brand_key);
}
