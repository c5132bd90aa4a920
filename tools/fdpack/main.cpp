// fdpack: writes, tests and extracts the installer's archives on the build
// host with the installer's own extractor, and lays out a distribution
// folder.
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/sys_host.h"
#include "extract/extract.h"
#include "extract/zip_cipher.h"
#include "pack.h"
#include "setup/install_state.h"

namespace fs = std::filesystem;

namespace {

const sys::host::StringEntry kCatalogue[] = {
#include "expected_catalogue.inc"
    {0, nullptr},
};

const char* const kSupportFiles[] = {"README.TXT", "FARDEL.TXT", "LICENSE.TXT", "VENDOR.TXT",
                                     "WHATSNEW.TXT", "FILE_ID.DIZ", "ORDER.TXT"};

constexpr int kUsage = 64;

int Usage() {
    fputs("usage:\n"
          "  fdpack pack [--store] [--no-descriptor] [--password TEXT] -o ARCHIVE DIR\n"
          "  fdpack test [--password TEXT] ARCHIVE\n"
          "  fdpack extract [--keep-paths] [--password TEXT] [--report-crc] [--skip-empty]\n"
          "                 [--start-offset N] [--filter NAME]... ARCHIVE DEST\n"
          "  fdpack dist --setup SETUP.EXE --payload DIR --support DIR -o DISTDIR\n",
          stderr);
    return kUsage;
}

// The progress bar: only when standard error is a terminal.
bool gBar = false;
uint32_t gArchiveUnits = 1;
std::string gCurrentName;

void DrawBar(uintptr_t units) {
    unsigned percent = units >= gArchiveUnits ? 100u : static_cast<unsigned>(units * 100 / gArchiveUnits);
    char bar[41];
    unsigned filled = percent * 40 / 100;
    for (unsigned i = 0; i < 40; ++i) bar[i] = i < filled ? '#' : '.';
    bar[40] = '\0';
    fprintf(stderr, "\r[%s] %3u%% %-30.30s", bar, percent, gCurrentName.c_str());
    fflush(stderr);
}

intptr_t OnSend(HWND, UINT message, uintptr_t wParam, intptr_t lParam) {
    if (message == kExtractMsgShowName) gCurrentName = reinterpret_cast<const char*>(lParam);
    else if (message == kExtractMsgProgress && gBar) DrawBar(wParam);
    return 0;
}

int OnBox(HWND, const char* text, const char*, UINT) {
    if (gBar) fputs("\r\x1b[K", stderr);
    fprintf(stderr, "%s\n", text);
    return IDOK;
}

void OnInterrupt(int) { gState.cancelRequested = 1; }

int ExitStatus(int result) {
    switch (result) {
        case 0: return 0;
        case EXTRACT_RESULT_CANCELLED: return 99;
        default: return 2;
    }
}

struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::string> filters;
    std::string password, output, setup, payload, support;
    bool hasPassword = false, store = false, noDescriptor = false, keepPaths = false, reportCrc = false,
         skipEmpty = false;
    uint32_t startOffset = 0;
};

bool Parse(int argc, char** argv, Arguments& a) {
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) return false;
            into = argv[++i];
            return true;
        };
        if (arg == "--store") a.store = true;
        else if (arg == "--no-descriptor") a.noDescriptor = true;
        else if (arg == "--keep-paths") a.keepPaths = true;
        else if (arg == "--report-crc") a.reportCrc = true;
        else if (arg == "--skip-empty") a.skipEmpty = true;
        else if (arg == "--password") {
            if (!value(a.password)) return false;
            a.hasPassword = true;
        } else if (arg == "-o") {
            if (!value(a.output)) return false;
        } else if (arg == "--setup") {
            if (!value(a.setup)) return false;
        } else if (arg == "--payload") {
            if (!value(a.payload)) return false;
        } else if (arg == "--support") {
            if (!value(a.support)) return false;
        } else if (arg == "--filter") {
            std::string name;
            if (!value(name) || name.size() >= kMemberNameSize) return false;
            a.filters.push_back(name);
        } else if (arg == "--start-offset") {
            std::string n;
            if (!value(n)) return false;
            char* end = nullptr;
            unsigned long v = strtoul(n.c_str(), &end, 0);
            if (n.empty() || *end || v > 0x7FFFFFFFul) return false;
            a.startOffset = static_cast<uint32_t>(v);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return false;
        } else {
            a.positional.push_back(arg);
        }
    }
    return true;
}

