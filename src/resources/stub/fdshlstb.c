/* The shell-extension stub module the installer puts in place of the old
   one. It offers no classes until the main program sets up the extension,
   so the shell can load and unload it freely. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow(void) { return S_OK; }

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    (void)clsid;
    (void)iid;
    if (out) *out = NULL;
    return CLASS_E_CLASSNOTAVAILABLE;
}
