#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/files.h"
#include "common/sys_host.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void WriteFile(const std::string& path, const std::string& content) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    fwrite(content.data(), 1, content.size(), f);
    fclose(f);
}

// Each test works in a fresh folder of its own, which is also the current
// folder, so the paths under test can be relative and use backslashes.
class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/fdfilesXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        ASSERT_EQ(getcwd(previous_, sizeof previous_), previous_);
        ASSERT_EQ(chdir(root_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(previous_), 0);
        std::string command = "rm -rf '" + root_ + "'";
        ASSERT_EQ(system(command.c_str()), 0);
    }
    std::string root_;
    char previous_[1024];
};

TEST_F(FilesTest, MakeDirectoryTreeCreatesMissingParentsOutermostFirst) {
    ASSERT_EQ(mkdir("A", 0777), 0);
    char path[] = "A\\B\\C";
    EXPECT_EQ(MakeDirectoryTree(path), 0);
    EXPECT_TRUE(IsFolder("A/B"));
    EXPECT_TRUE(IsFolder("A/B/C"));
    EXPECT_STREQ(path, "A\\B\\C");
}

TEST_F(FilesTest, MakeDirectoryTreeMendsCutSeparatorsAsBackslashes) {
    char path[] = "X/Y/Z";
    EXPECT_EQ(MakeDirectoryTree(path), 0);
    EXPECT_TRUE(IsFolder("X/Y/Z"));
    // Only the separators at which the path was cut are rewritten.
    EXPECT_STREQ(path, "X\\Y\\Z");
    char twoLevels[] = "P/Q";
    EXPECT_EQ(MakeDirectoryTree(twoLevels), 0);
    EXPECT_STREQ(twoLevels, "P\\Q");
}

TEST_F(FilesTest, MakeDirectoryTreeOnAnExistingFolderFails) {
    ASSERT_EQ(mkdir("A", 0777), 0);
    ASSERT_EQ(mkdir("A/B", 0777), 0);
    char path[] = "A\\B";
    EXPECT_EQ(MakeDirectoryTree(path), -1);
    EXPECT_STREQ(path, "A\\B");
}

TEST_F(FilesTest, MakeDirectoryTreeKeepsWhatItMadeBeforeAFailure) {
    WriteFile("A", "a file where a folder should be");
    char blocked[] = "A\\B\\C";
    EXPECT_EQ(MakeDirectoryTree(blocked), -1);
    EXPECT_STREQ(blocked, "A\\B\\C");

    // The last level cannot be made (its name is too long): the parents stay.
    std::string path = "Q\\R\\" + std::string(300, 'n');
    char buffer[400];
    strcpy(buffer, path.c_str());
    EXPECT_EQ(MakeDirectoryTree(buffer), -1);
    EXPECT_TRUE(IsFolder("Q/R"));

    char empty[] = "";
    EXPECT_EQ(MakeDirectoryTree(empty), -1);
}

TEST_F(FilesTest, FileExistsFillsTheRecordOfTheFirstMatch) {
    WriteFile("Setup.FD", "12345");
    WIN32_FIND_DATAA record;
    EXPECT_EQ(FileExists("setup.fd", &record), 0);
    EXPECT_STREQ(record.cFileName, "Setup.FD");
    EXPECT_EQ(record.nFileSizeLow, 5u);
    EXPECT_NE(record.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(FileExists("*.fd", &record), 0);
    EXPECT_STREQ(record.cFileName, "Setup.FD");
    EXPECT_EQ(FileExists("missing.fd", &record), 1);
    EXPECT_EQ(FileExists("nofolder\\setup.fd", &record), 1);
}

uint32_t gTick;
int gPumps;
uint32_t SteppingTicks() { return gTick += 10; }
void CountPump() { ++gPumps; }

class WaitTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        gPumps = 0;
        sys::host::SetPumpHook(CountPump);
    }
    void TearDown() override {
        sys::host::SetPumpHook(nullptr);
        sys::host::SetTickSource(nullptr);
        FilesTest::TearDown();
    }
};

TEST_F(WaitTest, FreeFileIsGrantedAtOnce) {
    WriteFile("free.hlp", "x");
    EXPECT_EQ(WaitForExclusiveAccess("free.hlp", 250), 1);
    EXPECT_EQ(gPumps, 1);
}