int RunExtraction(const Arguments& a, const char* archive, const char* destination) {
    struct stat st;
    if (stat(archive, &st) == 0 && st.st_size > 0) gArchiveUnits = static_cast<uint32_t>((st.st_size + kProgressUnit - 1) / kProgressUnit);
    gBar = isatty(STDERR_FILENO);
    signal(SIGINT, OnInterrupt);

    std::vector<FilterEntry> filters(a.filters.size());
    for (size_t i = 0; i < filters.size(); ++i) {
        memcpy(filters[i].name, a.filters[i].c_str(), a.filters[i].size() + 1);
        filters[i].next = i + 1 < filters.size() ? &filters[i + 1] : nullptr;
    }
    ExtractRequest request;
    memset(&request, 0, sizeof request);
    request.reportCrcErrors = a.reportCrc || !destination ? 1 : 0;
    request.archivePath = archive;
    request.destinationFolder = destination;
    request.filterList = filters.empty() ? nullptr : filters.data();
    request.keepPaths = a.keepPaths;
    request.startOffset = a.startOffset;
    request.skipEmptyMembers = a.skipEmpty;
    request.hasPassword = a.hasPassword;
    request.password = a.password.c_str();
    ExtractArchive(&request);
    if (gBar) fputs("\r\x1b[K", stderr);
    return ExitStatus(request.result);
}

bool CopyWithTime(const fs::path& from, const fs::path& to, fs::file_time_type time) {
    std::error_code e;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, e);
    if (!e) fs::last_write_time(to, time, e);
    if (e) fprintf(stderr, "fdpack: cannot copy %s: %s\n", from.c_str(), e.message().c_str());
    return !e;
}

int Dist(const Arguments& a) {
    if (a.setup.empty() || a.payload.empty() || a.support.empty() || a.output.empty()) return Usage();
    for (const char* name : kSupportFiles) {
        if (!fs::is_regular_file(fs::path(a.support) / name)) {
            fprintf(stderr, "fdpack: missing support file %s in %s\n", name, a.support.c_str());
            return 2;
        }
    }
    std::error_code e;
    fs::create_directories(a.output, e);
    const fs::file_time_type setupTime = fs::last_write_time(a.setup, e);
    if (e) {
        fprintf(stderr, "fdpack: cannot read %s\n", a.setup.c_str());
        return 2;
    }
    const fs::path dist = a.output;
    if (!CopyWithTime(a.setup, dist / "SETUP.EXE", setupTime)) return 2;
    for (const char* name : kSupportFiles)
        if (!CopyWithTime(fs::path(a.support) / name, dist / name, setupTime)) return 2;
    PackOptions options;
    options.password = kDefaultPassword;
    return PackFolder(a.payload, (dist / "setup.fd").string(), options) ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    ResetInstallState();
    gState.instance = sys::host::ModuleOf(kCatalogue);
    sys::host::SetBoxHandler(OnBox);
    sys::host::SetSendHook(OnSend);
    const std::string command = argv[1];
    Arguments a;
    if (!Parse(argc, argv, a)) return Usage();
    if (command == "pack") {
        if (a.positional.size() != 1 || a.output.empty()) return Usage();
        PackOptions options;
        options.store = a.store;
        options.descriptor = !a.noDescriptor;
        options.password = a.hasPassword ? a.password : kDefaultPassword;
        return PackFolder(a.positional[0], a.output, options) ? 0 : 2;
    }
    if (command == "test") {
        if (a.positional.size() != 1) return Usage();
        return RunExtraction(a, a.positional[0].c_str(), nullptr);
    }
    if (command == "extract") {
        if (a.positional.size() != 2) return Usage();
        return RunExtraction(a, a.positional[0].c_str(), a.positional[1].c_str());
    }
    if (command == "dist") return Dist(a);
    return Usage();
}
