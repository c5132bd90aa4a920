#include "setup/finish.h"

#include <direct.h>
#include <string.h>
#include <windows.h>

#include "common/catalogue.h"
#include "common/files.h"
#include "setup/install_state.h"
#include "setup/registry.h"

namespace {

const char kMainExecutable[] = "FARDEL32.EXE";
const char kInstallMode[] = "S";
// The first command can reach 546 characters (two 259-character paths).
constexpr int kCommandSize = 600;

}  // namespace

int FinalizeMainExecutable(const char* folder, const char* name) {
    char exePath[2 * kPathSize];
    char tmpPath[2 * kPathSize];
    wsprintfA(exePath, "%s%s", folder, name);
    lstrcpyA(tmpPath, exePath);
    tmpPath[lstrlenA(tmpPath) - 1] = '_';

    // Keep a working program when there is nothing to put in its place.
    WIN32_FIND_DATAA found;
    if (FileExists(tmpPath, &found) == 0) {
        DeleteFileA(exePath);
        if (MoveFileA(tmpPath, exePath)) return 1;
    }
    ShowMessage(gState.progressDialog, 1018, MB_ICONERROR, exePath);
    DeleteFileA(tmpPath);
    return 0;
}

int ComposeLaunchCommand(char* out, int size, int bareName) {
    const char* folder = bareName ? "" : gState.installDir;
    int length = lstrlenA(folder) + lstrlenA(kMainExecutable) + lstrlenA(" /install") + lstrlenA(kInstallMode) +
                 lstrlenA(" /f:\"\"") + lstrlenA(gState.argv0File);
    if (length >= size) return 0;
    wsprintfA(out, "%s%s /install%s /f:\"%s\"", folder, kMainExecutable, kInstallMode, gState.argv0File);
    return 1;
}

namespace {

// The program is named apart from its command line: an unquoted command
// with a blank in its path would let the system try "C:\Program.exe"
// first, and a bare name would be searched for beside SETUP.EXE, in the
// download folder, before the install folder. A relative name is taken
// from the current folder only.
int StartProgram(const char* program, char* command) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION started;
    if (!CreateProcessA(program, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) return 0;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return 1;
}

}  // namespace

void LaunchMainProgram() {
    char program[2 * kPathSize];
    char command[kCommandSize];
    wsprintfA(program, "%s%s", gState.installDir, kMainExecutable);
    _chdir(gState.installFolder);
    RemoveShellExtensionRegistrations();
    if (ComposeLaunchCommand(command, sizeof command, 0) && StartProgram(program, command)) return;
    if (ComposeLaunchCommand(command, sizeof command, 1) && StartProgram(kMainExecutable, command)) return;
    char text[2 * kPathSize + 16];
    wsprintfA(text, "Error running %s", program);
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}
