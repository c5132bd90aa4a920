// Removal of the shell extension's registrations on the real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "setup/registry.h"

namespace {

const char kTestRoot[] = "Software\\FardelSetupTests";

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyA(root, path.c_str(), &key), ERROR_SUCCESS) << path;
    RegSetValueExA(key, "value", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(key);
}

class KeyTree : public ::testing::Test {
protected:
    void SetUp() override { DeleteKeyTree(HKEY_CURRENT_USER, kTestRoot); }
    void TearDown() override { DeleteKeyTree(HKEY_CURRENT_USER, kTestRoot); }
    static std::string Path(const std::string& rest) { return std::string(kTestRoot) + "\\" + rest; }
};

TEST_F(KeyTree, NestedTreeGoesDepthFirstAndSiblingsStay) {
    const char* tree[] = {"Tree\\A\\A1\\A11", "Tree\\A\\A2", "Tree\\B", "Tree\\C\\C1", "Sibling\\Keep"};
    for (const char* key : tree) CreateKey(HKEY_CURRENT_USER, Path(key));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, Path("Tree").c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("Tree")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("Sibling\\Keep")));
}

TEST_F(KeyTree, MissingKeyIsReportedAndNothingChanges) {
    CreateKey(HKEY_CURRENT_USER, Path("Other"));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, Path("Missing").c_str()), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Path("Other")));
}

// Long subkey names are composed into child paths whole. (Wine's ANSI
// registry calls take paths of up to 260 characters, so the tree stays
// below that.)
TEST_F(KeyTree, LongSubkeyNamesAreComposedWhole) {
    const std::string a(100, 'a'), b(100, 'b');
    CreateKey(HKEY_CURRENT_USER, Path("Long\\" + a + "\\" + b));
    CreateKey(HKEY_CURRENT_USER, Path("Long\\" + a + "x"));
    EXPECT_EQ(DeleteKeyTree(HKEY_CURRENT_USER, Path("Long").c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Path("Long")));
}

TEST(ShellExtensionRegistrations, AllSixteenGoAndTheirNeighboursStay) {
    const char* removed[] = {
        "CLSID\\{5d0a1c40-73b2-11d1-a2e6-00608c51f3e9}\\InProcServer32",
        "CLSID\\{5d0a1c41-73b2-11d1-a2e6-00608c51f3e9}",
        "CLSID\\{5d0a1c42-73b2-11d1-a2e6-00608c51f3e9}\\Sub\\Deeper",
        "CLSID\\{5d0a1c43-73b2-11d1-a2e6-00608c51f3e9}",
        "CLSID\\{5d0a1c44-73b2-11d1-a2e6-00608c51f3e9}\\InProcServer32",
        "CLSID\\{5d0a1c45-73b2-11d1-a2e6-00608c51f3e9}",
        "CLSID\\{5d0a1c46-73b2-11d1-a2e6-00608c51f3e9}",
        "CLSID\\{5d0a1c47-73b2-11d1-a2e6-00608c51f3e9}",
        "Fardel\\shellex\\DropHandler",
        "Directory\\shellex\\DragDropHandlers\\Fardel",
        "Drive\\shellex\\DragDropHandlers\\Fardel",
        "Folder\\shellex\\DragDropHandlers\\Fardel",
        "*\\shellex\\ContextMenuHandlers\\Fardel",
        "Folder\\shellex\\ContextMenuHandlers\\Fardel",
        "Directory\\shellex\\ContextMenuHandlers\\Fardel",
        ".ZIP\\ShellEx\\{00021500-0000-0000-c000-000000000046}",
    };
    const char* kept[] = {
        "CLSID\\{5d0a1c48-73b2-11d1-a2e6-00608c51f3e9}",
        "Fardel\\shellex\\Other",
        "Folder\\shellex\\ContextMenuHandlers\\Other",
        ".ZIP\\ShellEx\\{00021500-0000-0000-c000-000000000047}",
    };
    for (const char* key : removed) CreateKey(HKEY_CLASSES_ROOT, key);
    for (const char* key : kept) CreateKey(HKEY_CLASSES_ROOT, key);
    EXPECT_EQ(RemoveShellExtensionRegistrations(), 1);
    for (const char* key : removed) {
        std::string top = key;
        if (top.rfind("CLSID\\", 0) == 0) top = top.substr(0, top.find('\\', 6));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, top)) << top;
    }
    for (const char* key : kept) EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
    EXPECT_EQ(RemoveShellExtensionRegistrations(), 1) << "a second pass finds nothing and still succeeds";
}

}  // namespace
