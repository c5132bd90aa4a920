#include "pe_image.h"

#include <stdio.h>
#include <string.h>

bool PeImage::Load(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    unsigned char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return Headers() != nullptr;
}

const IMAGE_NT_HEADERS32* PeImage::Headers() const {
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return nullptr;
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    size_t at = static_cast<size_t>(dos->e_lfanew);
    if (at + sizeof(IMAGE_NT_HEADERS32) > bytes.size()) return nullptr;
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(bytes.data() + at);
    return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
}

size_t PeImage::OffsetOf(DWORD rva) const {
    const IMAGE_NT_HEADERS32* nt = Headers();
    auto section = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        reinterpret_cast<const unsigned char*>(&nt->OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader);
    for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        DWORD size = section->Misc.VirtualSize ? section->Misc.VirtualSize : section->SizeOfRawData;
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size)
            return rva - section->VirtualAddress + section->PointerToRawData;
    }
    return 0;
}

std::vector<std::string> PeImage::ImportedDlls() const {
    std::vector<std::string> names;
    const IMAGE_NT_HEADERS32* nt = Headers();
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t at = OffsetOf(dir.VirtualAddress);
    if (dir.Size == 0 || at == 0) return names;
    for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        if (at + sizeof(IMAGE_IMPORT_DESCRIPTOR) > bytes.size()) break;
        auto desc = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + at);
        if (desc->Name == 0) break;
        size_t name = OffsetOf(desc->Name);
        if (name == 0 || name >= bytes.size()) break;
        names.emplace_back(reinterpret_cast<const char*>(bytes.data() + name),
                           strnlen(reinterpret_cast<const char*>(bytes.data() + name), bytes.size() - name));
    }
    // Delay-loaded DLLs are imports too.
    const IMAGE_DATA_DIRECTORY& delay = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    if (delay.Size != 0) names.emplace_back("(delay-load table)");
    return names;
}

std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
    HRSRC found = FindResourceExA(module, type, name, language);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const unsigned char* data = static_cast<const unsigned char*>(LockResource(loaded));
    DWORD size = SizeofResource(module, found);
    if (!data) return {};
    return std::vector<unsigned char>(data, data + size);
}
