// Runs the extractor over archives made in the test, in a temporary
// folder, recording every box and every message sent to the owner window.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/sys_host.h"
#include "extract/extract.h"
#include "setup/install_state.h"
#include "zip_fixture.h"

namespace extract_test {

inline const sys::host::StringEntry kCatalogue[] = {
#include "expected_catalogue.inc"
    {0, nullptr},
};

struct Box {
    HWND owner;
    std::string text;
    bool hasCaption;
    UINT flags;
};
struct Sent {
    UINT message;
    uintptr_t wParam;
    std::string name;  // SHOW_NAME's text
};

inline std::vector<Box> gBoxes;
inline std::vector<Sent> gSent;
inline intptr_t gProgressReply = 0;
inline void (*gOnSend)(const Sent&) = nullptr;

inline int RecordBox(HWND owner, const char* text, const char* caption, UINT flags) {
    gBoxes.push_back({owner, text, caption != nullptr, flags});
    return IDOK;
}

inline intptr_t RecordSend(HWND, UINT message, uintptr_t wParam, intptr_t lParam) {
    Sent s{message, wParam, message == kExtractMsgShowName ? reinterpret_cast<const char*>(lParam) : ""};
    gSent.push_back(s);
    if (gOnSend) gOnSend(s);
    return message == kExtractMsgProgress ? gProgressReply : 0;
}

namespace fs = std::filesystem;

inline std::string ReadWhole(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}
inline void WriteWhole(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// Files below a folder, as "relative/path" -> content.
inline std::vector<std::pair<std::string, std::string>> Tree(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> files;
    if (!fs::exists(root)) return files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.push_back({fs::relative(e.path(), root).string(), ReadWhole(e.path())});
    std::sort(files.begin(), files.end());
    return files;
}

using Files = std::vector<std::pair<std::string, std::string>>;

class ExtractTest : public ::testing::Test {
protected:
    fs::path dir;      // the test's folder
    fs::path out;      // the destination below it
    std::string archive;
    std::string destination;
    HWND owner = reinterpret_cast<HWND>(0x1234);

    void SetUp() override {
        ResetInstallState();
        gState.instance = sys::host::ModuleOf(kCatalogue);
        strcpy(gState.setupTitle, "Fardel Setup");
        gBoxes.clear();
        gSent.clear();
        gProgressReply = 0;
        gOnSend = nullptr;
        sys::host::SetBoxHandler(RecordBox);
        sys::host::SetSendHook(RecordSend);
        char templ[] = "/tmp/fdextract_XXXXXX";
        dir = mkdtemp(templ);
        out = dir / "out";
        fs::create_directory(out);
        archive = (dir / "in.zip").string();
        destination = out.string();
    }
    void TearDown() override {
        sys::host::SetBoxHandler(nullptr);
        sys::host::SetSendHook(nullptr);
        sys::host::SetAllocHook(nullptr);
        sys::host::SetWriteHook(nullptr);
        sys::host::SetPumpHook(nullptr);
        fs::remove_all(dir);
    }

    // A request for archive into destination, CRC errors reported.
    ExtractRequest Request() {
        ExtractRequest r;
        memset(&r, 0, sizeof r);
        r.reportCrcErrors = 1;
        r.archivePath = archive.c_str();
        r.destinationFolder = destination.c_str();
        r.ownerWindow = owner;
        return r;
    }
    int Run(const std::string& bytes, ExtractRequest& r) {
        WriteWhole(archive, bytes);
        EXPECT_EQ(ExtractArchive(&r), 1);
        return r.result;
    }
    int Run(const std::string& bytes) {
        ExtractRequest r = Request();
        return Run(bytes, r);
    }
    Files Output() const { return Tree(out); }
    std::string BoxTexts() const {
        std::string all;
        for (const Box& b : gBoxes) all += (all.empty() ? "" : " | ") + b.text;
        return all;
    }
};

// A path as the extractor shows it: every "/" a backslash.
inline std::string Shown(std::string path) {
    for (auto& c : path) c = c == '/' ? '\\' : c;
    return path;
}

inline zipfx::Member M(const std::string& name, const std::string& data, uint16_t method = 0) {
    zipfx::Member m;
    m.name = name;
    m.data = data;
    m.method = method;
    return m;
}

inline std::string Noise(size_t n, unsigned seed = 1) {
    std::string s(n, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 23);
    }
    return s;
}

}  // namespace extract_test
