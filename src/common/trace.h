// Diagnostic trace texts of the installer. The release build drops them;
// a build with FD_TRACE sends them to the debugger (OutputDebugStringA).
#pragma once

void TraceHook(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
