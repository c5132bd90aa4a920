// The platform calls of sys.h on Win32: each is the API call itself.
#include "common/sys.h"

#include <direct.h>
#include <stdio.h>
#include <stdlib.h>
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

int OpenForReading(const char* path) { return _lopen(path, OF_SHARE_DENY_WRITE); }

int CreateForWriting(const char* path) { return _lcreat(path, 0); }

int ReadBytes(int file, void* buffer, unsigned count) {
    return static_cast<int>(_lread(file, buffer, count));
}

int WriteBytes(int file, const void* buffer, unsigned count) {
    return static_cast<int>(_lwrite(file, static_cast<LPCCH>(buffer), count));
}

long SeekFile(int file, long offset, int origin) {
    return _llseek(file, offset, origin == kSeekBegin ? FILE_BEGIN : FILE_CURRENT);
}

void CloseFile(int file) { _lclose(file); }

void RemoveFile(const char* path) { remove(path); }

void SetFileTimeFromDos(int file, uint16_t dosDate, uint16_t dosTime) {
    FILETIME local = {}, universal = {};
    DosDateTimeToFileTime(dosDate, dosTime, &local);
    LocalFileTimeToFileTime(&local, &universal);
    SetFileTime(reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)), nullptr, nullptr, &universal);
}

void ConvertOemToAnsi(char* text) { OemToCharA(text, text); }
void ConvertAnsiToOem(char* text) { CharToOemA(text, text); }

int CompareNoCase(const char* a, const char* b) { return lstrcmpiA(a, b); }

intptr_t SendToWindow(HWND window, UINT message, uintptr_t wParam, intptr_t lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

void* AllocLockedBlock(size_t size) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!handle) return nullptr;
    void* block = GlobalLock(handle);
    if (!block) GlobalFree(handle);
    return block;
}

void FreeLockedBlock(void* block) {
    HGLOBAL handle = GlobalHandle(block);
    GlobalUnlock(handle);
    GlobalFree(handle);
}

void* AllocHeap(size_t size) { return malloc(size); }
void FreeHeap(void* block) { free(block); }

}  // namespace sys
