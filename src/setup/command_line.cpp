#include "setup/command_line.h"

const char* CommandTail(const char* commandLine) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p > 32) ++p;
    }
    while (*p >= 1 && *p <= 32) ++p;
    return reinterpret_cast<const char*>(p);
}
