// The file list interpreter wired to the real world: the folder copy, message
// boxes owned by the options dialog, the platform's existence test and the
// run-time library's stream table.
#include "install/file_list.h"

#include <stdio.h>

#include "boundary/wide_text.h"
#include "core/file_list_script.h"
#include "install/folder_copy.h"
#include "state/install_state.h"

static_assert(ASK_OK_CANCEL == MB_OKCANCEL && ASK_YES_NO == MB_YESNO, "button sets");
static_assert(ANSWER_OK == IDOK && ANSWER_CANCEL == IDCANCEL && ANSWER_YES == IDYES
              && ANSWER_NO == IDNO, "answers");

static int copy_folder_action(void *, const char *target_folder, const char *source_folder)
{
    return copy_folder(target_folder, source_folder);
}

static int ask_owned(void *owner, const char *text, const char *caption, int buttons)
{
    return MessageBoxW((HWND)owner, Wide(text), Wide(caption), (UINT)buttons);
}

static int path_exists(void *, const char *path)
{
    return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES;
}

// The disk about to be taken out may hold files this process still has open.
static void close_streams(void *)
{
    _fcloseall();
}

int run_file_list(HWND owner)
{
    FileListPlaces places;
    FileListActions actions = {owner, copy_folder_action, ask_owned, path_exists, close_streams, &places};
    return interpret_file_list(FileListText, &actions);
}
