#include "common/paths.h"

#include <string.h>

#include "common/sys.h"

namespace {

// A character whose first byte is a lead byte is two bytes long; its first
// byte is never an ASCII character, so comparing it to one never matches.
bool IsSingleByteAt(const char* p) { return sys::NextChar(p) == p + 1; }

template <typename Match>
char* ScanFirst(const char* s, Match match) {
    const char* p = s;
    while (*p != '\0' && !(IsSingleByteAt(p) && match(static_cast<unsigned char>(*p)))) p = sys::NextChar(p);
    return const_cast<char*>(p);
}

template <typename Match>
char* ScanLast(const char* s, Match match) {
    const char* last = nullptr;
    for (const char* p = s; *p != '\0'; p = sys::NextChar(p))
        if (IsSingleByteAt(p) && match(static_cast<unsigned char>(*p))) last = p;
    return const_cast<char*>(last);
}

}  // namespace

int IsAsciiLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int IsSlash(int c) { return c == '\\' || c == '/'; }

char* FindPathSeparator(const char* s) {
    return ScanFirst(s, [](unsigned char b) { return IsSlash(b) != 0; });
}

char* FindChar(const char* s, int c) {
    return ScanFirst(s, [c](unsigned char b) { return b == static_cast<unsigned>(c); });
}

char* FindLastSeparator(const char* s) {
    return ScanLast(s, [](unsigned char b) { return IsSlash(b) != 0; });
}

char* FindLastChar(const char* s, int c) {
    return ScanLast(s, [c](unsigned char b) { return b == static_cast<unsigned>(c); });
}

char* LastCharPtr(const char* s) {
    const char* last = s;
    for (const char* p = s; *p != '\0'; p = sys::NextChar(p)) last = p;
    return const_cast<char*>(last);
}

void AppendSlash(char* path) {
    if (!IsSlash(static_cast<unsigned char>(*LastCharPtr(path)))) strcat(path, "\\");
}
