// The traditional ZIP stream cipher and the CRC-32 it shares with the
// member check.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The built-in password: 44 bytes in the ANSI code page, 0xA9 the tenth.
extern const char kDefaultPassword[];

struct CipherKeys {
    uint32_t key0, key1, key2;
};
extern CipherKeys gKeys;

// The CRC-32 table of the reflected polynomial 0xEDB88320, built at
// compile time.
struct CrcTable {
    uint32_t entries[256];
};
constexpr CrcTable MakeCrcTable() {
    CrcTable t{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t.entries[n] = c;
    }
    return t;
}
inline constexpr CrcTable kCrcTable = MakeCrcTable();
static_assert(kCrcTable.entries[1] == 0x77073096u);

// Advances a running CRC (started at 0xFFFFFFFF, complemented at the end).
uint32_t Crc32Update(uint32_t crc, const unsigned char* bytes, size_t length);

void InitKeys(const char* password);
void UpdateKeys(unsigned char plain);
unsigned char DecryptByte();
// Decrypts count bytes in place, advancing the keys over each plain byte.
void DecryptBytes(unsigned char* bytes, size_t count);

// Reads the current member's 12-byte encryption header and checks its last
// byte; the keys are left ready for the member's data.
bool CheckEncryptionHeader();
