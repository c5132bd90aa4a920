// window_spy CLASS LOGFILE [SECONDS]: a hidden top-level window of class CLASS
// (title CLASS) that logs the messages other programs send it, one line each:
//   ready                                  once the window exists
//   WM_COMMAND wParam=0x... lParam=0x...
//   WM_USER+N wParam=0x... lParam=0x...    any message from WM_USER on
//   WM_QUERYENDSESSION wParam=0x... lParam=0x...
//   WM_CLOSE
// Exits 0 on WM_CLOSE or WM_DESTROY, 1 when SECONDS (default 60) pass, 2 on
// bad use or a window that cannot be made.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include "append_line.h"

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
const char* gLogPath = nullptr;
int gExitCode = 0;

void LogMessage(const char* name, WPARAM wParam, LPARAM lParam) {
    char line[128];
    snprintf(line, sizeof line, "%s wParam=0x%08lX lParam=0x%08lX", name, static_cast<unsigned long>(wParam),
             static_cast<unsigned long>(lParam));
    AppendLine(gLogPath, line);
}

LRESULT CALLBACK SpyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message >= WM_USER) {
        char name[32];
        snprintf(name, sizeof name, "WM_USER+%u", message - WM_USER);
        LogMessage(name, wParam, lParam);
        return 0;
    }
    switch (message) {
        case WM_COMMAND:
            LogMessage("WM_COMMAND", wParam, lParam);
            return 0;
        case WM_QUERYENDSESSION:
            LogMessage("WM_QUERYENDSESSION", wParam, lParam);
            return TRUE;
        case WM_CLOSE:
            AppendLine(gLogPath, "WM_CLOSE");
            DestroyWindow(hwnd);
            return 0;
        case WM_TIMER:
            if (wParam != kLifetimeTimer) break;
            gExitCode = 1;
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(gExitCode);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3 || __argc > 4) return 2;
    const char* className = __argv[1];
    gLogPath = __argv[2];
    char* end = nullptr;
    long seconds = __argc == 4 ? strtol(__argv[3], &end, 10) : 60;
    if (__argc == 4 && (*end != '\0' || seconds <= 0 || seconds > 24 * 3600)) return 2;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = SpyProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) return 2;
    HWND hwnd = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                instance, nullptr);
    if (hwnd == nullptr) return 2;
    SetTimer(hwnd, kLifetimeTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    if (!AppendLine(gLogPath, "ready")) return 2;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
