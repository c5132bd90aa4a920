#include "extract/zip_cipher.h"

#include <zlib.h>

#include "extract/extract_state.h"

namespace {

constexpr int kEncryptionHeaderSize = 12;

}  // namespace

const char kDefaultPassword[] = "Trademark\xA9 2037-2064 Quill Bay Ferriers, Ltd";
static_assert(sizeof kDefaultPassword == 45, "44 bytes and the NUL");

CipherKeys gKeys;

// The same register as the table gives, by zlib's word-at-a-time crc32(),
// which inverts before and after: several times faster on whole buffers.
uint32_t Crc32Update(uint32_t crc, const unsigned char* bytes, size_t length) {
    return ~static_cast<uint32_t>(crc32(~crc & 0xFFFFFFFFul, bytes, static_cast<uInt>(length)));
}

void InitKeys(const char* password) {
    gKeys = {0x12345678u, 0x23456789u, 0x34567890u};
    for (const char* p = password; *p; ++p) UpdateKeys(static_cast<unsigned char>(*p));
}

void UpdateKeys(unsigned char plain) {
    gKeys.key0 = kCrcTable.entries[(gKeys.key0 ^ plain) & 0xFF] ^ (gKeys.key0 >> 8);
    gKeys.key1 = (gKeys.key1 + (gKeys.key0 & 0xFF)) * 134775813u + 1u;
    gKeys.key2 = kCrcTable.entries[(gKeys.key2 ^ (gKeys.key1 >> 24)) & 0xFF] ^ (gKeys.key2 >> 8);
}

unsigned char DecryptByte() {
    uint32_t t = (gKeys.key2 & 0xFFFF) | 2;
    return static_cast<unsigned char>(((t * (t ^ 1)) & 0xFFFF) >> 8);
}

void DecryptBytes(unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(bytes[i] ^ DecryptByte());
        UpdateKeys(bytes[i]);
    }
}

// The check value is the high byte of modTime for a member with a data
// descriptor (its CRC may not be known when the header is written), else
// the high byte of the CRC; only the twelfth byte is compared.
bool CheckEncryptionHeader() {
    unsigned char header[kEncryptionHeaderSize];
    ReadArchive(header, sizeof header);
    gExtract.compressedLeft -= kEncryptionHeaderSize;
    InitKeys(gExtract.activePassword);
    DecryptBytes(header, sizeof header);
    unsigned char expected = gExtract.hasDescriptor ? static_cast<unsigned char>(gExtract.header.modTime >> 8)
                                                    : static_cast<unsigned char>(gExtract.header.crc32 >> 24);
    return header[kEncryptionHeaderSize - 1] == expected;
}
