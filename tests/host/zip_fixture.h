// Builds small ZIP archives in memory for the extractor's tests, byte by
// byte, with its own cipher and zlib's deflater.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace zipfx {

extern const char kBuiltInPassword[];

enum class Check { ByFlag, Crc, Time };  // which header byte the 12th encrypted byte carries

struct Member {
    std::string name;
    std::string data;                  // the plain content
    uint16_t method = 0;               // 8 is deflated; other methods store data as is
    bool encrypt = true;
    std::string password = kBuiltInPassword;
    bool descriptor = false;           // flag bit 3 and a data descriptor
    int descriptorLength = 16;         // 16 with its signature, 12 without
    Check check = Check::ByFlag;
    bool rawGiven = false;             // raw holds the member's compressed bytes
    std::string raw;
    std::string afterData;             // bytes appended to the compressed data, counted in its size
    int64_t compressedSizeOverride = -1;
    uint32_t crcXor = 0;               // damages the header's CRC
    uint16_t modTime = 0x6000;         // 12:00:00
    uint16_t modDate = (40 << 9) | (6 << 5) | 15;  // 2020-06-15
    std::string extra;
};

std::string Deflate(const std::string& data);
uint32_t Crc(const std::string& data);

class Builder {
public:
    Builder& Add(const Member& member);
    Builder& Raw(const std::string& bytes);  // junk or anything else
    Builder& Central();                       // central headers of all members so far
    Builder& End(const std::string& comment = "");
    Builder& Complete() { return Central().End(); }
    const std::string& Bytes() const { return bytes_; }

private:
    struct Entry {
        Member member;
        uint32_t crc, compressedSize, size, offset;
    };
    std::string bytes_;
    std::vector<Entry> entries_;
};

// A complete archive of the given members.
std::string Archive(const std::vector<Member>& members);

}  // namespace zipfx
