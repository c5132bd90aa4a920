// Path scanning in a double-byte code page (run with LC_ALL=ja_JP.UTF-8,
// which makes Wine's ANSI code page 932).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/files.h"
#include "common/paths.h"

namespace {

// Shift-JIS 0x95 0x5C: one character whose trail byte is the backslash.
const std::string kTrailBackslash = "\x95\x5c";

TEST(DoubleByte, CodePageIs932) { ASSERT_EQ(GetACP(), 932u); }

TEST(DoubleByte, TrailByteIsNoSeparatorForAnyScanner) {
    ASSERT_TRUE(IsDBCSLeadByte(0x95));
    const std::string path = "C:\\" + kTrailBackslash + "x";
    const char* s = path.c_str();
    EXPECT_EQ(FindLastSeparator(s), s + 2);
    EXPECT_EQ(FindPathSeparator(s + 3), s + path.size());
    EXPECT_EQ(FindChar(s + 3, '\\'), s + path.size());
    EXPECT_EQ(FindLastChar(s, '\\'), s + 2);
    EXPECT_EQ(LastCharPtr(s), s + 5);
    const std::string ending = "C:\\" + kTrailBackslash;
    EXPECT_EQ(LastCharPtr(ending.c_str()), ending.c_str() + 3);
    char buffer[16];
    strcpy(buffer, ending.c_str());
    AppendSlash(buffer);
    EXPECT_EQ(std::string(buffer), ending + "\\");
}

// A folder whose name ends in such a character is created whole, not cut
// at its trail byte.
TEST(DoubleByte, FolderTreeKeepsDoubleByteNamesWhole) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "fddbcs" + std::to_string(GetCurrentProcessId());
    std::string path = base + "\\" + kTrailBackslash + "\\sub";
    char buffer[MAX_PATH];
    strcpy(buffer, path.c_str());
    EXPECT_EQ(MakeDirectoryTree(buffer), 0);
    WIN32_FIND_DATAA record;
    EXPECT_EQ(FileExists((base + "\\" + kTrailBackslash).c_str(), &record), 0);
    EXPECT_EQ(std::string(record.cFileName), kTrailBackslash);
    EXPECT_EQ(FileExists((base + "\\\x95").c_str(), &record), 1) << "the name was cut at its trail byte";
    strcpy(buffer, (base + "\\" + kTrailBackslash + "\\SUB").c_str());
    ExpandLongPath(buffer);
    EXPECT_EQ(std::string(buffer), path);
    std::string command = "cmd /c rd /s /q \"" + base + "\" >nul 2>nul";
    system(command.c_str());
}

}  // namespace
