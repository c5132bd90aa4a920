#include "zip_fixture.h"

#include <zlib.h>

namespace zipfx {

const char kBuiltInPassword[] = "Trademark\xA9 2037-2064 Quill Bay Ferriers, Ltd";

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The traditional cipher, written apart from the product's.
struct Keys {
    uint32_t k[3];
    explicit Keys(const std::string& password) : k{0x12345678u, 0x23456789u, 0x34567890u} {
        for (unsigned char c : password) Update(c);
    }
    void Update(unsigned char c) {
        const auto* table = get_crc_table();
        k[0] = static_cast<uint32_t>(table[(k[0] ^ c) & 0xFF]) ^ (k[0] >> 8);
        k[1] = (k[1] + (k[0] & 0xFF)) * 134775813u + 1;
        k[2] = static_cast<uint32_t>(table[(k[2] ^ (k[1] >> 24)) & 0xFF]) ^ (k[2] >> 8);
    }
    unsigned char Encrypt(unsigned char plain) {
        uint32_t t = (k[2] & 0xFFFF) | 2;
        unsigned char cipher = static_cast<unsigned char>(plain ^ (((t * (t ^ 1)) & 0xFFFF) >> 8));
        Update(plain);
        return cipher;
    }
};

}  // namespace

uint32_t Crc(const std::string& data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
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

Builder& Builder::Add(const Member& m) {
    std::string payload = m.rawGiven ? m.raw : m.method == 8 ? Deflate(m.data) : m.data;
    payload += m.afterData;
    uint32_t crc = Crc(m.data);
    uint16_t flags = static_cast<uint16_t>((m.encrypt ? 1 : 0) | (m.descriptor ? 8 : 0));
    if (m.encrypt) {
        Keys keys(m.password);
        bool byTime = m.check == Check::Time || (m.check == Check::ByFlag && m.descriptor);
        std::string header;
        for (int i = 0; i < 11; ++i) header += static_cast<char>(0x5A + 37 * i);
        header += static_cast<char>(byTime ? m.modTime >> 8 : crc >> 24);
        std::string encrypted;
        for (unsigned char c : header + payload) encrypted += static_cast<char>(keys.Encrypt(c));
        payload = encrypted;
    }
    uint32_t compressedSize = m.compressedSizeOverride >= 0 ? static_cast<uint32_t>(m.compressedSizeOverride)
                                                             : static_cast<uint32_t>(payload.size());
    Entry e{m, crc ^ m.crcXor, compressedSize, static_cast<uint32_t>(m.data.size()),
            static_cast<uint32_t>(bytes_.size())};
    Put32(bytes_, 0x04034b50);
    Put16(bytes_, 20);
    Put16(bytes_, flags);
    Put16(bytes_, m.method);
    Put16(bytes_, m.modTime);
    Put16(bytes_, m.modDate);
    Put32(bytes_, e.crc);
    Put32(bytes_, e.compressedSize);
    Put32(bytes_, e.size);
    Put16(bytes_, static_cast<uint32_t>(m.name.size()));
    Put16(bytes_, static_cast<uint32_t>(m.extra.size()));
    bytes_ += m.name + m.extra + payload;
    if (m.descriptor) {
        if (m.descriptorLength == 16) Put32(bytes_, 0x08074b50);
        Put32(bytes_, e.crc);
        Put32(bytes_, e.compressedSize);
        Put32(bytes_, e.size);
    }
    entries_.push_back(e);
    return *this;
}

Builder& Builder::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

Builder& Builder::Central() {
    for (const Entry& e : entries_) {
        Put32(bytes_, 0x02014b50);
        Put16(bytes_, 20);
        Put16(bytes_, 20);
        Put16(bytes_, static_cast<uint32_t>((e.member.encrypt ? 1 : 0) | (e.member.descriptor ? 8 : 0)));
        Put16(bytes_, e.member.method);
        Put16(bytes_, e.member.modTime);
        Put16(bytes_, e.member.modDate);
        Put32(bytes_, e.crc);
        Put32(bytes_, e.compressedSize);
        Put32(bytes_, e.size);
        Put16(bytes_, static_cast<uint32_t>(e.member.name.size()));
        Put16(bytes_, 0);
        Put16(bytes_, 3);  // a comment, stepped over
        Put16(bytes_, 0);
        Put16(bytes_, 0);
        Put32(bytes_, 0);
        Put32(bytes_, e.offset);
        bytes_ += e.member.name + "c!c";
    }
    return *this;
}

Builder& Builder::End(const std::string& comment) {
    Put32(bytes_, 0x06054b50);
    Put16(bytes_, 0);
    Put16(bytes_, 0);
    Put16(bytes_, static_cast<uint32_t>(entries_.size()));
    Put16(bytes_, static_cast<uint32_t>(entries_.size()));
    Put32(bytes_, 0);
    Put32(bytes_, 0);
    Put16(bytes_, static_cast<uint32_t>(comment.size()));
    bytes_ += comment;
    return *this;
}

std::string Archive(const std::vector<Member>& members) {
    Builder b;
    for (const Member& m : members) b.Add(m);
    return b.Complete().Bytes();
}

}  // namespace zipfx
