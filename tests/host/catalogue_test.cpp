#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/catalogue.h"
#include "common/sys_host.h"
#include "setup/install_state.h"

namespace {

const sys::host::StringEntry kCatalogue[] = {
#include "expected_catalogue.inc"
    {0, nullptr},
};

struct Box {
    HWND owner;
    std::string text;
    bool hasCaption;
    std::string caption;
    UINT flags;
};
std::vector<Box> gBoxes;
int gAnswer = IDOK;

int RecordBox(HWND owner, const char* text, const char* caption, UINT flags) {
    gBoxes.push_back({owner, text, caption != nullptr, caption ? caption : "", flags});
    return gAnswer;
}

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetInstallState();
        UseTable(kCatalogue);
        strcpy(gState.setupTitle, "Fardel Setup");
        gBoxes.clear();
        gAnswer = IDOK;
        sys::host::SetBoxHandler(RecordBox);
    }
    void TearDown() override { sys::host::SetBoxHandler(nullptr); }
    static void UseTable(const sys::host::StringEntry* table) { gState.instance = sys::host::ModuleOf(table); }
    static void ExpectInternalErrorBox(const std::string& text) {
        ASSERT_EQ(gBoxes.size(), 1u);
        EXPECT_EQ(gBoxes[0].text, text);
        EXPECT_EQ(gBoxes[0].owner, nullptr);
        EXPECT_FALSE(gBoxes[0].hasCaption) << "the system's default caption is expected";
        EXPECT_EQ(gBoxes[0].flags, MB_ICONERROR);
    }
};

std::string Text(const char* catalogueEntry) { return catalogueEntry; }

const char* Stored(unsigned id) {
    for (const auto& entry : kCatalogue)
        if (entry.text && entry.id == id) return entry.text;
    return nullptr;
}

TEST_F(CatalogueTest, ChainsJoinWithoutTheirMarks) {
    struct Case {
        unsigned id;
        size_t length;
        std::vector<unsigned> pieces;
    };
    const Case cases[] = {
        {1039, 402, {1039, 1040, 1041, 1042}},
        {1044, 329, {1044, 1045}},
        {1046, 266, {1046, 1047, 1048}},
    };
    for (const Case& c : cases) {
        std::string expected;
        for (unsigned piece : c.pieces) {
            const char* stored = Stored(piece);
            expected += stored[0] == '!' ? stored + 1 : stored;
        }
        const std::string joined = LoadCatalogueString(c.id);
        EXPECT_EQ(joined, expected) << "id " << c.id;
        EXPECT_EQ(joined.size(), c.length) << "id " << c.id;
    }
    EXPECT_EQ(Text(LoadCatalogueString(1039)).rfind("Setup can not close", 0), 0u);
    EXPECT_EQ(LoadCatalogueString(1046)[0], '\n');
    EXPECT_TRUE(gBoxes.empty());
}

TEST_F(CatalogueTest, SinglePieceTextsComeBackAsStored) {
    for (const auto& entry : kCatalogue) {
        if (!entry.text || entry.text[0] == '!') continue;
        EXPECT_STREQ(LoadCatalogueString(entry.id), entry.text) << "id " << entry.id;
    }
    EXPECT_TRUE(gBoxes.empty());
}

// The limit counts each piece's stored length, its "!" included.
TEST_F(CatalogueTest, JoinLimitIsTestedBeforeEachPiece) {
    const std::string first = "!" + std::string(300, 'a');
    const std::string fits = std::string(212, 'b');     // 300 + 212 = 512
    const std::string tooLong = std::string(213, 'c');  // 300 + 213 = 513
    const std::string continued = "!" + std::string(212, 'd');  // adds 212, is charged 213
    const sys::host::StringEntry table[] = {
        {10, first.c_str()}, {11, fits.c_str()},
        {20, first.c_str()}, {21, tooLong.c_str()},
        {30, first.c_str()}, {31, continued.c_str()}, {32, "e"},
        {0, nullptr},
    };
    UseTable(table);

    EXPECT_EQ(Text(LoadCatalogueString(10)), std::string(300, 'a') + fits);
    EXPECT_TRUE(gBoxes.empty());

    EXPECT_EQ(Text(LoadCatalogueString(20)), std::string(300, 'a'));
    ExpectInternalErrorBox("Internal error: string resource too long: 21");

    gBoxes.clear();
    EXPECT_EQ(Text(LoadCatalogueString(30)), std::string(300, 'a'));
    ExpectInternalErrorBox("Internal error: string resource too long: 31");
}

