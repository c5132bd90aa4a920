// The platform calls of sys.h on Win32: each is the API call itself.
#include "common/sys.h"

#include <direct.h>
#include <string.h>

namespace sys {

const char* NextChar(const char* p) { return CharNextA(p); }

int MakeDir(const char* path) { return _mkdir(path) == 0 ? 0 : -1; }

bool FindFirst(const char* path, WIN32_FIND_DATAA* record) {
    HANDLE find = FindFirstFileA(path, record);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

bool OpenExclusive(const char* path) {
    HFILE file = _lopen(path, OF_READWRITE | OF_SHARE_EXCLUSIVE);
    if (file == HFILE_ERROR) return false;
    _lclose(file);
    return true;
}

uint32_t TickCount() { return GetTickCount(); }

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

int LoadText(HINSTANCE module, unsigned id, char* buf, int size) {
    return LoadStringA(module, id, buf, size);
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxA(owner, text, caption, flags);
}

int FormatV(char* out, size_t size, const char* format, va_list args) {
    // wvsprintfA writes at most 1024 characters and its NUL.
    char wide[1025];
    int n = wvsprintfA(wide, format, args);
    if (n < 0) n = 0;
    if (static_cast<size_t>(n) >= size) n = static_cast<int>(size - 1);
    memcpy(out, wide, static_cast<size_t>(n));
    out[n] = '\0';
    return n;
}

void DebugOutput(const char* text) { OutputDebugStringA(text); }

}  // namespace sys
