// The entry of the extractor and its walk over the archive's records.
#include <stdarg.h>
#include <string.h>

#include "common/catalogue.h"
#include "common/paths.h"
#include "extract/extract_state.h"
#include "extract/member_names.h"
#include "extract/zip_cipher.h"
#include "setup/install_state.h"

ExtractorState gExtract;

namespace {

constexpr int kBoxTextSize = 1025;  // what wsprintfA can write, and its NUL

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Get32(const unsigned char* p) { return Get16(p) | static_cast<uint32_t>(Get16(p + 2)) << 16; }

void SkipForward(uint32_t count) {
    if (count) sys::SeekFile(gExtract.archiveFile, static_cast<long>(count), sys::kSeekCurrent);
}

// Reads a stored name of length bytes: as much as fits into memberName, the
// rest through the input buffer, so a longer name is flagged rather than
// cut into another one. Returns the name's last byte (0 for an empty name).
unsigned char ReadName(uint32_t length) {
    constexpr uint32_t kFits = kMemberNameSize - 1;
    uint32_t head = length < kFits ? length : kFits;
    ReadArchive(gExtract.memberName, head);
    gExtract.memberName[head] = '\0';
    gExtract.nameTooLong = length > kFits;
    unsigned char last = head ? static_cast<unsigned char>(gExtract.memberName[head - 1]) : 0;
    for (uint32_t left = length - head; left > 0;) {
        uint32_t n = left < kStageSize ? left : kStageSize;
        ReadArchive(gExtract.inputBuffer, n);
        last = gExtract.inputBuffer[n - 1];
        left -= n;
    }
    return last;
}

void ReadLocalHeader() {
    unsigned char raw[26];
    ReadArchive(raw, sizeof raw);
    LocalHeader& h = gExtract.header;
    h.versionNeeded = Get16(raw);
    h.flags = Get16(raw + 2);
    h.method = Get16(raw + 4);
    h.modTime = Get16(raw + 6);
    h.modDate = Get16(raw + 8);
    h.crc32 = Get32(raw + 10);
    h.compressedSize = Get32(raw + 14);
    h.uncompressedSize = Get32(raw + 18);
    h.nameLength = Get16(raw + 22);
    h.extraLength = Get16(raw + 24);
}

void HandleLocalMember() {
    ReadLocalHeader();
    const LocalHeader& h = gExtract.header;
    gExtract.hasDescriptor = (h.flags & kFlagDescriptor) != 0;
    gExtract.encrypted = (h.flags & kFlagEncrypted) != 0;
    gExtract.compressedLeft = h.compressedSize;
    unsigned char last = ReadName(h.nameLength);
    SkipForward(h.extraLength);
    bool folderEntry = h.nameLength > 0 && IsSlash(last);
    bool extracted = false;
    if (!folderEntry && !(h.uncompressedSize == 0 && gExtract.request->skipEmptyMembers))
        extracted = ExtractMember();
    if (!extracted) SkipForward(h.compressedSize);
    if (gExtract.hasDescriptor) SkipForward(16);
}

void SkipCentralHeader() {
    unsigned char raw[42];
    ReadArchive(raw, sizeof raw);
    ReadName(Get16(raw + 24));
    SkipForward(Get16(raw + 26));
    SkipForward(Get16(raw + 28));
}

void ReadEndRecord() {
    unsigned char raw[18];
    ReadArchive(raw, sizeof raw);
    SkipForward(Get16(raw + 16));
}

bool IsSignature(uint32_t value) {
    return value == kLocalSignature || value == kCentralSignature || value == kEndSignature;
}

// Entered right after 4 bytes that are no signature: tests every byte
// position from the second of them (from the first byte of the data
// descriptor stepped over when the last local header had bit 3, so a
// 12-byte descriptor still leads to the next header), and leaves the
// archive at the signature found.
bool ResyncToSignature() {
    int file = gExtract.archiveFile;
    if ((gExtract.header.flags & kFlagDescriptor) && sys::SeekFile(file, -17, sys::kSeekCurrent) == -1) return false;
    for (;;) {
        if (sys::SeekFile(file, -3, sys::kSeekCurrent) == -1) return false;
        unsigned char raw[4];
        if (sys::ReadBytes(file, raw, 4) != 4) return false;
        if (IsSignature(Get32(raw))) break;
    }
    sys::SeekFile(file, -4, sys::kSeekCurrent);
    return true;
}

void WalkArchive() {
    for (;;) {
        unsigned char raw[4];
        ReadArchive(raw, 4);
        uint32_t signature = Get32(raw);
        if (signature == kLocalSignature) {
            HandleLocalMember();
        } else if (signature == kCentralSignature) {
            SkipCentralHeader();
        } else if (signature == kEndSignature) {
            ReadEndRecord();
            return;
        } else if (!ResyncToSignature()) {
            FailWithMessage(1034);
        }
    }
}

void AllocateMemory() {
    gExtract.window = static_cast<unsigned char*>(sys::AllocLockedBlock(kWindowAllocSize));
    if (gExtract.window) {
        gExtract.inputBuffer = static_cast<unsigned char*>(sys::AllocHeap(kStageAllocSize));
        gExtract.outputBuffer = static_cast<unsigned char*>(sys::AllocHeap(kStageAllocSize));
    }
    if (!gExtract.window || !gExtract.inputBuffer || !gExtract.outputBuffer) FailWithMessage(1035);
    if (gExtract.request->hasPassword) {
        const char* password = gExtract.request->password ? gExtract.request->password : "";
        size_t length = strlen(password);
        gExtract.passwordCopy = static_cast<char*>(sys::AllocHeap(length + 1));
        if (!gExtract.passwordCopy) FailWithMessage(1035);
        memcpy(gExtract.passwordCopy, password, length + 1);
        gExtract.activePassword = gExtract.passwordCopy;
    }
}

// A path too long for the archive name field is refused like a file that
// cannot be opened.
void OpenArchive() {
    const char* path = gExtract.request->archivePath ? gExtract.request->archivePath : "";
    size_t length = strlen(path);
    if (length > kArchiveNameSize - 5) FailWithMessage(1031, path);
    memcpy(gExtract.archiveName, path, length + 1);
    if (*FindChar(gExtract.archiveName, '.') == '\0') memcpy(gExtract.archiveName + length, ".ZIP", 5);
    gExtract.archiveFile = sys::OpenForReading(gExtract.archiveName);
    if (gExtract.archiveFile == sys::kNoFile) {
        sys::ConvertAnsiToOem(gExtract.archiveName);
        FailWithMessage(1031, gExtract.archiveName);
    }
    sys::SeekFile(gExtract.archiveFile, static_cast<long>(gExtract.request->startOffset), sys::kSeekBegin);
}

void BeginExtraction(ExtractRequest* request) {
    gExtract.busy = 1;
    gExtract.request = request;
    gExtract.testMode = request->destinationFolder == nullptr;
    gExtract.archiveFile = sys::kNoFile;
    gExtract.outputFile = sys::kNoFile;
    gExtract.header = LocalHeader{};
    gExtract.memberName[0] = '\0';
    gExtract.archiveName[0] = '\0';
    gExtract.bytesRead = 0;
    gExtract.lastReported = 0;
    gExtract.activePassword = kDefaultPassword;
}

void EndExtraction() {
    if (gExtract.archiveFile != sys::kNoFile) sys::CloseFile(gExtract.archiveFile);
    gExtract.archiveFile = sys::kNoFile;
    if (gExtract.outputFile != sys::kNoFile) {
        sys::CloseFile(gExtract.outputFile);
        sys::RemoveFile(gExtract.creationPath);
        gExtract.outputFile = sys::kNoFile;
    }
    ReleaseInflater();
    if (gExtract.window) sys::FreeLockedBlock(gExtract.window);
    sys::FreeHeap(gExtract.inputBuffer);
    sys::FreeHeap(gExtract.outputBuffer);
    sys::FreeHeap(gExtract.passwordCopy);
    gExtract.window = gExtract.inputBuffer = gExtract.outputBuffer = nullptr;
    gExtract.passwordCopy = nullptr;
    gExtract.activePassword = kDefaultPassword;
    gExtract.request = nullptr;
    gExtract.busy = 0;
}

}  // namespace

