#include "records/registry.h"

#include <string.h>
#include <windows.h>

#include "state/install_state.h"

static int open_subkey(const char *subkey, HKEY *key)
{
    HKEY user;
    if (RegOpenKeyA(HKEY_CURRENT_USER, NULL, &user) != ERROR_SUCCESS)
        return 0;
    LONG result = RegOpenKeyA(user, subkey, key);
    RegCloseKey(user);
    return result == ERROR_SUCCESS;
}

int reg_read_value(char *buffer, const char *subkey, const char *name, int size)
{
    if (size <= 0)
        return 0;
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    // One byte is held back for the terminating zero the stored text lacks.
    DWORD length = (DWORD)(size - 1);
    LONG result = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)buffer, &length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0;
    buffer[length] = '\0';
    return 1;
}

int reg_write_value(const char *text, const char *subkey, const char *name)
{
    return reg_write_bytes(text, (int)strlen(text), subkey, name);
}

int reg_write_bytes(const char *text, int length, const char *subkey, const char *name)
{
    HKEY user;
    if (RegOpenKeyA(HKEY_CURRENT_USER, NULL, &user) != ERROR_SUCCESS)
        return 0;
    HKEY key;
    LONG result = RegOpenKeyA(user, subkey, &key);
    if (result != ERROR_SUCCESS)
        result = RegCreateKeyA(user, subkey, &key);
    RegCloseKey(user);
    if (result != ERROR_SUCCESS)
        return 0;
    result = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)length);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int reg_delete_value(const char *subkey, const char *name)
{
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    LONG result = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int reg_delete_key(const char *subkey)
{
    return RegDeleteKeyA(HKEY_CURRENT_USER, subkey) == ERROR_SUCCESS;
}

int reg_delete_key_if_empty(const char *subkey)
{
    HKEY key;
    if (!open_subkey(subkey, &key))
        return 0;
    DWORD subkeys = 0, values = 0;
    LONG result = RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL,
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
    const size_t root = strlen("software\\");
    if (strlen(s.product_key) > root && strlen(s.brand_key) > root) {
        reg_delete_key_if_empty(s.product_key);
        reg_delete_key_if_empty(s.brand_key);
    }
}
