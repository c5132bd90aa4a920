// floor: the lower bound for the extraction benchmark. Reads a ZIP archive
// front to back and, for each local header: deciphers the data (traditional
// ZIP cipher), raw-inflates it with zlib (or copies a stored member),
// advances zlib's crc32() over the output and writes the file under DEST
// by its final name component. No checks, no messages: what is left is the
// work any reader of such an archive has to do.
//
//   floor ARCHIVE DEST [PASSWORD]     (default: the installer's built-in one)
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include <string>

namespace {

const char kBuiltIn[] = "Trademark\xA9 2037-2064 Quill Bay Ferriers, Ltd";

const z_crc_t* gTable;
uint32_t gKey0, gKey1, gKey2;

inline void Update(unsigned char plain) {
    gKey0 = gTable[(gKey0 ^ plain) & 0xFF] ^ (gKey0 >> 8);
    gKey1 = (gKey1 + (gKey0 & 0xFF)) * 134775813u + 1u;
    gKey2 = gTable[(gKey2 ^ (gKey1 >> 24)) & 0xFF] ^ (gKey2 >> 8);
}

void Decipher(unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        uint32_t t = (gKey2 & 0xFFFF) | 2;
        p[i] = static_cast<unsigned char>(p[i] ^ (((t * (t ^ 1)) & 0xFFFF) >> 8));
        Update(p[i]);
    }
}

inline uint32_t Get16(const unsigned char* p) { return p[0] | p[1] << 8; }
inline uint32_t Get32(const unsigned char* p) { return Get16(p) | Get16(p + 2) << 16; }

unsigned char gIn[1 << 16], gOut[1 << 18];

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 64;
    const char* password = argc > 3 ? argv[3] : kBuiltIn;
    gTable = get_crc_table();
    FILE* in = fopen(argv[1], "rb");
    if (!in) return 2;
    z_stream z{};
    inflateInit2(&z, -15);
    unsigned char h[30];
    char name[65536];
    while (fread(h, 1, 30, in) == 30 && Get32(h) == 0x04034b50) {
        uint32_t flags = Get16(h + 6), method = Get16(h + 8), left = Get32(h + 18);
        uint32_t nameLength = Get16(h + 26), extraLength = Get16(h + 28);
        fread(name, 1, nameLength, in);
        name[nameLength] = '\0';
        fseek(in, extraLength, SEEK_CUR);
        FILE* out = nullptr;
        if (nameLength && name[nameLength - 1] != '/') {
            const char* slash = strrchr(name, '/');
            out = fopen((std::string(argv[2]) + "/" + (slash ? slash + 1 : name)).c_str(), "wb");
        }
        if (flags & 1) {
            gKey0 = 0x12345678u, gKey1 = 0x23456789u, gKey2 = 0x34567890u;
            for (const char* p = password; *p; ++p) Update(static_cast<unsigned char>(*p));
            unsigned char header[12];
            fread(header, 1, 12, in);
            Decipher(header, 12);
            left -= 12;
        }
        uLong crc = crc32(0, nullptr, 0);
        inflateReset(&z);
        while (left) {
            size_t n = fread(gIn, 1, left < sizeof gIn ? left : sizeof gIn, in);
            if (n == 0) break;
            left -= static_cast<uint32_t>(n);
            if (flags & 1) Decipher(gIn, n);
            if (method == 0) {
                crc = crc32(crc, gIn, static_cast<uInt>(n));
                if (out) fwrite(gIn, 1, n, out);
                continue;
            }
            z.next_in = gIn;
            z.avail_in = static_cast<uInt>(n);
            do {
                z.next_out = gOut;
                z.avail_out = sizeof gOut;
                int status = inflate(&z, Z_NO_FLUSH);
                size_t produced = sizeof gOut - z.avail_out;
                crc = crc32(crc, gOut, static_cast<uInt>(produced));
                if (out) fwrite(gOut, 1, produced, out);
                if (status != Z_OK) break;
            } while (z.avail_out == 0);
        }
        (void)crc;
        if (out) fclose(out);
        if (flags & 8) {  // the data descriptor, with or without its signature
            unsigned char d[16];
            fread(d, 1, 12, in);
            if (Get32(d) == 0x08074b50) fread(d + 12, 1, 4, in);
        }
    }
    inflateEnd(&z);
    fclose(in);
    return 0;
}
