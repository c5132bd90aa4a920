// The walk over an archive's records, the request's fields and the
// extractor's entry: results, boxes, cleanup.
#include "extract_harness.h"

using namespace extract_test;
using zipfx::Builder;
using zipfx::Member;

namespace {

Member WithDescriptor(Member m, int length) {
    m.descriptor = true;
    m.descriptorLength = length;
    return m;
}

Member Method(Member m, uint16_t method) {
    m.method = method;
    m.rawGiven = true;
    m.raw = m.data;
    return m;
}

struct WalkCase {
    const char* what;
    std::string bytes;
    uint32_t startOffset;
    int skipEmpty;
    int result;
    std::string boxes;
    Files files;
};

class WalkTest : public ExtractTest {};

TEST_F(WalkTest, RecordsAndResynchronisation) {
    const std::string deflatable(5000, 'z');
    // The end of a member whose deflate stream stops before its compressed
    // size: the walk meets the rest as unknown bytes.
    Member shortStream = M("short.txt", "hello", 8);
    shortStream.afterData = std::string(30000, 'J');
    Member empty = M("empty.txt", "");
    const std::string failing = Builder().Add(Method(M("bad.bin", "x"), 6)).Bytes();
    const std::string crcError = "ZIP damaged: file ";

    const WalkCase cases[] = {
        {"stored and deflated members",
         zipfx::Archive({M("a.txt", "alpha"), M("b.txt", deflatable, 8)}), 0, 0, 0, "",
         {{"a.txt", "alpha"}, {"b.txt", deflatable}}},
        {"junk between records",
         Builder().Add(M("a.txt", "alpha")).Raw("junk!PK").Add(M("b.txt", "beta")).Raw("xx").Complete().Bytes(),
         0, 0, 0, "", {{"a.txt", "alpha"}, {"b.txt", "beta"}}},
        {"a 12-byte descriptor after a bit-3 member",
         zipfx::Archive({WithDescriptor(M("a.txt", "alpha", 8), 12), M("b.txt", "beta")}), 0, 0, 0, "",
         {{"a.txt", "alpha"}, {"b.txt", "beta"}}},
        {"a signed 16-byte descriptor",
         zipfx::Archive({WithDescriptor(M("a.txt", "alpha"), 16), WithDescriptor(M("b.txt", "beta", 8), 16)}), 0, 0,
         0, "", {{"a.txt", "alpha"}, {"b.txt", "beta"}}},
        {"no central directory and no end record",
         Builder().Add(M("a.txt", "alpha")).Add(M("b.txt", "beta")).Bytes(), 0, 0, 2,
         "Error reading ARCHIVE.  Possible cause: bad disk", {{"a.txt", "alpha"}, {"b.txt", "beta"}}},
        {"bytes after the end record are never read", zipfx::Archive({M("a.txt", "alpha")}) + failing, 0, 0, 0, "",
         {{"a.txt", "alpha"}}},
        {"folder entries of both kinds",
         zipfx::Archive({M("dir/", ""), M("dir\\", ""), M("dir/a.txt", "alpha")}), 0, 0, 0, "",
         {{"a.txt", "alpha"}}},
        {"an empty member is extracted", zipfx::Archive({empty}), 0, 0, 0, "", {{"empty.txt", ""}}},
        {"an empty member is stepped over", zipfx::Archive({empty, M("a.txt", "alpha")}), 0, 1, 0, "",
         {{"a.txt", "alpha"}}},
        {"the walk starts at startOffset", failing + zipfx::Archive({M("a.txt", "alpha")}),
         static_cast<uint32_t>(failing.size()), 0, 0, "", {{"a.txt", "alpha"}}},
        {"a stream ending early leaves its rest to the scan",
         zipfx::Archive({shortStream, M("b.txt", "beta")}), 0, 0, 0, "",
         {{"b.txt", "beta"}, {"short.txt", "hello"}}},
        {"no signature anywhere", std::string("PK\x05\x07 not an archive at all"), 0, 0, 2,
         "Invalid Zipfile Header", {}},
        {"an empty file", "", 0, 0, 2, "Error reading ARCHIVE.  Possible cause: bad disk", {}},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        fs::create_directory(out);
        gBoxes.clear();
        ExtractRequest r = Request();
        r.startOffset = c.startOffset;
        r.skipEmptyMembers = c.skipEmpty;
        EXPECT_EQ(Run(c.bytes, r), c.result);
        std::string expectedBoxes = c.boxes;
        if (auto at = expectedBoxes.find("ARCHIVE"); at != std::string::npos) expectedBoxes.replace(at, 7, archive);
        EXPECT_EQ(BoxTexts(), expectedBoxes);
        EXPECT_EQ(Output(), c.files);
    }
}

TEST_F(WalkTest, EveryBoxIsAnErrorBoxOwnedByTheOwnerWithoutCaption) {
    EXPECT_EQ(Run("garbage"), EXTRACT_RESULT_ERROR);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].owner, owner);
    EXPECT_FALSE(gBoxes[0].hasCaption);
    EXPECT_EQ(gBoxes[0].flags, static_cast<UINT>(MB_ICONERROR));
}

