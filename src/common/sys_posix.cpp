// The platform calls of sys.h on the POSIX build host.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdlib.h>
#include <strings.h>
#include <stdio.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "common/sys_host.h"

namespace {

unsigned gCodePage = 0;
sys::host::BoxHandler gBoxHandler = nullptr;
sys::host::TickSource gTickSource = nullptr;
sys::host::PumpHook gPumpHook = nullptr;
sys::host::SendHook gSendHook = nullptr;
sys::host::AllocHook gAllocHook = nullptr;
sys::host::WriteHook gWriteHook = nullptr;

// 100-nanosecond intervals between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

FILETIME ToFileTime(const struct timespec& t) {
    uint64_t v = kUnixEpochAsFileTime + static_cast<uint64_t>(t.tv_sec) * 10000000ull +
                 static_cast<uint64_t>(t.tv_nsec) / 100u;
    return FILETIME{static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
}

bool HasWildcard(const char* s) { return strpbrk(s, "*?") != nullptr; }

// Windows names match without regard to letter case: give each folder of a
// host path (up to its last "/") the spelling it has on disk, in place.
void ResolveFolderCase(char* path) {
    char* last = strrchr(path, '/');
    if (!last) return;
    for (char* end = strchr(path + 1, '/'); end && end <= last; end = strchr(end + 1, '/')) {
        *end = '\0';
        struct stat st;
        if (stat(path, &st) != 0) {
            char* nameStart = strrchr(path, '/');
            const char* name = nameStart ? nameStart + 1 : path;
            char parent[1024];
            if (nameStart == path) {
                strcpy(parent, "/");
            } else if (nameStart) {
                memcpy(parent, path, static_cast<size_t>(nameStart - path));
                parent[nameStart - path] = '\0';
            } else {
                strcpy(parent, ".");
            }
            if (DIR* dir = opendir(parent)) {
                while (struct dirent* entry = readdir(dir)) {
                    if (strcasecmp(entry->d_name, name) == 0 && strlen(entry->d_name) == strlen(name)) {
                        memcpy(const_cast<char*>(name), entry->d_name, strlen(name));
                        break;
                    }
                }
                closedir(dir);
            }
        }
        *end = '/';
    }
}

}  // namespace

namespace sys::host {

void SetCodePage(unsigned codePage) { gCodePage = codePage; }

bool IsLeadByte(unsigned char b) {
    switch (gCodePage) {
        case 932: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        case 936:
        case 949:
        case 950: return b >= 0x81 && b <= 0xFE;
        default: return false;
    }
}

void SetBoxHandler(BoxHandler handler) { gBoxHandler = handler; }
void SetTickSource(TickSource source) { gTickSource = source; }
void SetPumpHook(PumpHook hook) { gPumpHook = hook; }
void SetSendHook(SendHook hook) { gSendHook = hook; }
void SetAllocHook(AllocHook hook) { gAllocHook = hook; }
void SetWriteHook(WriteHook hook) { gWriteHook = hook; }

void ToHostPath(const char* path, char* out, size_t size) {
    size_t i = 0;
    for (; path[i] != '\0' && i + 1 < size; ++i) out[i] = path[i] == '\\' ? '/' : path[i];
    out[i] = '\0';
}

}  // namespace sys::host

namespace sys {

const char* NextChar(const char* p) {
    if (*p == '\0') return p;
    if (host::IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') return p + 2;
    return p + 1;
}

int MakeDir(const char* path) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    return mkdir(hostPath, 0777) == 0 ? 0 : -1;
}

bool FindFirst(const char* path, WIN32_FIND_DATAA* record) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    ResolveFolderCase(hostPath);
    char* slash = strrchr(hostPath, '/');
    const char* pattern = slash ? slash + 1 : hostPath;
    char folder[1024];
    if (slash == hostPath) {
        strcpy(folder, "/");
    } else if (slash) {
        size_t n = static_cast<size_t>(slash - hostPath);
        memcpy(folder, hostPath, n);
        folder[n] = '\0';
    } else {
        strcpy(folder, ".");
    }
    if (*pattern == '\0') return false;  // a path ending in a separator names no file

    DIR* dir = opendir(folder);
    if (!dir) return false;
    // Names match without regard to letter case, as on Windows; "." and ".."
    // match only when asked for by name.
    bool found = false;
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        bool dots = strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
        bool match = HasWildcard(pattern) ? !dots && fnmatch(pattern, name, FNM_CASEFOLD) == 0
                                          : strcasecmp(pattern, name) == 0;
        if (!match || strlen(name) >= sizeof record->cFileName) continue;
        char full[1300];
        snprintf(full, sizeof full, "%s/%s", folder, name);
        struct stat st;
        if (stat(full, &st) != 0) continue;
        memset(record, 0, sizeof *record);
        record->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        if (access(full, W_OK) != 0) record->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        record->ftCreationTime = ToFileTime(st.st_ctim);
        record->ftLastAccessTime = ToFileTime(st.st_atim);
        record->ftLastWriteTime = ToFileTime(st.st_mtim);
        uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
        record->nFileSizeHigh = static_cast<DWORD>(size >> 32);
        record->nFileSizeLow = static_cast<DWORD>(size);
        strcpy(record->cFileName, name);
        found = true;
        break;
    }
    closedir(dir);
    return found;
}

