#include "setup/command_line.h"

#include <string.h>
#ifndef _WIN32
#include <strings.h>
#define _strnicmp strncasecmp
#endif

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

void ReadArgv0Switch(const char* tail, char* file, size_t size) {
    file[0] = '\0';
    while (*tail == ' ') ++tail;
    if (_strnicmp(tail, "-argv0", 6) != 0) return;
    tail += 6;
    while (*tail == ' ') ++tail;
    size_t n = strnlen(tail, size - 1);
    memcpy(file, tail, n);
    file[n] = '\0';
}
