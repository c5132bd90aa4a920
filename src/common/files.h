// Folder creation, file probes and the long-name form of a path.
#pragma once

#include <stdint.h>

#include "common/sys.h"

// Creates the folder path names with every missing parent: 0 when created,
// -1 when not (also when it existed). Every separator at which the path was
// cut is a backslash afterwards.
int MakeDirectoryTree(char* path);
// The recursive step: floor is the lowest separator the path may be cut at.
int MakeDirectoryTreeFrom(char* path, char* floor);

// 0 when a file or folder matches path (wildcards allowed) and record holds
// it; 1 when nothing matches.
int FileExists(const char* path, WIN32_FIND_DATAA* record);

// 1 when path could be opened for reading and writing with exclusive
// sharing within limitMs milliseconds (pumping messages between tries).
int WaitForExclusiveAccess(const char* path, uint32_t limitMs);

// The long-name form of path into result: the length, or 0 on failure.
// result must hold size + 3 bytes (a component and its backslash may be
// appended up to size + 1 characters before the last-part test).
constexpr int kLongPathBufferSize = 264;
constexpr int kLongPathResultSize = 261;
int ExpandLongPathInto(const char* path, char* result, int size);

// Replaces path (a buffer of capacity bytes) by its long-name form; leaves it
// unchanged when the expansion fails or would not fit. Returns path.
char* ExpandLongPath(char* path, int capacity = 260);
