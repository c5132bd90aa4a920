// The few platform calls the portable code needs. On Windows they are the
// Win32 API itself (sys_win32.cpp); on the build host they map to POSIX
// (sys_posix.cpp) so the same code can be unit-tested and fuzzed natively.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
// Host definitions of the handful of Win32 types and values the shared code
// names. Layouts follow Win32 where the code copies fields around.
using HWND = void*;
using HINSTANCE = const void*;  // host: a string table, see sys_posix.cpp
using UINT = unsigned int;
using DWORD = uint32_t;
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    char cFileName[260];
    char cAlternateFileName[14];
};
constexpr int MAX_PATH = 260;
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_RETRYCANCEL = 0x5,
               MB_YESNO = 0x4, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20,
               MB_ICONINFORMATION = 0x40, MB_DEFBUTTON2 = 0x100,
               MB_TASKMODAL = 0x2000;
constexpr int IDOK = 1, IDCANCEL = 2, IDRETRY = 4, IDYES = 6, IDNO = 7;
#endif

namespace sys {

// The next character of an ANSI string in the active code page; never moves
// past the terminating NUL (CharNextA).
const char* NextChar(const char* p);

// Creates one folder: 0 on success, -1 when it exists, its parent is
// missing or access is denied (_mkdir).
int MakeDir(const char* path);

// First file or folder matching path (wildcards "*" and "?" allowed in the
// last component); the search is closed again. False when nothing matches.
bool FindFirst(const char* path, WIN32_FIND_DATAA* record);

// Opens path for reading and writing with exclusive sharing and closes it
// at once (_lopen mode 18). False when that is refused.
bool OpenExclusive(const char* path);

// Milliseconds, 32 bits, wrapping (GetTickCount).
uint32_t TickCount();

// Removes and dispatches every pending message of the thread.
void PumpMessages();

// String resource id of module into buf, cut to size - 1 characters and
// NUL-terminated; the number of characters copied, 0 when it is missing.
int LoadText(HINSTANCE module, unsigned id, char* buf, int size);

// Modal message box; the id of the button that closed it.
int ShowBox(HWND owner, const char* text, const char* caption, UINT flags);

// Formats into out (size bytes, size >= 1) like wvsprintfA, never writing
// past out: a longer result is cut. Returns the length written.
int FormatV(char* out, size_t size, const char* format, va_list args);

// Diagnostic channel of the trace hook (OutputDebugStringA).
void DebugOutput(const char* text);

// Files of the archive extractor, as the 16-bit-compatible calls behave: a
// handle is an int, -1 while no file is open or when a call fails.
constexpr int kNoFile = -1;
constexpr int kSeekBegin = 0, kSeekCurrent = 1;
// Opens for reading, others may not write (_lopen, OF_SHARE_DENY_WRITE).
int OpenForReading(const char* path);
// Creates or empties a normal file for writing (_lcreat, attribute 0).
int CreateForWriting(const char* path);
// Bytes read or written, -1 on failure (_lread, _lwrite).
int ReadBytes(int file, void* buffer, unsigned count);
int WriteBytes(int file, const void* buffer, unsigned count);
// The new position from the start, -1 on failure (_llseek).
long SeekFile(int file, long offset, int origin);
void CloseFile(int file);  // _lclose
void RemoveFile(const char* path);  // remove
// Last-write time from a DOS date and time taken as local time
// (DosDateTimeToFileTime, LocalFileTimeToFileTime, SetFileTime).
void SetFileTimeFromDos(int file, uint16_t dosDate, uint16_t dosTime);

// In-place code page conversions of a path (OemToCharA, CharToOemA).
void ConvertOemToAnsi(char* text);
void ConvertAnsiToOem(char* text);
// 0 when the two texts are equal ignoring letter case (lstrcmpiA).
int CompareNoCase(const char* a, const char* b);

// SendMessageA; a null window answers 0.
intptr_t SendToWindow(HWND window, UINT message, uintptr_t wParam, intptr_t lParam);

// A zero-filled movable global block, locked while in use (GlobalAlloc with
// GMEM_MOVEABLE | GMEM_ZEROINIT, GlobalLock); null when refused.
void* AllocLockedBlock(size_t size);
void FreeLockedBlock(void* block);  // GlobalUnlock and GlobalFree
// The C run-time heap (malloc, free).
void* AllocHeap(size_t size);
void FreeHeap(void* block);

}  // namespace sys
