// libFuzzer target: any bytes as an archive, read in test mode and then
// extracted into a scratch folder, with and without kept paths.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/sys_host.h"
#include "extract/extract.h"
#include "setup/install_state.h"

namespace {

const sys::host::StringEntry kCatalogue[] = {
#include "expected_catalogue.inc"
    {0, nullptr},
};

int QuietBox(HWND, const char*, const char*, UINT) { return IDOK; }

std::string gFolder;

void Prepare() {
    char templ[] = "/tmp/fdfuzz_XXXXXX";
    gFolder = mkdtemp(templ);
    std::filesystem::create_directories(gFolder + "/out/sub");
    ResetInstallState();
    gState.instance = sys::host::ModuleOf(kCatalogue);
    sys::host::SetBoxHandler(QuietBox);
    atexit([] { std::filesystem::remove_all(gFolder); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (gFolder.empty()) Prepare();
    const std::string archive = gFolder + "/in.zip";
    FILE* f = fopen(archive.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    const std::string out = gFolder + "/out";
    for (int pass = 0; pass < 3; ++pass) {
        ExtractRequest r;
        memset(&r, 0, sizeof r);
        r.reportCrcErrors = 1;
        r.archivePath = archive.c_str();
        r.destinationFolder = pass == 0 ? nullptr : out.c_str();
        r.keepPaths = pass == 2;
        r.skipEmptyMembers = size & 1;
        if (ExtractArchive(&r) != 1) abort();  // never busy here
        if (r.result != 0 && r.result != EXTRACT_RESULT_ERROR) abort();
    }
    // Nothing may land outside the destination.
    for (const auto& e : std::filesystem::directory_iterator(gFolder)) {
        const std::string name = e.path().filename().string();
        if (name != "in.zip" && name != "out") abort();
    }
    for (const auto& e : std::filesystem::directory_iterator(out))
        if (e.path().filename() != "sub") std::filesystem::remove_all(e.path());
    for (const auto& e : std::filesystem::directory_iterator(out + "/sub")) std::filesystem::remove_all(e.path());
    return 0;
}
