// Shows the installer's message boxes from the string table of SETUP.EXE,
// so the end-to-end driver can check what the user sees: the "program is
// running" box until Cancel, then the shell-extension question.
// Exit code: 10 x (number of Retry answers) + the answer to the question.
#include <windows.h>

#include "common/catalogue.h"
#include "setup/install_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpyA(strrchr(path, '\\') + 1, "SETUP.EXE");
    gState.instance = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!gState.instance) return 99;
    LoadStringA(gState.instance, 1021, gState.setupTitle, kTitleSize);

    int retries = 0;
    while (ShowMessage(nullptr, 1025, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY) ++retries;
    int answer = MessageBoxA(nullptr, LoadCatalogueString(1039), gState.setupTitle, MB_YESNO | MB_ICONQUESTION);
    return 10 * retries + answer;
}