TEST_F(WaitTest, LimitZeroNeverTries) {
    WriteFile("free.hlp", "x");
    EXPECT_EQ(WaitForExclusiveAccess("free.hlp", 0), 0);
    EXPECT_EQ(gPumps, 0);
}

TEST_F(WaitTest, HeldFileIsRefusedWhenTheLimitPasses) {
    WriteFile("held.hlp", "x");
    int fd = open("held.hlp", O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    struct Case {
        const char* name;
        uint32_t start;
    };
    // The clock steps 10 ms a read: 2000 ms give about 200 tries, also when
    // the counter wraps during the wait.
    const Case cases[] = {{"plain", 1000}, {"across the wrap", 0xFFFFFF00u}, {"at the wrap", 0xFFFFFFF6u}};
    sys::host::SetTickSource(SteppingTicks);
    for (const Case& c : cases) {
        gTick = c.start;
        gPumps = 0;
        EXPECT_EQ(WaitForExclusiveAccess("held.hlp", 2000), 0) << c.name;
        EXPECT_GE(gPumps, 195) << c.name;
        EXPECT_LE(gPumps, 201) << c.name;
    }
    close(fd);
}

TEST_F(WaitTest, MissingFileIsRefusedWhenTheLimitPasses) {
    sys::host::SetTickSource(SteppingTicks);
    gTick = 0;
    EXPECT_EQ(WaitForExclusiveAccess("missing.hlp", 100), 0);
    EXPECT_EQ(gPumps, 10);
}

class LongPathTest : public FilesTest {
protected:
    void SetUp() override {
        FilesTest::SetUp();
        ASSERT_EQ(mkdir("Program Files", 0777), 0);
        ASSERT_EQ(mkdir("Program Files/Fardel Archiver", 0777), 0);
        WriteFile("Program Files/Fardel Archiver/Fardel.HLP", "help");
    }
    static std::string Expand(const char* path) {
        char buffer[260];
        strcpy(buffer, path);
        EXPECT_EQ(ExpandLongPath(buffer), buffer);
        return buffer;
    }
};

TEST_F(LongPathTest, ComponentsTakeTheirStoredNames) {
    struct Case {
        const char* path;
        const char* expanded;
    };
    const Case cases[] = {
        {"program files\\FARDEL ARCHIVER", "Program Files\\Fardel Archiver"},
        {"program files/fardel archiver/fardel.hlp", "Program Files\\Fardel Archiver\\Fardel.HLP"},
        {"PROGRAM FILES\\fardel archiver\\.", "Program Files\\Fardel Archiver\\"},
        {"program files\\fardel archiver\\*.hlp", "Program Files\\Fardel Archiver\\*.hlp"},
        {"program files\\fardel archiver\\none?.txt", "Program Files\\Fardel Archiver\\none?.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(Expand(c.path), c.expanded) << c.path;
}

TEST_F(LongPathTest, FailuresLeaveThePathAsItWas) {
    const char* cases[] = {
        "program files\\missing\\fardel.hlp",
        "program files\\fardel archiver\\",
        "program files\\fardel archiver\\missing.hlp",
        "missing",
        "",
    };
    for (const char* path : cases) EXPECT_EQ(Expand(path), path) << path;
}

TEST_F(LongPathTest, ResultLongerThanItsRoomFails) {
    char result[kLongPathBufferSize];
    const char* path = "program files\\fardel archiver";
    EXPECT_EQ(ExpandLongPathInto(path, result, 29), 29);
    EXPECT_STREQ(result, "Program Files\\Fardel Archiver");
    EXPECT_EQ(ExpandLongPathInto(path, result, 28), 0);
    EXPECT_EQ(ExpandLongPathInto(path, result, 13), 0);  // the first component passes, the separator overflows room
}

TEST_F(LongPathTest, LongFormThatDoesNotFitTheFieldLeavesItUnchanged) {
    char buffer[260];
    strcpy(buffer, "program files\\fardel archiver");
    ExpandLongPath(buffer, 29);  // needs 30 bytes with its NUL
    EXPECT_STREQ(buffer, "program files\\fardel archiver");
    ExpandLongPath(buffer, 30);
    EXPECT_STREQ(buffer, "Program Files\\Fardel Archiver");
}

}  // namespace
