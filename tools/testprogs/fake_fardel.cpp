// Stands in for the main program that setup starts: records how it was
// started (command line, tab, current folder) in fake_fardel.log and exits 0.
// With /stay on its command line it also keeps a hidden top-level window of
// class FD_FAKE_WINDOW_CLASS (default FardelMainFrame) until that window gets
// WM_CLOSE, or 120 s pass.
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "append_line.h"

namespace {

constexpr UINT kLifetimeMs = 120 * 1000;
constexpr UINT_PTR kLifetimeTimer = 1;

// FD_FAKE_LOG_DIR, else the folder of this executable.
bool LogPath(char* path, size_t size) {
    char dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("FD_FAKE_LOG_DIR", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) {
        n = GetModuleFileNameA(nullptr, dir, sizeof dir);
        if (n == 0 || n >= sizeof dir) return false;
        char* slash = strrchr(dir, '\\');
        if (slash == nullptr) return false;
        *slash = '\0';
    }
    size_t len = strlen(dir);
    const char* separator = len > 0 && dir[len - 1] == '\\' ? "" : "\\";
    int written = snprintf(path, size, "%s%sfake_fardel.log", dir, separator);
    return written > 0 && static_cast<size_t>(written) < size;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_TIMER:
            if (wParam == kLifetimeTimer) DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

int Stay(HINSTANCE instance) {
    char className[256] = "FardelMainFrame";
    DWORD n = GetEnvironmentVariableA("FD_FAKE_WINDOW_CLASS", className, sizeof className);
    if (n >= sizeof className) return 2;
    if (n == 0) strcpy(className, "FardelMainFrame");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FrameProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    if (!RegisterClassA(&windowClass)) return 2;
    HWND hwnd = CreateWindowExA(0, className, "Fardel", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                instance, nullptr);
    if (hwnd == nullptr) return 2;
    SetTimer(hwnd, kLifetimeTimer, kLifetimeMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static char line[32768 + MAX_PATH + 2];
    const char* commandLine = GetCommandLineA();
    char folder[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) folder[0] = '\0';
    snprintf(line, sizeof line, "%s\t%s", commandLine, folder);
    char logPath[MAX_PATH];
    if (!LogPath(logPath, sizeof logPath) || !AppendLine(logPath, line)) return 3;
    if (strstr(commandLine, "/stay") != nullptr) return Stay(instance);
    return 0;
}
