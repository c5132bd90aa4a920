#include "capture.h"

#include <string.h>

bool MakeGrab(int width, int height, Grab& grab) {
    grab = Grab{};
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    grab.dc = CreateCompatibleDC(nullptr);
    grab.bitmap = CreateDIBSection(grab.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (grab.dc == nullptr || grab.bitmap == nullptr) {
        ReleaseGrab(grab);
        return false;
    }
    grab.previous = SelectObject(grab.dc, grab.bitmap);
    grab.pixels = static_cast<uint32_t*>(bits);
    grab.width = width;
    grab.height = height;
    return true;
}

bool GrabScreen(const RECT& rect, Grab& grab) {
    RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT area;
    if (!IntersectRect(&area, &rect, &screen)) return false;
    if (!MakeGrab(area.right - area.left, area.bottom - area.top, grab)) return false;
    HDC screenDc = GetDC(nullptr);
    BOOL copied = screenDc != nullptr &&
                  BitBlt(grab.dc, 0, 0, grab.width, grab.height, screenDc, area.left, area.top, SRCCOPY | CAPTUREBLT);
    if (screenDc != nullptr) ReleaseDC(nullptr, screenDc);
    GdiFlush();
    if (!copied) ReleaseGrab(grab);
    return copied != FALSE;
}

bool GrabSettled(const RECT& rect, DWORD intervalMs, DWORD limitMs, Grab& grab) {
    if (!GrabScreen(rect, grab)) return false;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        Sleep(intervalMs);
        Grab next;
        if (!GrabScreen(rect, next)) break;
        bool same = next.width == grab.width && next.height == grab.height &&
                    memcmp(next.pixels, grab.pixels, sizeof(uint32_t) * grab.width * grab.height) == 0;
        ReleaseGrab(grab);
        grab = next;
        if (same) break;
    }
    return true;
}

void ReleaseGrab(Grab& grab) {
    if (grab.dc != nullptr && grab.previous != nullptr) SelectObject(grab.dc, grab.previous);
    if (grab.bitmap != nullptr) DeleteObject(grab.bitmap);
    if (grab.dc != nullptr) DeleteDC(grab.dc);
    grab = Grab{};
}

namespace {

void PutLe(unsigned char* p, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

bool WriteBmp(const Grab& grab, const char* path) {
    if (grab.pixels == nullptr) return false;
    static unsigned char row[8192 * 3 + 4];
    const uint32_t stride = (static_cast<uint32_t>(grab.width) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * static_cast<uint32_t>(grab.height);
    unsigned char header[54] = {'B', 'M'};
    PutLe(header + 2, 54 + imageSize, 4);
    PutLe(header + 10, 54, 4);
    PutLe(header + 14, 40, 4);
    PutLe(header + 18, static_cast<uint32_t>(grab.width), 4);
    PutLe(header + 22, static_cast<uint32_t>(grab.height), 4);  // positive: bottom-up
    PutLe(header + 26, 1, 2);
    PutLe(header + 28, 24, 2);
    PutLe(header + 34, imageSize, 4);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(file, header, sizeof header);
    for (int y = grab.height - 1; ok && y >= 0; --y) {
        const uint32_t* source = grab.pixels + static_cast<size_t>(y) * grab.width;
        memset(row, 0, stride);
        for (int x = 0; x < grab.width; ++x) {
            row[x * 3 + 0] = static_cast<unsigned char>(source[x]);
            row[x * 3 + 1] = static_cast<unsigned char>(source[x] >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(source[x] >> 16);
        }
        ok = WriteAll(file, row, stride);
    }
    return CloseHandle(file) && ok;
}
