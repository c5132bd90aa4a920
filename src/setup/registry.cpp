#include "setup/registry.h"

#include <stdlib.h>
#include <string.h>

namespace {

const char* const kShellExtensionClassIds[] = {
    "{5d0a1c44-73b2-11d1-a2e6-00608c51f3e9}", "{5d0a1c45-73b2-11d1-a2e6-00608c51f3e9}",
    "{5d0a1c46-73b2-11d1-a2e6-00608c51f3e9}", "{5d0a1c47-73b2-11d1-a2e6-00608c51f3e9}",
    "{5d0a1c40-73b2-11d1-a2e6-00608c51f3e9}", "{5d0a1c41-73b2-11d1-a2e6-00608c51f3e9}",
    "{5d0a1c42-73b2-11d1-a2e6-00608c51f3e9}", "{5d0a1c43-73b2-11d1-a2e6-00608c51f3e9}",
    nullptr,
};

const char* const kShellExtensionHandlerKeys[] = {
    "Fardel\\shellex\\DropHandler",
    "Directory\\shellex\\DragDropHandlers\\Fardel",
    "Drive\\shellex\\DragDropHandlers\\Fardel",
    "Folder\\shellex\\DragDropHandlers\\Fardel",
    "*\\shellex\\ContextMenuHandlers\\Fardel",
    "Folder\\shellex\\ContextMenuHandlers\\Fardel",
    "Directory\\shellex\\ContextMenuHandlers\\Fardel",
    ".ZIP\\ShellEx\\{00021500-0000-0000-c000-000000000046}",
    nullptr,
};

constexpr DWORD kSubkeyNameSize = 512;

}  // namespace

// Rules:
// - subkey 0 is asked for again after each deletion, since it is gone;
// - a child path is sized to fit its parent and name, never cut, so a
//   deep tree is never mistaken for another key;
// - the key is deleted while its own handle is open, then closed;
// - a failure at any depth ends every level above it with its code.
LONG DeleteKeyTree(HKEY root, const char* path) {
    HKEY key;
    LONG result = RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS) return result;
    size_t pathLength = strlen(path);
    char* child = static_cast<char*>(malloc(pathLength + 1 + kSubkeyNameSize));
    if (!child) {
        RegCloseKey(key);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    memcpy(child, path, pathLength);
    child[pathLength] = '\\';
    for (;;) {
        if (RegEnumKeyA(key, 0, child + pathLength + 1, kSubkeyNameSize) != ERROR_SUCCESS) {
            result = RegDeleteKeyA(root, path);
            break;
        }
        result = DeleteKeyTree(root, child);
        if (result != ERROR_SUCCESS) break;
    }
    free(child);
    RegCloseKey(key);
    return result;
}

int RemoveShellExtensionRegistrations() {
    char path[64];
    for (const char* const* id = kShellExtensionClassIds; *id; ++id) {
        wsprintfA(path, "CLSID\\%s", *id);
        DeleteKeyTree(HKEY_CLASSES_ROOT, path);
    }
    for (const char* const* key = kShellExtensionHandlerKeys; *key; ++key) DeleteKeyTree(HKEY_CLASSES_ROOT, *key);
    return 1;
}
