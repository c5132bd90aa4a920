#include "pack.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <vector>

#include "extract/zip_cipher.h"

namespace fs = std::filesystem;

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

struct Written {
    std::string name;
    uint16_t flags, method, time, date;
    uint32_t crc, compressedSize, size, offset;
};

// The fields a local header and its central directory entry share, in order.
void PutMemberFields(std::string& out, const Written& w) {
    Put16(out, w.flags);
    Put16(out, w.method);
    Put16(out, w.time);
    Put16(out, w.date);
    Put32(out, w.crc);
    Put32(out, w.compressedSize);
    Put32(out, w.size);
}

bool ReadFile(const fs::path& path, std::string& content) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return false;
    char block[65536];
    size_t n;
    while ((n = fread(block, 1, sizeof block, f)) > 0) content.append(block, n);
    bool ok = !ferror(f);
    fclose(f);
    return ok;
}

std::string Deflate(const std::string& data) {
    z_stream s{};
    deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&s, data.size()) + 16, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef*>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// DOS date and time of a file's last write, in local time (years before
// 1980 become 1980).
void DosTime(const fs::path& path, uint16_t& date, uint16_t& time) {
    struct stat st;
    struct tm t = {};
    if (stat(path.c_str(), &st) == 0) localtime_r(&st.st_mtime, &t);
    int year = t.tm_year + 1900 < 1980 ? 0 : t.tm_year + 1900 - 1980;
    date = static_cast<uint16_t>((year << 9) | ((t.tm_mon + 1) << 5) | (t.tm_mday ? t.tm_mday : 1));
    time = static_cast<uint16_t>((t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec / 2));
}

// Encryption: the 12-byte header of random bytes whose last one is the
// check value the reader compares (the time's high byte with bit 3, else
// the CRC's), then the data, each byte enciphered before the keys take it.
std::string Encrypt(const std::string& payload, const std::string& password, unsigned char check, std::mt19937& random) {
    InitKeys(password.c_str());
    std::string out;
    out.reserve(payload.size() + 12);
    auto put = [&](unsigned char plain) {
        out += static_cast<char>(plain ^ DecryptByte());
        UpdateKeys(plain);
    };
    for (int i = 0; i < 11; ++i) put(static_cast<unsigned char>(random()));
    put(check);
    for (unsigned char c : payload) put(c);
    return out;
}

}  // namespace

bool PackFolder(const std::string& folder, const std::string& archive, const PackOptions& options) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error))
        if (it->is_regular_file()) files.push_back(it->path());
    if (error) {
        fprintf(stderr, "fdpack: cannot read %s: %s\n", folder.c_str(), error.message().c_str());
        return false;
    }
    std::sort(files.begin(), files.end());
    FILE* out = fopen(archive.c_str(), "wb");
    if (!out) {
        fprintf(stderr, "fdpack: cannot create %s\n", archive.c_str());
        return false;
    }
    std::random_device seed;
    std::mt19937 random(seed());
    std::vector<Written> written;
    uint32_t offset = 0;
    bool ok = true;
    for (const fs::path& file : files) {
        Written w{};
        w.name = fs::relative(file, folder).generic_string();
        std::string content;
        if (!ReadFile(file, content) || content.size() > 0x7FFFFFF0u || w.name.size() > 0xFFFF) {
            fprintf(stderr, "fdpack: cannot pack %s\n", file.c_str());
            ok = false;
            break;
        }
        DosTime(file, w.date, w.time);
        w.method = options.store ? 0 : 8;
        w.flags = static_cast<uint16_t>(1 | (options.descriptor ? 8 : 0));
        w.crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
        w.size = static_cast<uint32_t>(content.size());
        unsigned char check = options.descriptor ? static_cast<unsigned char>(w.time >> 8) : static_cast<unsigned char>(w.crc >> 24);
        std::string data = Encrypt(options.store ? content : Deflate(content), options.password, check, random);
        w.compressedSize = static_cast<uint32_t>(data.size());
        w.offset = offset;
        std::string record;
        Put32(record, 0x04034b50);
        Put16(record, 20);
        PutMemberFields(record, w);
        Put16(record, static_cast<uint32_t>(w.name.size()));
        Put16(record, 0);
        record += w.name;
        record += data;
        if (options.descriptor) {
            Put32(record, 0x08074b50);
            Put32(record, w.crc);
            Put32(record, w.compressedSize);
            Put32(record, w.size);
        }
        if (fwrite(record.data(), 1, record.size(), out) != record.size()) ok = false;
        offset += static_cast<uint32_t>(record.size());
        written.push_back(w);
    }
    std::string directory;
    for (const Written& w : written) {
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        PutMemberFields(directory, w);
        Put16(directory, static_cast<uint32_t>(w.name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, w.offset);
        directory += w.name;
    }
    const uint32_t directorySize = static_cast<uint32_t>(directory.size());
    Put32(directory, 0x06054b50);
    Put16(directory, 0);
    Put16(directory, 0);
    Put16(directory, static_cast<uint32_t>(written.size()));
    Put16(directory, static_cast<uint32_t>(written.size()));
    Put32(directory, directorySize);
    Put32(directory, offset);
    Put16(directory, 0);
    if (ok && fwrite(directory.data(), 1, directory.size(), out) != directory.size()) ok = false;
    if (fclose(out) != 0) ok = false;
    if (!ok) {
        fprintf(stderr, "fdpack: cannot write %s\n", archive.c_str());
        fs::remove(archive, error);
    }
    return ok;
}
