// Process entry of SETUP.EXE.
#include <windows.h>
#include <commctrl.h>

#include "setup/command_line.h"
#include "setup/install_state.h"

namespace {

// An installer runs from a download folder where anyone may drop a DLL:
// take DLLs that are loaded by name from the system folder only. The
// Windows 95 family lacks the call, so it is looked up.
void RestrictDllSearchToSystemFolder() {
    using SetDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDirectories = reinterpret_cast<SetDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    const char* tail = CommandTail(GetCommandLineA());
    (void)tail;
    gState.instance = instance;
    InitCommonControls();
    LoadStringA(instance, 1021, gState.setupTitle, kTitleSize);
    return 0;
}