void ExitExtraction(int code) { longjmp(gExtract.exitPoint, code); }

void ExtractErrorBox(const char* text) { sys::ShowBox(gExtract.request->ownerWindow, text, nullptr, MB_ICONERROR); }

void FailWithMessage(unsigned id, ...) {
    char text[kBoxTextSize];
    va_list args;
    va_start(args, id);
    sys::FormatV(text, sizeof text, LoadCatalogueString(id), args);
    va_end(args);
    ExtractErrorBox(text);
    ExitExtraction(EXTRACT_RESULT_ERROR);
}

void FailRead() { FailWithMessage(1037, gExtract.request->archivePath); }

void ReadArchive(void* buffer, unsigned count) {
    if (count == 0) return;
    if (sys::ReadBytes(gExtract.archiveFile, buffer, count) != static_cast<int>(count)) FailRead();
}

void CheckWrite(int written, unsigned asked) {
    if (written == -1 || written != static_cast<int>(asked)) FailWithMessage(1036, gExtract.memberName);
}

void ReportProgress(bool force, uint32_t count) {
    gExtract.bytesRead += count;
    if (!force && gExtract.bytesRead < gExtract.lastReported + kProgressUnit) return;
    uintptr_t units = (gExtract.bytesRead / kProgressUnit) & 0xFFFF;
    if (sys::SendToWindow(gExtract.request->ownerWindow, kExtractMsgProgress, units, 0) != 0)
        ExitExtraction(EXTRACT_RESULT_CANCELLED);
    sys::PumpMessages();
    if (gState.cancelRequested) ExitExtraction(EXTRACT_RESULT_CANCELLED);
    gExtract.lastReported = gExtract.bytesRead;
}

void ShowMemberName() {
    char name[kMemberNameSize];
    const char* final = FinalComponent(gExtract.memberName);
    size_t length = strlen(final);
    memcpy(name, final, length + 1);
    sys::SendToWindow(gExtract.request->ownerWindow, kExtractMsgShowName, 0, reinterpret_cast<intptr_t>(name));
    ReportProgress(true, 0);
}

// The cleanup after step 5 runs on every path, after a non-local exit too.
int ExtractArchive(ExtractRequest* request) {
    if (gExtract.busy) return 0;
    BeginExtraction(request);
    int code = setjmp(gExtract.exitPoint);
    if (code == 0) {
        AllocateMemory();
        OpenArchive();
        WalkArchive();
    } else {
        request->result = code;
    }
    EndExtraction();
    return 1;
}
