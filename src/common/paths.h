// Character scanners over ANSI paths. Each steps one character at a time
// (a double-byte character as a whole) and compares only a character's
// first byte, so a trail byte is never taken for a separator or a match.
#pragma once

int IsAsciiLetter(int c);
int IsSlash(int c);

char* FindPathSeparator(const char* s);  // first "\" or "/", else the NUL
char* FindChar(const char* s, int c);    // first c, else the NUL
char* FindLastSeparator(const char* s);  // last "\" or "/", else null
char* FindLastChar(const char* s, int c);// last c, else null
char* LastCharPtr(const char* s);        // first byte of the last character; s when empty

// Appends "\" unless the last character is a separator; room for one more
// character is the caller's.
void AppendSlash(char* path);
