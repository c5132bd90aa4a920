// The refusal of member names that would land outside the destination,
// name a device, or not fit their fields.
#include "extract/member_names.h"
#include "extract_harness.h"

using namespace extract_test;

namespace {

TEST(MemberNames, Components) {
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {
        {"readme.txt", true},  {"COM10", true},      {"CONSOLE.txt", true}, {"LPT0", true},
        {"a b.c", true},       {".profile", true},   {"\xE4\xF6.txt", true},
        {"", false},           {"CON", false},       {"con.txt", false},    {"Nul", false},
        {"PRN.a.b", false},    {"aux", false},       {"COM1", false},       {"com9.log", false},
        {"LPT1", false},       {"lpt9.x", false},    {"NUL .txt", false},   {"a:b", false},
        {"C:", false},         {"x?", false},        {"x*", false},         {"a<b", false},
        {"a>b", false},        {"a|b", false},       {"a\"b", false},       {"tab\there", false},
        {"name.", false},      {"name ", false},     {".", false},          {"..", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeComponent(c.name, strlen(c.name)), c.safe) << '"' << c.name << '"';
}

TEST(MemberNames, StoredPaths) {
    struct Case {
        const char* name;
        bool safe;
    } cases[] = {
        {"a/b/c.txt", true},     {"a\\b.txt", true},        {"file", true},
        {"../x", false},         {"a/../../x", false},      {"a\\..\\x", false},
        {"..", false},           {"C:x", false},            {"C:\\x", false},
        {"/x", false},           {"\\x", false},            {"\\\\server\\share\\x", false},
        {"\\\\?\\C:\\x", false}, {"\\\\.\\PhysicalDrive0", false}, {"a//b", false},
        {"a/CON/b", false},      {"a/b./c", false},         {"a/./b", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsSafeStoredPath(c.name), c.safe) << '"' << c.name << '"';
}

TEST(MemberNames, OutputPathsNeverPassTheirField) {
    char path[20];
    memset(path, '#', sizeof path);
    EXPECT_FALSE(BuildOutputPath("C:\\dest", "twelve_chars", false, path, sizeof path)) << "20 bytes hold 19";
    EXPECT_EQ(path[0], '#');
    EXPECT_TRUE(BuildOutputPath("C:\\dest", "eleven_char", false, path, sizeof path));
    EXPECT_STREQ(path, "C:\\dest\\eleven_char");
    EXPECT_TRUE(BuildOutputPath("d/", "x/y", true, path, sizeof path));
    EXPECT_STREQ(path, "d\\x\\y");
}

class RefusalTest : public ExtractTest {};

// Each refused member ends the extraction with message 1030 naming it;
// earlier members stay and nothing is created for it, outside or inside.
TEST_F(RefusalTest, UnsafeNamesAreRefusedBeforeAnythingIsCreated) {
    fs::create_directories(out / "in");
    const std::string longName(300, 'n');
    struct Case {
        std::string name;
        int keepPaths;
    } cases[] = {
        {"../escaped.txt", 1}, {"in/../../escaped.txt", 1}, {"C:escaped.txt", 1}, {"/escaped.txt", 1},
        {"\\\\server\\share\\escaped.txt", 1}, {"\\\\?\\C:\\escaped.txt", 1}, {"in/AUX", 1},
        {"CON", 0}, {"dir/nul.txt", 0}, {"a:b", 0}, {"trailing.", 0}, {"", 0}, {"/", 0},
        {"bad?name", 0}, {longName, 0}, {longName, 1}, {"in/" + std::string(250, 'p'), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        gBoxes.clear();
        ExtractRequest r = Request();
        r.keepPaths = c.keepPaths;
        // "/" alone is a folder entry: the walk never offers it, so the next member is refused instead
        EXPECT_EQ(Run(zipfx::Archive({M("first.txt", "1"), M(c.name, "bad"), M("CON.txt", "x")}), r), 2);
        std::string shown = c.name == "/" ? "CON.txt" : c.name.substr(0, kMemberNameSize - 1);
        EXPECT_EQ(BoxTexts(), "Can't create output file: " + shown);
        EXPECT_EQ(Tree(dir).size(), 2u) << "the archive and first.txt only";
        EXPECT_EQ(ReadWhole(out / "first.txt"), "1");
    }
}

TEST_F(RefusalTest, TestModeDecodesMembersWhateverTheirNames) {
    ExtractRequest r = Request();
    r.destinationFolder = nullptr;
    EXPECT_EQ(Run(zipfx::Archive({M("../x", "1"), M("CON", "2", 8), M(std::string(400, 'l'), "3")}), r), 0);
    EXPECT_EQ(BoxTexts(), "");
}

}  // namespace
