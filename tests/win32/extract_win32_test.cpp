// The extractor on the real Win32 file calls: a distribution archive made by
// fdpack lands byte for byte, with the member times the archive stores.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "extract/extract.h"

namespace {

std::string BinFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *strrchr(path, '\\') = '\0';
    return path;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::vector<unsigned char> bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(f, nullptr), got = 0;
    bytes.resize(size);
    if (!ReadFile(f, bytes.data(), size, &got, nullptr) || got != size) bytes.clear();
    CloseHandle(f);
    return bytes;
}

TEST(Win32Extract, PayloadLandsWithItsStoredTimes) {
    const std::string archive = BinFolder() + "\\fixtures\\launch\\setup.fd";
    std::vector<unsigned char> zip = ReadAll(archive);
    ASSERT_GT(zip.size(), 30u) << archive;
    ASSERT_EQ(memcmp(zip.data(), "PK\3\4", 4), 0);
    const WORD dosTime = static_cast<WORD>(zip[10] | zip[11] << 8);
    const WORD dosDate = static_cast<WORD>(zip[12] | zip[13] << 8);
    const size_t nameLength = static_cast<size_t>(zip[26] | zip[27] << 8);
    const std::string firstName(reinterpret_cast<const char*>(zip.data() + 30), nameLength);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "fdextract" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));

    ExtractRequest request = {};
    request.reportCrcErrors = 1;
    request.archivePath = archive.c_str();
    request.destinationFolder = folder.c_str();
    ASSERT_EQ(ExtractArchive(&request), 1);
    EXPECT_EQ(request.result, 0);

    std::vector<unsigned char> main = ReadAll(folder + "\\fardel32.ex_");
    EXPECT_FALSE(main.empty());
    EXPECT_EQ(main, ReadAll(BinFolder() + "\\fake_fardel.exe")) << "the main program differs from what was packed";

    const std::string first = folder + "\\" + firstName.substr(firstName.find_last_of('/') + 1);
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    ASSERT_TRUE(GetFileAttributesExA(first.c_str(), GetFileExInfoStandard, &attributes)) << first;
    FILETIME local, expected;
    ASSERT_TRUE(DosDateTimeToFileTime(dosDate, dosTime, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &expected));
    EXPECT_EQ(CompareFileTime(&attributes.ftLastWriteTime, &expected), 0) << first;

    std::string command = "cmd /c rd /s /q \"" + folder + "\" >nul 2>nul";
    system(command.c_str());
}

}  // namespace
