// What the POSIX side of sys.h offers its callers beyond the Win32 calls:
// the string table that stands for a module's resources, the code page the
// scanners step by, and hooks through which tests see and answer boxes.
#pragma once

#ifndef _WIN32
#include "common/sys.h"

namespace sys::host {

// A module's string table: entries ended by one whose text is null.
struct StringEntry {
    unsigned id;
    const char* text;
};
inline HINSTANCE ModuleOf(const StringEntry* table) { return table; }

// 0 for a single-byte code page; 932, 936, 949 or 950 for double-byte ones.
void SetCodePage(unsigned codePage);
bool IsLeadByte(unsigned char byte);

// Every box goes to this handler; without one the box's text goes to
// standard error and the answer is IDOK.
using BoxHandler = int (*)(HWND owner, const char* text, const char* caption, UINT flags);
void SetBoxHandler(BoxHandler handler);

// Tick source for the time-limited waits; null restores the clock.
using TickSource = uint32_t (*)();
void SetTickSource(TickSource source);

// Called on every pump of the message queue (no queue on the host).
using PumpHook = void (*)();
void SetPumpHook(PumpHook hook);

// The host file system's spelling of a path: backslashes become "/".
void ToHostPath(const char* path, char* out, size_t size);

// Every SendToWindow goes to this hook; without one the answer is 0.
using SendHook = intptr_t (*)(HWND window, UINT message, uintptr_t wParam, intptr_t lParam);
void SetSendHook(SendHook hook);

// Asked before each AllocLockedBlock and AllocHeap: false refuses it.
using AllocHook = bool (*)(size_t size);
void SetAllocHook(AllocHook hook);

// Asked before each WriteBytes: how many of count bytes the write may
// store, or -1 for a failed write. Null lets every write through.
using WriteHook = int (*)(unsigned count);
void SetWriteHook(WriteHook hook);

}  // namespace sys::host
#endif
