// Which stored member names may become files, and the output path built
// from them.
#pragma once

#include <stddef.h>

// True when the length bytes at begin may name a file or folder.
bool IsSafeComponent(const char* begin, size_t length);

// True when a stored name may be reproduced below the destination.
bool IsSafeStoredPath(const char* name);

// The final component of a name: the text after its last separator, a
// separator in the first position not counting; the whole name without one.
const char* FinalComponent(const char* name);

// Builds into out (size bytes) the output path of a member: destination,
// a backslash unless it is empty or ends in a separator, then the member's
// part (its stored path with keepPaths, else its final component), with
// every "/" turned into "\". False, out untouched, when the part is refused
// or the path does not fit.
bool BuildOutputPath(const char* destination, const char* storedName, bool keepPaths, char* out, size_t size);