TEST_F(WalkTest, ArchiveNameGetsZipOnlyWithoutAnyDot) {
    const std::string bytes = zipfx::Archive({M("a.txt", "alpha")});
    fs::create_directory(dir / "with.dot");
    struct Case {
        std::string given, onDisk;
        int result;
        std::string box;
    } cases[] = {
        {(dir / "plain").string(), (dir / "plain.ZIP").string(), 0, ""},
        {(dir / "with.dot" / "plain").string(), (dir / "with.dot" / "plain").string(), 0, ""},
        {(dir / "missing").string(), "", 2, "Can't open input file: " + (dir / "missing.ZIP").string()},
        {(dir / "gone.zip").string(), "", 2, "Can't open input file: " + (dir / "gone.zip").string()},
        {std::string(300, 'p'), "", 2, "Can't open input file: " + std::string(300, 'p')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.given);
        gBoxes.clear();
        if (!c.onDisk.empty()) WriteWhole(c.onDisk, bytes);
        ExtractRequest r = Request();
        r.archivePath = c.given.c_str();
        ASSERT_EQ(ExtractArchive(&r), 1);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(BoxTexts(), c.box);
    }
}

TEST_F(WalkTest, SuccessLeavesTheCallersResult) {
    WriteWhole(archive, zipfx::Archive({M("a.txt", "alpha")}));
    ExtractRequest r = Request();
    r.result = 7;
    ASSERT_EQ(ExtractArchive(&r), 1);
    EXPECT_EQ(r.result, 7);
}

ExtractRequest* gNested = nullptr;
int gNestedReturn = -1;

TEST_F(WalkTest, ACallDuringAnExtractionIsRefused) {
    WriteWhole(archive, zipfx::Archive({M("a.txt", "alpha"), M("b.txt", "beta")}));
    ExtractRequest nested = Request();
    nested.result = 5;
    gNested = &nested;
    gNestedReturn = -1;
    gOnSend = [](const Sent&) {
        if (gNestedReturn == -1) gNestedReturn = ExtractArchive(gNested);
    };
    ExtractRequest r = Request();
    ASSERT_EQ(ExtractArchive(&r), 1);
    EXPECT_EQ(gNestedReturn, 0);
    EXPECT_EQ(nested.result, 5);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(Output(), (Files{{"a.txt", "alpha"}, {"b.txt", "beta"}}));
    // and the extractor is free again afterwards
    EXPECT_EQ(ExtractArchive(&nested), 1);
}

