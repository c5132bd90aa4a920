// The shell extension's registrations under HKEY_CLASSES_ROOT.
#pragma once

#include <windows.h>

// Deletes root\path with all its subkeys, depth first: 0, or the Win32
// error of the first registry call that failed (ERROR_FILE_NOT_FOUND for a
// missing key, which changes nothing).
LONG DeleteKeyTree(HKEY root, const char* path);

// Deletes the eight class-id trees and the eight handler keys; a missing or
// undeletable key neither stops the others nor is reported. Always true.
int RemoveShellExtensionRegistrations();
