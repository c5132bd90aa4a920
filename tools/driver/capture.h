#pragma once

#include <stdint.h>
#include <windows.h>

// A copy of part of the screen in a 32-bit top-down DIB owned by GDI.
struct Grab {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    uint32_t* pixels = nullptr;  // 0x00RRGGBB, row-major, top row first
    int width = 0;
    int height = 0;
};

// A blank DIB of the given size (for drawing reference images).
bool MakeGrab(int width, int height, Grab& grab);
// The screen area `rect` (screen coordinates), clipped to the screen.
bool GrabScreen(const RECT& rect, Grab& grab);
// As GrabScreen, once two grabs `intervalMs` apart are the same (a window
// just shown may still be painting), or the last one after `limitMs`.
bool GrabSettled(const RECT& rect, DWORD intervalMs, DWORD limitMs, Grab& grab);
void ReleaseGrab(Grab& grab);

// A 24-bit bottom-up .bmp; false on any write error.
bool WriteBmp(const Grab& grab, const char* path);
