#pragma once

#include <string.h>
#include <windows.h>

// Appends `line` and CRLF to `path`, creating it. Each call opens and closes
// the file so that readers see every line at once; a writer holding it for
// a moment (another instance) is waited out briefly.
inline bool AppendLine(const char* path, const char* line) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
            Sleep(20);
            continue;
        }
        DWORD written = 0, crlfWritten = 0;
        DWORD length = static_cast<DWORD>(strlen(line));
        bool ok = WriteFile(file, line, length, &written, nullptr) && written == length &&
                  WriteFile(file, "\r\n", 2, &crlfWritten, nullptr) && crlfWritten == 2;
        return CloseHandle(file) && ok;
    }
    return false;
}
