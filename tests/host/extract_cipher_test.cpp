// The traditional cipher, the CRC-32 and the password check of members.
#include "extract/zip_cipher.h"
#include "extract_harness.h"

using namespace extract_test;
using zipfx::Member;

namespace {

TEST(Crc32, StandardValues) {
    struct Case {
        std::string bytes;
        uint32_t crc;
    } cases[] = {{"", 0}, {"123456789", 0xCBF43926u}, {"a", 0xE8B7BE43u}};
    for (const Case& c : cases) {
        uint32_t crc = Crc32Update(0xFFFFFFFFu, reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(~crc, c.crc) << c.bytes;
    }
    EXPECT_EQ(kCrcTable.entries[1], 0x77073096u);
    EXPECT_EQ(kCrcTable.entries[255], 0x2D02EF8Du);
}

TEST(Cipher, KeysAfterAPassword) {
    struct Case {
        const char* password;
        CipherKeys keys;
        unsigned char streamByte;
    } cases[] = {
        {"", {0x12345678u, 0x23456789u, 0x34567890u}, 0xAB},
        {"secret", {0xDDA9E469u, 0x96212999u, 0xF9FC9651u}, 0xC8},
        {kDefaultPassword, {0x9F2CD160u, 0xB6246516u, 0x9C087BCEu}, 0x15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.password);
        InitKeys(c.password);
        EXPECT_EQ(gKeys.key0, c.keys.key0);
        EXPECT_EQ(gKeys.key1, c.keys.key1);
        EXPECT_EQ(gKeys.key2, c.keys.key2);
        EXPECT_EQ(DecryptByte(), c.streamByte);
        EXPECT_EQ(DecryptByte(), c.streamByte) << "reading the stream byte changes no key";
    }
}

TEST(Cipher, BuiltInPasswordIs44AnsiBytes) {
    EXPECT_EQ(strlen(kDefaultPassword), 44u);
    EXPECT_EQ(static_cast<unsigned char>(kDefaultPassword[9]), 0xA9);
    EXPECT_EQ(std::string(kDefaultPassword), zipfx::kBuiltInPassword);
}

class PasswordTest : public ExtractTest {};

TEST_F(PasswordTest, CheckByteAndPasswords) {
    auto with = [](Member m, bool descriptor, zipfx::Check check, const char* password) {
        m.descriptor = descriptor;
        m.check = check;
        m.password = password;
        return m;
    };
    // "x" has CRC 0x8CDC1683; the time's high byte is 0x60.
    const Member base = M("x.txt", "x");
    struct Case {
        const char* what;
        Member member;
        int hasPassword;
        const char* password;
        int result;
    } cases[] = {
        {"bit 3: the time's high byte", with(base, true, zipfx::Check::ByFlag, zipfx::kBuiltInPassword), 0, "", 0},
        {"bit 3 with the CRC's byte", with(base, true, zipfx::Check::Crc, zipfx::kBuiltInPassword), 0, "", 2},
        {"no bit 3: the CRC's high byte", with(base, false, zipfx::Check::ByFlag, zipfx::kBuiltInPassword), 0, "", 0},
        {"no bit 3 with the time's byte", with(base, false, zipfx::Check::Time, zipfx::kBuiltInPassword), 0, "", 2},
        {"a password of the request", with(base, false, zipfx::Check::ByFlag, "other"), 1, "other", 0},
        {"an empty password", with(base, true, zipfx::Check::ByFlag, ""), 1, "", 0},
        {"a wrong password", with(base, false, zipfx::Check::ByFlag, "other"), 0, "", 2},
        {"the built-in one replaced", with(base, false, zipfx::Check::ByFlag, zipfx::kBuiltInPassword), 1, "other", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        fs::create_directory(out);
        gBoxes.clear();
        ExtractRequest r = Request();
        r.hasPassword = c.hasPassword;
        r.password = c.password;
        EXPECT_EQ(Run(zipfx::Archive({c.member}), r), c.result);
        if (c.result == 0) {
            EXPECT_EQ(Output(), (Files{{"x.txt", "x"}}));
        } else {
            EXPECT_EQ(BoxTexts(), "INCORRECT PASSWORD");
            EXPECT_TRUE(Output().empty()) << "nothing is created before the check";
        }
    }
}

TEST_F(PasswordTest, EachEncryptedMemberStartsFromItsOwnKeys) {
    const std::string big = Noise(30000);
    EXPECT_EQ(Run(zipfx::Archive({M("a.bin", big, 8), M("b.bin", big), M("plain.txt", "p")})), 0);
    EXPECT_EQ(BoxTexts(), "");
    EXPECT_EQ(Output(), (Files{{"a.bin", big}, {"b.bin", big}, {"plain.txt", "p"}}));
}

TEST_F(PasswordTest, UnencryptedMembersAreReadAsStored) {
    Member m = M("p.txt", "plain", 8);
    m.encrypt = false;
    EXPECT_EQ(Run(zipfx::Archive({m})), 0);
    EXPECT_EQ(Output(), (Files{{"p.txt", "plain"}}));
}

TEST_F(PasswordTest, AZip64MarkedSizeEndsTheExtractionBeforeAnythingIsCreated) {
    for (bool encrypt : {true, false}) {
        SCOPED_TRACE(encrypt);
        gBoxes.clear();
        Member m = M("streamed.bin", "streamed data");
        m.encrypt = encrypt;
        m.descriptor = true;
        m.compressedSizeOverride = 0xFFFFFFFF;
        EXPECT_EQ(Run(zipfx::Archive({M("first.txt", "1"), m})), 2);
        EXPECT_EQ(BoxTexts(), "Invalid Zipfile Header");
        EXPECT_EQ(Output(), (Files{{"first.txt", "1"}}));
    }
}

TEST_F(PasswordTest, AnEncryptedMemberShorterThanItsHeaderEndsTheExtraction) {
    for (int size : {0, 5, 11}) {
        SCOPED_TRACE(size);
        gBoxes.clear();
        Member m = M("short.bin", "");
        m.encrypt = false;      // the flag is set by hand below
        m.rawGiven = true;
        m.raw = std::string(static_cast<size_t>(size), 'r');
        std::string bytes = zipfx::Archive({M("first.txt", "1"), m});
        size_t flagAt = bytes.find("\x50\x4b\x03\x04", 1) + 6;
        bytes[flagAt] = 1;
        EXPECT_EQ(Run(bytes), 2);
        EXPECT_EQ(BoxTexts(), "Invalid Zipfile Header");
        EXPECT_EQ(Output(), (Files{{"first.txt", "1"}}));
    }
}

}  // namespace
