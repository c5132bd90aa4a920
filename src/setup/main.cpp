// Process entry of SETUP.EXE.
#include <windows.h>

#include "setup/command_line.h"
#include "setup/run_setup.h"

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

// The show state the program was started with is not passed on: the
// installer's windows use fixed show commands.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    return RunSetup(instance, CommandTail(GetCommandLineA()));
}
