#include "common/files.h"

#include <string.h>

#include "common/paths.h"
#include "common/trace.h"

// Rules:
// - a path starting with two backslashes is a network root: the server name
//   ends at the next backslash (none: one _mkdir on the whole path) and the
//   floor is the separator that ends the share name, or the end;
// - a drive letter and a colon put the floor at the third character;
// - otherwise the floor is the start of the path;
// - the root prefix itself is never created piecewise.
int MakeDirectoryTree(char* path) {
    char* floor = path;
    if (path[0] == '\\' && path[1] == '\\') {
        char* serverEnd = FindChar(path + 2, '\\');
        if (*serverEnd == '\0') return sys::MakeDir(path);
        floor = FindPathSeparator(serverEnd + 1);
    } else if (IsAsciiLetter(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        floor = path + 2;
    }
    if (*floor == '\0') return sys::MakeDir(path);
    return MakeDirectoryTreeFrom(path, floor);
}

// Missing parents are made from the outermost inwards; a separator at the
// floor itself may still be cut.
int MakeDirectoryTreeFrom(char* path, char* floor) {
    if (sys::MakeDir(path) == 0) return 0;
    char* separator = FindLastSeparator(path);
    if (separator == nullptr || separator < floor) return -1;
    *separator = '\0';
    int parent = MakeDirectoryTreeFrom(path, floor);
    *separator = '\\';
    if (parent == -1) return -1;
    return sys::MakeDir(path);
}

int FileExists(const char* path, WIN32_FIND_DATAA* record) { return sys::FindFirst(path, record) ? 0 : 1; }

// Rules:
// - a limit of 0 never tries;
// - the time is measured as ticks elapsed since the start, in unsigned
//   32-bit arithmetic, so a wrap of the tick counter neither ends the wait
//   early nor makes it endless;
// - the thread's messages are dispatched before every try;
// - there is no pause between tries.
int WaitForExclusiveAccess(const char* path, uint32_t limitMs) {
    const uint32_t start = sys::TickCount();
    if (limitMs == 0) return 0;
    for (;;) {
        sys::PumpMessages();
        if (sys::OpenExclusive(path)) return 1;
        if (static_cast<uint32_t>(sys::TickCount() - start) >= limitMs) return 0;
    }
}

namespace {

// Length of the root prefix that is copied as typed, never looked up.
size_t RootPrefixLength(const char* path) {
    const unsigned char first = static_cast<unsigned char>(path[0]);
    if (IsAsciiLetter(first) && path[1] == ':' && IsSlash(static_cast<unsigned char>(path[2]))) {
        TraceHook("path appears to start with c:\\");
        return 3;
    }
    if (IsAsciiLetter(first) && path[1] == ':') {
        TraceHook("path appears to start with c:...");
        return 2;
    }
    if (IsSlash(first) && path[1] == path[0]) {
        TraceHook("path appears to start with \\...");
        const char* serverEnd = FindPathSeparator(path + 2);
        if (*serverEnd != '\0') {
            const char* shareEnd = FindPathSeparator(serverEnd + 1);
            if (*shareEnd != '\0') return static_cast<size_t>(shareEnd - path) + 1;
        }
        return strlen(path);
    }
    return 0;
}

bool HasWildcard(const char* s) { return *FindChar(s, '*') != '\0' || *FindChar(s, '?') != '\0'; }

}  // namespace

// Rules:
// - the root prefix keeps its spelling; every later separator becomes "\";
// - each folder component is replaced by the name the file system stores;
// - a last component holding "*" or "?" is copied as typed; a last
//   component of "." adds nothing (the folder and its backslash remain);
// - a missing component, or a result longer than size, fails with 0;
// - a path ending in a separator, a bare drive root or a bare share fails
//   (the final lookup is made on the whole path).
int ExpandLongPathInto(const char* path, char* result, int size) {
    TraceHook("zero out memory for storing longname");
    memset(result, 0, static_cast<size_t>(size));
    TraceHook("zero out memory for short path");
    char partial[260] = {};

    size_t pathLength = strlen(path);
    size_t position = RootPrefixLength(path);
    if (position > static_cast<size_t>(size)) return 0;
    memcpy(result, path, position);
    result[position] = '\0';
    size_t length = position;

    WIN32_FIND_DATAA match;
    for (;;) {
        TraceHook("slsh scanning %s", path + position);
        const char* separator = FindPathSeparator(path + position);
        if (*separator == '\0') break;
        size_t k = static_cast<size_t>(separator - path);
        if (k >= sizeof partial) return 0;
        memcpy(partial, path, k);
        partial[k] = '\0';
        TraceHook("expanding %s", partial);
        if (!sys::FindFirst(partial, &match)) {
            TraceHook("%s not found", partial);
            return 0;
        }
        TraceHook("%s found, expanded to %s", partial, match.cFileName);
        size_t nameLength = strlen(match.cFileName);
        if (length + nameLength > static_cast<size_t>(size)) {
            TraceHook("not enough room to expand the name");
            return 0;
        }
        memcpy(result + length, match.cFileName, nameLength);
        length += nameLength;
        result[length++] = '\\';
        result[length] = '\0';
        position = k + 1;
    }

    const char* lastComponent = path + position;
    char lastPart[260];
    if (HasWildcard(lastComponent)) {
        if (pathLength - position >= sizeof lastPart) return 0;
        strcpy(lastPart, lastComponent);
    } else {
        TraceHook("get the file's longname");
        if (!sys::FindFirst(path, &match)) {
            TraceHook("Failed to find the file");
            return 0;
        }
        TraceHook("File exists");
        strcpy(lastPart, strcmp(match.cFileName, ".") == 0 ? "" : match.cFileName);
    }
    TraceHook("Now we need to add the last part: %s", lastPart);
    size_t lastLength = strlen(lastPart);
    if (length + lastLength > static_cast<size_t>(size)) {
        TraceHook("not enough room to expand the name");
        return 0;
    }
    memcpy(result + length, lastPart, lastLength + 1);
    return static_cast<int>(length + lastLength);
}

// A long form that does not fit the caller's field leaves the path as it
// was, as a failed expansion does.
char* ExpandLongPath(char* path, int capacity) {
    char longForm[kLongPathBufferSize];
    int length = ExpandLongPathInto(path, longForm, kLongPathResultSize);
    if (length > 0 && length < capacity) memcpy(path, longForm, static_cast<size_t>(length) + 1);
    return path;
}
