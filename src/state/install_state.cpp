#include "state/install_state.h"

InstallState install_state = {};
char SettingsText[SCRIPT_TEXT_BYTES + 1];
char FileListText[SCRIPT_TEXT_BYTES + 1];

void clear_shortcut_slots(void)
{
    for (int i = 0; i < SHORTCUT_SLOTS; i++) {
        install_state.shortcut_names[i][0] = '\0';
        install_state.shortcut_targets[i][0] = '\0';
    }
}
