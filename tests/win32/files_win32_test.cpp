// The folder and file helpers on the real Win32 calls.
#include <direct.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/files.h"
#include "common/paths.h"

namespace {

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFile(const std::string& path, const char* content) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written;
    ::WriteFile(f, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
    CloseHandle(f);
}

// A fresh folder on drive C: for each test, removed afterwards.
class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        root_ = std::string(temp) + "fdtest" + std::to_string(GetCurrentProcessId()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(root_.c_str(), nullptr)) << root_;
    }
    void TearDown() override {
        std::string command = "cmd /c rd /s /q \"" + root_ + "\" >nul 2>nul";
        system(command.c_str());
    }
    std::string root_;
};

TEST_F(Win32Files, MakeDirectoryTreeCreatesTheMissingLevels) {
    ASSERT_TRUE(CreateDirectoryA((root_ + "\\A").c_str(), nullptr));
    std::string path = root_ + "\\A\\B\\C";
    char buffer[MAX_PATH];
    strcpy(buffer, path.c_str());
    EXPECT_EQ(MakeDirectoryTree(buffer), 0);
    EXPECT_TRUE(IsFolder(root_ + "\\A\\B\\C"));
    EXPECT_EQ(MakeDirectoryTree(buffer), -1) << "an existing folder is not created";

    std::string slashes = root_ + "/X/Y";
    strcpy(buffer, slashes.c_str());
    EXPECT_EQ(MakeDirectoryTree(buffer), 0);
    EXPECT_TRUE(IsFolder(root_ + "\\X\\Y"));
    EXPECT_EQ(std::string(buffer), root_ + "/X\\Y");
}

TEST_F(Win32Files, MakeDirectoryTreeOnADriveRootOnlyTriesTheRoot) {
    char root[] = "C:\\";
    EXPECT_EQ(MakeDirectoryTree(root), -1);
    char drive[] = "C:";
    EXPECT_EQ(MakeDirectoryTree(drive), -1);
}

TEST_F(Win32Files, FileExistsFindsFilesAndWildcards) {
    WriteFile(root_ + "\\Fardel.HLP", "help!");
    WIN32_FIND_DATAA record;
    EXPECT_EQ(FileExists((root_ + "\\fardel.hlp").c_str(), &record), 0);
    EXPECT_STREQ(record.cFileName, "Fardel.HLP");
    EXPECT_EQ(record.nFileSizeLow, 5u);
    EXPECT_EQ(FileExists((root_ + "\\*.hlp").c_str(), &record), 0);
    EXPECT_EQ(FileExists((root_ + "\\missing.hlp").c_str(), &record), 1);
}

TEST_F(Win32Files, ExpandLongPathTurnsShortNamesIntoStoredNames) {
    std::string longFolder = root_ + "\\Program Files Long Name";
    ASSERT_TRUE(CreateDirectoryA(longFolder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((longFolder + "\\Fardel Archiver").c_str(), nullptr));
    char shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((longFolder + "\\Fardel Archiver").c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_STRNE(shortForm, (longFolder + "\\Fardel Archiver").c_str()) << "the system gave no short form";

    // The drive prefix keeps its spelling.
    shortForm[0] = static_cast<char>(tolower(shortForm[0]));
    char buffer[MAX_PATH];
    strcpy(buffer, shortForm);
    ExpandLongPath(buffer);
    std::string expected = longFolder + "\\Fardel Archiver";
    expected[0] = static_cast<char>(tolower(expected[0]));
    EXPECT_STREQ(buffer, expected.c_str());

    // A wildcard last component is copied as typed.
    std::string pattern = std::string(shortForm) + "\\*.NoMatch";
    strcpy(buffer, pattern.c_str());
    ExpandLongPath(buffer);
    EXPECT_EQ(std::string(buffer), expected + "\\*.NoMatch");

    const std::string unchanged[] = {std::string(shortForm) + "\\", std::string(shortForm) + "\\missing\\x", "C:\\"};
    for (const std::string& path : unchanged) {
        strcpy(buffer, path.c_str());
        ExpandLongPath(buffer);
        EXPECT_EQ(std::string(buffer), path);
    }
}

TEST_F(Win32Files, WaitForExclusiveAccessSeesOpenHandles) {
    std::string path = root_ + "\\fardel.hlp";
    WriteFile(path, "x");
    EXPECT_EQ(WaitForExclusiveAccess(path.c_str(), 250), 1);
    EXPECT_EQ(WaitForExclusiveAccess(path.c_str(), 0), 0) << "a limit of 0 never tries";

    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DWORD start = GetTickCount();
    EXPECT_EQ(WaitForExclusiveAccess(path.c_str(), 250), 0);
    EXPECT_GE(GetTickCount() - start, 250u);
    CloseHandle(held);
    EXPECT_EQ(WaitForExclusiveAccess(path.c_str(), 250), 1);
    EXPECT_EQ(WaitForExclusiveAccess((root_ + "\\missing.hlp").c_str(), 50), 0);
}

}  // namespace