TEST_F(WalkTest, MemoryRefusalsShowInsufficientMemory) {
    WriteWhole(archive, zipfx::Archive({M("a.txt", "alpha")}));
    for (int refused = 1; refused <= 4; ++refused) {
        SCOPED_TRACE(refused);
        gBoxes.clear();
        static int count, failAt;
        count = 0;
        failAt = refused;
        sys::host::SetAllocHook([](size_t) { return ++count != failAt; });
        ExtractRequest r = Request();
        r.hasPassword = 1;  // the fourth allocation is the password's copy
        r.password = zipfx::kBuiltInPassword;
        ASSERT_EQ(ExtractArchive(&r), 1);
        EXPECT_EQ(r.result, EXTRACT_RESULT_ERROR);
        EXPECT_EQ(BoxTexts(), "Insufficient memory");
        EXPECT_TRUE(Output().empty());
    }
}

TEST_F(WalkTest, ProgressNamesEachMemberAndCountsDataBytes) {
    const std::string big = Noise(25000);
    Member sub = M("sub\\b.bin", big);
    WriteWhole(archive, zipfx::Archive({M("dir/a.txt", "alpha"), sub}));
    ExtractRequest r = Request();
    ASSERT_EQ(ExtractArchive(&r), 1);
    ASSERT_EQ(r.result, 0);
    std::vector<std::string> names;
    std::vector<uintptr_t> units;
    for (const Sent& s : gSent) {
        if (s.message == kExtractMsgShowName) names.push_back(s.name);
        if (s.message == kExtractMsgProgress) units.push_back(s.wParam);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.bin"}));
    // forced at each member; then after the refill that passes 10240 bytes
    // (5 + 25000 data bytes read: 2 units after the second member's refill)
    EXPECT_EQ(units, (std::vector<uintptr_t>{0, 0, 2}));
}

TEST_F(WalkTest, ACancelDeletesThePartialMemberAndKeepsEarlierOnes) {
    const std::string big = Noise(70000);
    struct Case {
        const char* what;
        bool byReply;
    } cases[] = {{"the owner's reply", true}, {"the cancel flag", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out);
        fs::create_directory(out);
        gBoxes.clear();
        gState.cancelRequested = 0;
        gProgressReply = 0;
        static bool byReply;
        byReply = c.byReply;
        gOnSend = [](const Sent& s) {
            // cancel while the second member is being read
            if (s.message == kExtractMsgProgress && s.wParam >= 1) {
                if (byReply) gProgressReply = 1;
                else gState.cancelRequested = 1;
            }
        };
        EXPECT_EQ(Run(zipfx::Archive({M("a.txt", "alpha"), M("big.bin", big)})), EXTRACT_RESULT_CANCELLED);
        EXPECT_EQ(BoxTexts(), "");
        EXPECT_EQ(Output(), (Files{{"a.txt", "alpha"}}));
    }
}

TEST_F(WalkTest, ReadAndWriteFailuresDeleteThePartialMember) {
    const std::string big = Noise(40000);
    const std::string whole = zipfx::Archive({M("a.txt", "alpha"), M("big.bin", big)});
    const std::string truncated = whole.substr(0, whole.find("big.bin") + 7 + 30000);

    EXPECT_EQ(Run(truncated), EXTRACT_RESULT_ERROR);
    EXPECT_EQ(BoxTexts(), "Error reading " + archive + ".  Possible cause: bad disk");
    EXPECT_EQ(Output(), (Files{{"a.txt", "alpha"}}));

    gBoxes.clear();
    fs::remove_all(out);
    fs::create_directory(out);
    static int writes;
    writes = 0;
    sys::host::SetWriteHook([](unsigned count) { return ++writes == 3 ? static_cast<int>(count) - 1 : static_cast<int>(count); });
    EXPECT_EQ(Run(whole), EXTRACT_RESULT_ERROR);
    EXPECT_EQ(BoxTexts(), "Error writing to " + Shown(destination) + "\\big.bin.  Possible cause: disk full");
    EXPECT_EQ(Output(), (Files{{"a.txt", "alpha"}}));

    gBoxes.clear();
    sys::host::SetWriteHook([](unsigned) { return -1; });
    EXPECT_EQ(Run(whole), EXTRACT_RESULT_ERROR);
    EXPECT_EQ(BoxTexts(), "Error writing to " + Shown(destination) + "\\a.txt.  Possible cause: disk full");
}

}  // namespace
