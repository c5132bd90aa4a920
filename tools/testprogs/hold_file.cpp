// hold_file PATH [SECONDS]: keeps PATH open for reading and writing with no
// sharing, so that others get a sharing violation, until PATH.release appears
// or SECONDS (default 60) pass. PATH.held is written once the file is held.
// Exit code 0 after releasing, 1 when PATH cannot be opened, 2 on bad use.
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

namespace {

bool WithSuffix(const char* path, const char* suffix, char* out, size_t size) {
    int n = snprintf(out, size, "%s%s", path, suffix);
    return n > 0 && static_cast<size_t>(n) < size;
}

bool WriteMarker(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, "held\r\n", 6, &written, nullptr) && written == 6;
    return CloseHandle(file) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: hold_file PATH [SECONDS]\n");
        return 2;
    }
    char* end = nullptr;
    long seconds = argc == 3 ? strtol(argv[2], &end, 10) : 60;
    if (argc == 3 && (*end != '\0' || seconds <= 0 || seconds > 24 * 3600)) {
        fprintf(stderr, "hold_file: bad SECONDS %s\n", argv[2]);
        return 2;
    }
    char heldPath[MAX_PATH], releasePath[MAX_PATH];
    if (!WithSuffix(argv[1], ".held", heldPath, sizeof heldPath) ||
        !WithSuffix(argv[1], ".release", releasePath, sizeof releasePath)) {
        fprintf(stderr, "hold_file: path too long\n");
        return 2;
    }
    HANDLE held = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "hold_file: cannot open %s, error %lu\n", argv[1], GetLastError());
        return 1;
    }
    if (!WriteMarker(heldPath)) fprintf(stderr, "hold_file: cannot write %s\n", heldPath);
    DWORD start = GetTickCount();
    const DWORD limit = static_cast<DWORD>(seconds) * 1000;
    while (GetFileAttributesA(releasePath) == INVALID_FILE_ATTRIBUTES && GetTickCount() - start < limit) Sleep(50);
    CloseHandle(held);
    return 0;
}
