#include "install/run_install.h"

#include "install/options_dialog.h"
#include "install/registration.h"
#include "state/install_state.h"

static int in_progress = 0;

int run_install(void)
{
    // A second press while an install is open or running would reload the
    // file lists under it: the open dialog is brought forward instead.
    if (in_progress) {
        if (install_state.options_window && IsWindow((HWND)install_state.options_window))
            SetForegroundWindow((HWND)install_state.options_window);
        return 0;
    }
    in_progress = 1;
    HINSTANCE instance = install_state.instance ? (HINSTANCE)install_state.instance
                                                : GetModuleHandleW(NULL);
    INT_PTR result = DialogBoxParamW(instance, L"IDD_INSTSUBDLG", NULL, options_dialog_proc, 0);
    install_state.options_window = NULL;    // gone: nothing may repaint it now
    if (result == 1)
        register_install();
    in_progress = 0;
    return result == 1;
}
