// One member: output stage sizes, methods, CRC check, filter, output
// paths, file time, test mode.
#include <time.h>

#include "extract_harness.h"

using namespace extract_test;
using zipfx::Member;

namespace {

class MemberTest : public ExtractTest {};

std::vector<unsigned> gWrites;
int RecordWrite(unsigned count) {
    gWrites.push_back(count);
    return static_cast<int>(count);
}

TEST_F(MemberTest, OutputIsWrittenInBlocksOf28672) {
    struct Case {
        size_t size;
        uint16_t method;
        std::vector<unsigned> writes;
    } cases[] = {
        {28672, 0, {28672}},
        {28672, 8, {28672}},
        {28673, 0, {28672, 1}},
        {100000, 8, {28672, 28672, 28672, 13984}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        gWrites.clear();
        sys::host::SetWriteHook(RecordWrite);
        const std::string data = Noise(c.size, static_cast<unsigned>(c.size));
        EXPECT_EQ(Run(zipfx::Archive({M("m.bin", data, c.method)})), 0);
        EXPECT_EQ(gWrites, c.writes);
        EXPECT_EQ(ReadWhole(out / "m.bin"), data);
    }
}

TEST_F(MemberTest, UnknownMethodDeletesTheCreatedFile) {
    Member m = M("six.bin", "data");
    m.method = 6;
    EXPECT_EQ(Run(zipfx::Archive({M("first.txt", "1"), m})), EXTRACT_RESULT_ERROR);
    EXPECT_EQ(BoxTexts(), "unknown compression");
    EXPECT_EQ(Output(), (Files{{"first.txt", "1"}}));
}

TEST_F(MemberTest, DamageIsFoundOnlyByTheCrcWhenAskedFor) {
    const std::string text(3000, 'q');
    Member corrupt = M("c.txt", text, 8);
    corrupt.rawGiven = true;
    corrupt.raw = zipfx::Deflate(text);
    corrupt.raw[corrupt.raw.size() / 2] ^= 0x55;
    Member wrongCrc = M("w.txt", "payload");
    wrongCrc.crcXor = 0x01000001;
    wrongCrc.descriptor = true;  // the check byte is then the time's, so the password still fits
    struct Case {
        const char* what;
        Member member;
        uint16_t report;
        int result;
    } cases[] = {
        {"corrupt deflate, not reported", corrupt, 0, 0},
        {"corrupt deflate, reported", corrupt, 1, 2},
        {"a header CRC that does not match, reported", wrongCrc, 1, 2},
        {"a report value other than 1 is silent", wrongCrc, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gBoxes.clear();
        ExtractRequest r = Request();
        r.reportCrcErrors = c.report;
        EXPECT_EQ(Run(zipfx::Archive({c.member}), r), c.result);
        const fs::path file = out / c.member.name;
        ASSERT_TRUE(fs::exists(file)) << "the damaged file stays";
        if (c.result == 0) {
            EXPECT_EQ(BoxTexts(), "");
            continue;
        }
        char expected[300];
        snprintf(expected, sizeof expected, "ZIP damaged: file %s\\%s: Bad CRC %08x (should be %08x)",
                 Shown(destination).c_str(), c.member.name.c_str(), zipfx::Crc(ReadWhole(file)),
                 zipfx::Crc(c.member.data) ^ c.member.crcXor);
        EXPECT_EQ(BoxTexts(), expected);
    }
}

TEST_F(MemberTest, TestModeWritesNothingAndStillChecksCrcs) {
    Member damaged = M("b.txt", "beta");
    damaged.crcXor = 0xFF;
    ExtractRequest r = Request();
    r.destinationFolder = nullptr;
    EXPECT_EQ(Run(zipfx::Archive({M("a.txt", "alpha", 8), M("a.txt", "alpha"), damaged}), r), 2);
    EXPECT_TRUE(Output().empty());
    EXPECT_TRUE(Tree(dir).size() == 1) << "only the archive itself";
    char expected[100];
    snprintf(expected, sizeof expected, "ZIP damaged: file b.txt: Bad CRC %08x (should be %08x)", zipfx::Crc("beta"),
             zipfx::Crc("beta") ^ 0xFF);
    EXPECT_EQ(BoxTexts(), expected);
}

TEST_F(MemberTest, FilterMatchesSlashesAsForwardAndIgnoresCase) {
    auto entry = [](const char* name, FilterEntry* next) {
        auto* e = new FilterEntry{next, {}};
        strcpy(e->name, name);
        return e;
    };
    FilterEntry* list = entry("Docs/Read.ME", entry("sub\\x.txt", entry("top.txt", nullptr)));
    ExtractRequest r = Request();
    r.filterList = list;
    EXPECT_EQ(Run(zipfx::Archive({M("docs\\read.me", "1"), M("sub\\x.txt", "2"), M("TOP.TXT", "3"),
                                  M("other.txt", "4")}),
                  r),
              0);
    EXPECT_EQ(Output(), (Files{{"TOP.TXT", "3"}, {"read.me", "1"}}));
    while (list) {
        FilterEntry* next = list->next;
        delete list;
        list = next;
    }
}

TEST_F(MemberTest, OutputPathsFromDestinationAndKeepPaths) {
    fs::create_directories(out / "sub");
    struct Case {
        const char* what;
        std::string destinationSuffix;
        int keepPaths;
        std::string name;
        std::string landsAt;  // below out, "" when refused
    } cases[] = {
        {"final component only", "", 0, "deep/er\\name.txt", "name.txt"},
        {"a trailing slash", "/", 0, "a.txt", "a.txt"},
        {"a trailing backslash", "\\", 0, "b.txt", "b.txt"},
        {"kept folder", "", 1, "sub/c.txt", "sub/c.txt"},
        {"kept folder with backslashes", "", 1, "sub\\d.txt", "sub/d.txt"},
        {"kept folder that does not exist", "", 1, "nosub/e.txt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gBoxes.clear();
        std::string dest = destination + c.destinationSuffix;
        ExtractRequest r = Request();
        r.destinationFolder = dest.c_str();
        r.keepPaths = c.keepPaths;
        int result = Run(zipfx::Archive({M(c.name, c.what)}), r);
        if (c.landsAt.empty()) {
            EXPECT_EQ(result, 2);
            EXPECT_EQ(BoxTexts(), "Can't create output file: " + Shown(destination + "/" + c.name));
        } else {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(BoxTexts(), "");
            EXPECT_EQ(ReadWhole(out / c.landsAt), c.what);
        }
    }
}

TEST_F(MemberTest, AnEmptyDestinationIsTheCurrentFolder) {
    const fs::path before = fs::current_path();
    fs::current_path(out);
    ExtractRequest r = Request();
    r.destinationFolder = "";
    int result = Run(zipfx::Archive({M("x/here.txt", "h")}), r);
    fs::current_path(before);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Output(), (Files{{"here.txt", "h"}}));
}

TEST_F(MemberTest, ALaterMemberWithTheSameFinalNameOverwrites) {
    EXPECT_EQ(Run(zipfx::Archive({M("one/same.txt", "first"), M("two/same.txt", "second")})), 0);
    EXPECT_EQ(Output(), (Files{{"same.txt", "second"}}));
}

TEST_F(MemberTest, TheFileGetsTheHeadersLocalTime) {
    Member m = M("t.txt", "t");
    m.modDate = (43 << 9) | (2 << 5) | 28;  // 2023-02-28
    m.modTime = (13 << 11) | (45 << 5) | 15;  // 13:45:30
    EXPECT_EQ(Run(zipfx::Archive({m})), 0);
    struct stat st;
    ASSERT_EQ(stat((out / "t.txt").c_str(), &st), 0);
    struct tm t;
    localtime_r(&st.st_mtime, &t);
    EXPECT_EQ(t.tm_year + 1900, 2023);
    EXPECT_EQ(t.tm_mon + 1, 2);
    EXPECT_EQ(t.tm_mday, 28);
    EXPECT_EQ(t.tm_hour, 13);
    EXPECT_EQ(t.tm_min, 45);
    EXPECT_EQ(t.tm_sec, 30);
}

}  // namespace
