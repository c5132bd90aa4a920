// Stand-in until the install folder dialog is built: the suggested folder
// is taken as it stands, created when missing, and made current.
#include "folder_dialog/install_folder_dialog.h"

#include <direct.h>

#include "common/files.h"
#include "common/paths.h"
#include "setup/install_state.h"

INT_PTR CALLBACK InstallFolderDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    // Room for the folder, its backslash and a 12-character file name.
    if (lstrlenA(gState.suggestedFolder) + 1 + 12 > kPathSize - 1) {
        EndDialog(dialog, 1006);
        return TRUE;
    }
    lstrcpyA(gState.installFolder, gState.suggestedFolder);
    lstrcpyA(gState.installDir, gState.installFolder);
    AppendSlash(gState.installDir);
    gState.totalKB = 0;
    if (_chdir(gState.installFolder) != 0) {
        char folder[kPathSize];
        lstrcpyA(folder, gState.installFolder);
        if (MakeDirectoryTree(folder) != 0 || _chdir(gState.installFolder) != 0) {
            EndDialog(dialog, 1006);
            return TRUE;
        }
    }
    EndDialog(dialog, 1);
    return TRUE;
}
