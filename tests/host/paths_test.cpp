#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "common/paths.h"
#include "common/sys_host.h"

namespace {

// Shift-JIS: 0x95 0x5C is one character whose trail byte is "\".
constexpr const char* kTrailBackslash = "\x95\x5c";

class CodePage {
public:
    explicit CodePage(unsigned cp) { sys::host::SetCodePage(cp); }
    ~CodePage() { sys::host::SetCodePage(0); }
};

// Offset of a scanner's answer in s; -1 for null.
long Offset(const char* s, const char* found) { return found ? found - s : -1; }

TEST(PathScanners, SingleByteCases) {
    struct Case {
        const char* s;
        long firstSeparator, lastSeparator, lastChar;
    };
    const Case cases[] = {
        {"abc", 3, -1, 2},
        {"", 0, -1, 0},
        {"C:\\a/b", 2, 4, 5},
        {"\\", 0, 0, 0},
        {"a\\b\\", 1, 3, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Offset(c.s, FindPathSeparator(c.s)), c.firstSeparator) << c.s;
        EXPECT_EQ(Offset(c.s, FindLastSeparator(c.s)), c.lastSeparator) << c.s;
        EXPECT_EQ(Offset(c.s, LastCharPtr(c.s)), c.lastChar) << c.s;
    }
}

TEST(PathScanners, CharSearch) {
    const char* s = "a.b.c";
    EXPECT_EQ(Offset(s, FindChar(s, '.')), 1);
    EXPECT_EQ(Offset(s, FindLastChar(s, '.')), 3);
    EXPECT_EQ(Offset(s, FindChar(s, '*')), 5);  // the NUL
    EXPECT_EQ(FindLastChar(s, '*'), nullptr);
}

TEST(PathScanners, TrailByteIsNeverASeparatorInADoubleByteCodePage) {
    CodePage japanese(932);
    const std::string name = std::string("C:\\") + kTrailBackslash + "x";  // C:\ X x
    const char* s = name.c_str();
    struct Case {
        const char* what;
        long got, expected;
    };
    const std::string tailOnly = std::string(kTrailBackslash) + "a";
    const Case cases[] = {
        {"first separator", Offset(s, FindPathSeparator(s + 3)), 6},
        {"last separator", Offset(s, FindLastSeparator(s)), 2},
        {"last char", Offset(s, LastCharPtr(s)), 5},
        {"FindChar \\", Offset(s, FindChar(s + 3, '\\')), 6},
        {"FindLastChar \\", Offset(s, FindLastChar(s, '\\')), 2},
        {"last char of a double-byte end", Offset(tailOnly.c_str(), LastCharPtr(tailOnly.c_str())), 2},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.expected) << c.what;

    const std::string endsInDbcs = std::string("dir") + kTrailBackslash;
    EXPECT_EQ(Offset(endsInDbcs.c_str(), LastCharPtr(endsInDbcs.c_str())), 3);
    EXPECT_EQ(FindLastSeparator(endsInDbcs.c_str()), nullptr);
}

TEST(PathScanners, SameBytesAreSeparatorsInASingleByteCodePage) {
    const std::string name = std::string("C:\\") + kTrailBackslash;
    EXPECT_EQ(Offset(name.c_str(), FindLastSeparator(name.c_str())), 4);
}

TEST(PathScanners, LeadByteAtTheEndStepsAlone) {
    CodePage japanese(932);
    const char s[] = "ab\x95";
    EXPECT_EQ(Offset(s, LastCharPtr(s)), 2);
    EXPECT_EQ(Offset(s, FindPathSeparator(s)), 3);
}

TEST(CharacterClasses, LettersAndSlashesOnly) {
    for (int c = 0; c < 256; ++c) {
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        EXPECT_EQ(IsAsciiLetter(c), letter ? 1 : 0) << c;
        EXPECT_EQ(IsSlash(c), (c == '\\' || c == '/') ? 1 : 0) << c;
    }
}

TEST(AppendSlash, AddsABackslashOnlyWhenTheLastCharacterIsNoSeparator) {
    struct Case {
        std::string before, after;
        unsigned codePage;
    };
    const Case cases[] = {
        {"", "\\", 0},
        {"C:\\Fardel", "C:\\Fardel\\", 0},
        {"C:\\Fardel\\", "C:\\Fardel\\", 0},
        {"C:/Fardel/", "C:/Fardel/", 0},
        {std::string("C:\\") + kTrailBackslash, std::string("C:\\") + kTrailBackslash + "\\", 932},
        {std::string("C:\\") + kTrailBackslash, std::string("C:\\") + kTrailBackslash, 0},
    };
    for (const Case& c : cases) {
        CodePage cp(c.codePage);
        char buffer[64];
        strcpy(buffer, c.before.c_str());
        AppendSlash(buffer);
        EXPECT_EQ(std::string(buffer), c.after) << "from \"" << c.before << "\" in code page " << c.codePage;
    }
}

}  // namespace
