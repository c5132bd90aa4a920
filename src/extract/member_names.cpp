#include "extract/member_names.h"

#include <string.h>

#include "common/paths.h"
#include "common/sys.h"

namespace {

bool IsDeviceName(const char* begin, size_t length) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", ""};
    size_t baseLength = 0;
    while (baseLength < length && begin[baseLength] != '.') ++baseLength;
    while (baseLength > 0 && begin[baseLength - 1] == ' ') --baseLength;
    char base[5];
    if (baseLength < 3 || baseLength > 4) return false;
    for (size_t i = 0; i < baseLength; ++i) {
        char c = begin[i];
        base[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    base[baseLength] = '\0';
    if (baseLength == 3) {
        for (const char* const* d = kDevices; **d; ++d)
            if (strcmp(base, *d) == 0) return true;
        return false;
    }
    bool numbered = strncmp(base, "COM", 3) == 0 || strncmp(base, "LPT", 3) == 0;
    return numbered && base[3] >= '1' && base[3] <= '9';
}

bool IsForbiddenChar(unsigned char c) {
    return c < 32 || strchr("<>:\"/\\|?*", c) != nullptr;
}

}  // namespace

// Rules for one component:
// - it is not empty;
// - it is no device name: CON, PRN, AUX, NUL, COM1-COM9 or LPT1-LPT9, in
//   any letter case, alone or before an extension (blanks before the dot
//   included);
// - it holds no ":" and no other character Windows refuses in a name
//   (< > " / \ | ? * and the control characters 1-31);
// - it does not end in a dot or a blank (so "." and ".." are refused).
// A double-byte character is taken as a whole: its trail byte is not tested.
bool IsSafeComponent(const char* begin, size_t length) {
    if (length == 0) return false;
    if (IsDeviceName(begin, length)) return false;
    const char* end = begin + length;
    const char* last = begin;
    for (const char* p = begin; p < end;) {
        if (IsForbiddenChar(static_cast<unsigned char>(*p))) return false;
        last = p;
        const char* next = sys::NextChar(p);
        p = next > p ? next : p + 1;
    }
    return *last != '.' && *last != ' ';
}

// Rules for a stored path kept below the destination:
// - it does not begin with a separator (a root, or a UNC or device prefix
//   such as "\\server", "\\?\" or "\\.\");
// - every component between separators obeys IsSafeComponent, so there is
//   no ".." step, no drive prefix ("C:" holds a colon) and no empty
//   component.
bool IsSafeStoredPath(const char* name) {
    const char* start = name;
    for (;;) {
        const char* separator = FindPathSeparator(start);
        if (!IsSafeComponent(start, static_cast<size_t>(separator - start))) return false;
        if (*separator == '\0') return true;
        start = separator + 1;
    }
}

const char* FinalComponent(const char* name) {
    if (*name == '\0') return name;
    const char* separator = FindLastSeparator(sys::NextChar(name));
    return separator ? separator + 1 : name;
}

bool BuildOutputPath(const char* destination, const char* storedName, bool keepPaths, char* out, size_t size) {
    const char* part;
    if (keepPaths) {
        if (!IsSafeStoredPath(storedName)) return false;
        part = storedName;
    } else {
        part = FinalComponent(storedName);
        if (!IsSafeComponent(part, strlen(part))) return false;
    }
    size_t destinationLength = strlen(destination);
    bool addSeparator = destinationLength > 0 && !IsSlash(static_cast<unsigned char>(*LastCharPtr(destination)));
    size_t partLength = strlen(part);
    size_t total = destinationLength + (addSeparator ? 1 : 0) + partLength;
    if (total + 1 > size) return false;
    memcpy(out, destination, destinationLength);
    size_t at = destinationLength;
    if (addSeparator) out[at++] = '\\';
    memcpy(out + at, part, partLength);
    out[total] = '\0';
    for (char* p = out; *p; ++p)
        if (*p == '/') *p = '\\';
    return true;
}
