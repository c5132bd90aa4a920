// Writes the archives the installer's extractor reads.
#pragma once

#include <string>

struct PackOptions {
    bool store = false;         // method 0 instead of deflate
    bool descriptor = true;     // flag bit 3 and a signed 16-byte descriptor
    std::string password;       // every member is encrypted under it
};

// Packs every file below folder (names relative to it, "/" separators, in
// sorted order) into archive. False with a message on standard error.
bool PackFolder(const std::string& folder, const std::string& archive, const PackOptions& options);
