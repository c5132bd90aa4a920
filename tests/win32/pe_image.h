// Reading a built PE file the way the loader sees it: its import table and
// its resources, for the checks of what SETUP.EXE carries.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PeImage {
    std::vector<unsigned char> bytes;
    bool Load(const char* path);
    const IMAGE_NT_HEADERS32* Headers() const;
    // File offset of a relative virtual address, or 0 when no section has it.
    size_t OffsetOf(DWORD rva) const;
    std::vector<std::string> ImportedDlls() const;
};

// The raw bytes of a resource of a module loaded as data.
std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, WORD language);