bool OpenExclusive(const char* path) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    int fd = open(hostPath, O_RDWR);
    if (fd < 0) return false;
    bool ok = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return ok;
}

uint32_t TickCount() {
    if (gTickSource) return gTickSource();
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<uint32_t>(static_cast<uint64_t>(t.tv_sec) * 1000u + static_cast<uint64_t>(t.tv_nsec) / 1000000u);
}

void PumpMessages() {
    if (gPumpHook) gPumpHook();
}

int LoadText(HINSTANCE module, unsigned id, char* buf, int size) {
    if (size <= 0) return 0;
    buf[0] = '\0';
    const auto* entry = static_cast<const host::StringEntry*>(module);
    for (; entry && entry->text; ++entry) {
        if (entry->id != id) continue;
        size_t n = strlen(entry->text);
        if (n > static_cast<size_t>(size - 1)) n = static_cast<size_t>(size - 1);
        memcpy(buf, entry->text, n);
        buf[n] = '\0';
        return static_cast<int>(n);
    }
    return 0;
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT flags) {
    if (gBoxHandler) return gBoxHandler(owner, text, caption, flags);
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

int FormatV(char* out, size_t size, const char* format, va_list args) {
    int n = vsnprintf(out, size, format, args);
    if (n < 0) {
        out[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(n) >= size ? static_cast<int>(size - 1) : n;
}

void DebugOutput(const char* text) { fprintf(stderr, "%s\n", text); }

int OpenForReading(const char* path) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    int fd = open(hostPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return kNoFile;
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(fd);
        return kNoFile;
    }
    return fd;
}

int CreateForWriting(const char* path) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    int fd = open(hostPath, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? kNoFile : fd;
}

// Files may return less than asked only at their end; other sources (a
// pipe, a terminal) are read until the count or the end.
int ReadBytes(int file, void* buffer, unsigned count) {
    unsigned done = 0;
    while (done < count) {
        ssize_t n = read(file, static_cast<char*>(buffer) + done, count - done);
        if (n < 0) return done > 0 ? static_cast<int>(done) : -1;
        if (n == 0) break;
        done += static_cast<unsigned>(n);
    }
    return static_cast<int>(done);
}

int WriteBytes(int file, const void* buffer, unsigned count) {
    unsigned allowed = count;
    if (gWriteHook) {
        int n = gWriteHook(count);
        if (n < 0) return -1;
        if (static_cast<unsigned>(n) < allowed) allowed = static_cast<unsigned>(n);
    }
    unsigned done = 0;
    while (done < allowed) {
        ssize_t n = write(file, static_cast<const char*>(buffer) + done, allowed - done);
        if (n <= 0) return done > 0 ? static_cast<int>(done) : -1;
        done += static_cast<unsigned>(n);
    }
    return static_cast<int>(done);
}

long SeekFile(int file, long offset, int origin) {
    off_t r = lseek(file, offset, origin == kSeekBegin ? SEEK_SET : SEEK_CUR);
    return r < 0 || r > 0x7FFFFFFF ? -1 : static_cast<long>(r);
}

void CloseFile(int file) { close(file); }

void RemoveFile(const char* path) {
    char hostPath[1024];
    host::ToHostPath(path, hostPath, sizeof hostPath);
    unlink(hostPath);
}

// An impossible DOS date (month or day 0) leaves the time as it was, as
// DosDateTimeToFileTime refuses it.
void SetFileTimeFromDos(int file, uint16_t dosDate, uint16_t dosTime) {
    struct tm t = {};
    t.tm_year = 80 + (dosDate >> 9);
    t.tm_mon = ((dosDate >> 5) & 15) - 1;
    t.tm_mday = dosDate & 31;
    t.tm_hour = dosTime >> 11;
    t.tm_min = (dosTime >> 5) & 63;
    t.tm_sec = (dosTime & 31) * 2;
    t.tm_isdst = -1;
    if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday == 0) return;
    time_t when = mktime(&t);
    if (when == static_cast<time_t>(-1)) return;
    struct timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
    futimens(file, times);
}

// The host has no OEM code page: ASCII is the same in both, and other
// bytes are left as they are.
void ConvertOemToAnsi(char*) {}
void ConvertAnsiToOem(char*) {}

int CompareNoCase(const char* a, const char* b) { return strcasecmp(a, b); }

intptr_t SendToWindow(HWND window, UINT message, uintptr_t wParam, intptr_t lParam) {
    if (gSendHook) return gSendHook(window, message, wParam, lParam);
    return 0;
}

void* AllocLockedBlock(size_t size) {
    if (gAllocHook && !gAllocHook(size)) return nullptr;
    return calloc(1, size);
}
void FreeLockedBlock(void* block) { free(block); }

void* AllocHeap(size_t size) {
    if (gAllocHook && !gAllocHook(size)) return nullptr;
    return malloc(size);
}
void FreeHeap(void* block) { free(block); }

}  // namespace sys