TEST_F(CatalogueTest, OverlongSinglePieceArrivesCutAndIsRefused) {
    const std::string huge(600, 'x');
    const sys::host::StringEntry table[] = {{5, huge.c_str()}, {0, nullptr}};
    UseTable(table);
    EXPECT_STREQ(LoadCatalogueString(5), "");
    ExpectInternalErrorBox("Internal error: string resource too long: 5");
}

TEST_F(CatalogueTest, MissingPieceNamesItsOwnId) {
    const sys::host::StringEntry table[] = {{40, "!abc"}, {41, "!def"}, {0, nullptr}};
    UseTable(table);
    EXPECT_STREQ(LoadCatalogueString(40), "abcdef");
    ExpectInternalErrorBox("Internal error: string resource not found: 42");

    gBoxes.clear();
    EXPECT_STREQ(LoadCatalogueString(77), "");
    ExpectInternalErrorBox("Internal error: string resource not found: 77");
}

TEST_F(CatalogueTest, ResultsRotateOverThreeBuffers) {
    const char* first = LoadCatalogueString(1024);
    const char* second = LoadCatalogueString(1032);
    const char* third = LoadCatalogueString(1034);
    EXPECT_STREQ(first, "Invalid destination folder");
    const char* fourth = LoadCatalogueString(1035);
    EXPECT_EQ(fourth, first);
    EXPECT_STREQ(first, "Insufficient memory");
    EXPECT_STREQ(second, "unknown compression");
    EXPECT_STREQ(third, "Invalid Zipfile Header");
}

TEST_F(CatalogueTest, ShowMessageFormatsOneStoredTextUnderTheTitle) {
    gAnswer = IDRETRY;
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(ShowMessage(owner, 1033, MB_ICONERROR, "a.txt", 0x1234abcdul, 0xful), IDRETRY);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text, "ZIP damaged: file a.txt: Bad CRC 1234abcd (should be 0000000f)");
    EXPECT_EQ(gBoxes[0].caption, "Fardel Setup");
    EXPECT_EQ(gBoxes[0].owner, owner);
    EXPECT_EQ(gBoxes[0].flags, MB_ICONERROR);

    gBoxes.clear();
    ShowMessage(nullptr, 1039, MB_YESNO);  // a chain piece is shown as stored
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text, Stored(1039));
    EXPECT_EQ(gBoxes[0].text[0], '!');
}

TEST_F(CatalogueTest, ShowMessageCutsAnOverlongTextToItsBuffer) {
    const std::string folder(200, 'F');
    ShowMessage(nullptr, 1051, MB_YESNO | MB_ICONQUESTION, folder.c_str());
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text.size(), 515u);
    EXPECT_EQ(gBoxes[0].text.rfind("You have chosen to DELETE", 0), 0u);
}

TEST_F(CatalogueTest, ShowMessageTemplateIsReadUpTo511Characters) {
    const std::string stored = std::string(511, 'a') + "bc";
    const sys::host::StringEntry table[] = {{9, stored.c_str()}, {0, nullptr}};
    UseTable(table);
    ShowMessage(nullptr, 9, MB_OK);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text, std::string(511, 'a'));
}

TEST_F(CatalogueTest, ShowMessageForAMissingIdSaysWhichOne) {
    ShowMessage(nullptr, 999, MB_OK);
    ASSERT_EQ(gBoxes.size(), 1u);
    EXPECT_EQ(gBoxes[0].text, "Internal error: string resource not found: 999");
}

}  // namespace
