// Placeholder until the options dialog and the registration land: the
// install command installs nothing.
#include "install/run_install.h"

int run_install(void)
{
    return 0;
}

int create_shortcut(const char *, const char *)
{
    return 0;
}
