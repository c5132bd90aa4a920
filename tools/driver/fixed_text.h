#pragma once

#include <stddef.h>
#include <string.h>

// A bounded string. Appends past the capacity are cut and remembered in
// `overflow`, so a caller can report a truncated text instead of comparing it.
template <size_t N>
struct Text {
    static_assert(N > 1);
    char data[N] = {};
    size_t length = 0;
    bool overflow = false;

    void Clear() {
        length = 0;
        data[0] = '\0';
        overflow = false;
    }
    bool Append(const char* s, size_t n) {
        size_t room = N - 1 - length;
        size_t take = n < room ? n : room;
        memcpy(data + length, s, take);
        length += take;
        data[length] = '\0';
        if (take < n) overflow = true;
        return take == n;
    }
    bool Append(const char* s) { return Append(s, strlen(s)); }
    bool Push(char c) { return Append(&c, 1); }
    bool Set(const char* s, size_t n) {
        Clear();
        return Append(s, n);
    }
    bool Set(const char* s) { return Set(s, strlen(s)); }
    bool Equals(const char* s, size_t n) const { return !overflow && n == length && memcmp(data, s, n) == 0; }
    const char* c_str() const { return data; }
    static constexpr size_t Capacity() { return N - 1; }
};
