// One member: filter, output path, password check, decoding through the
// input and output stages, file time and CRC check.
#include <stdio.h>
#include <string.h>
#include <zlib.h>

#include "common/catalogue.h"
#include "common/paths.h"
#include "extract/extract_state.h"
#include "extract/member_names.h"
#include "extract/zip_cipher.h"

namespace {

constexpr int kEncryptionHeaderSize = 12;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint32_t kZip64Mark = 0xFFFFFFFFu;

z_stream gInflater;

// Input stage: the next block of the member's data, decrypted; false when
// the member's data is used up.
bool RefillInput() {
    gExtract.inputPos = 0;
    gExtract.inputCount = 0;
    if (gExtract.compressedLeft == 0) return false;
    uint32_t n = gExtract.compressedLeft < kStageSize ? gExtract.compressedLeft : kStageSize;
    ReadArchive(gExtract.inputBuffer, n);
    ReportProgress(false, n);
    gExtract.compressedLeft -= n;
    gExtract.inputCount = n;
    if (gExtract.encrypted) DecryptBytes(gExtract.inputBuffer, n);
    return true;
}

// Output stage: CRC over the buffered bytes, then the write.
void WriteOutput() {
    gExtract.runningCrc = Crc32Update(gExtract.runningCrc, gExtract.outputBuffer, gExtract.outputCount);
    if (!gExtract.testMode) {
        int written = sys::WriteBytes(gExtract.outputFile, gExtract.outputBuffer, gExtract.outputCount);
        CheckWrite(written, gExtract.outputCount);
    }
    gExtract.outputCount = 0;
}

void PutOutput(const unsigned char* bytes, uint32_t count) {
    while (count > 0) {
        uint32_t room = kStageSize - gExtract.outputCount;
        uint32_t n = count < room ? count : room;
        memcpy(gExtract.outputBuffer + gExtract.outputCount, bytes, n);
        gExtract.outputCount += n;
        bytes += n;
        count -= n;
        if (gExtract.outputCount == kStageSize) WriteOutput();
    }
}

void CopyStored() {
    while (RefillInput()) PutOutput(gExtract.inputBuffer, gExtract.inputCount);
}

// The decoder takes whole input blocks; what it leaves of the last one when
// the stream ends is dropped, and the member's unread data stays in the
// archive for the walk to scan over.
unsigned InflateInput(void*, z_const unsigned char** next) {
    if (gExtract.inputPos == gExtract.inputCount && !RefillInput()) return 0;
    *next = gExtract.inputBuffer + gExtract.inputPos;
    unsigned n = gExtract.inputCount - gExtract.inputPos;
    gExtract.inputPos = gExtract.inputCount;
    return n;
}

// Called with the whole window each time it is full and with its filled
// part after the last block; never after an error, so bytes decoded since
// the last pass are then dropped.
int InflateOutput(void*, unsigned char* bytes, unsigned count) {
    PutOutput(bytes, count);
    return 0;
}

// The raw inflater works on the extractor's own window. Its result is not
// examined: a damaged stream is caught only by the CRC comparison.
void Inflate() {
    memset(&gInflater, 0, sizeof gInflater);
    int status = inflateBackInit(&gInflater, 15, gExtract.window);
    if (status == Z_MEM_ERROR) {
        fputs("\n*** inflate out of memory *** ", stderr);
        return;
    }
    if (status != Z_OK) return;
    gExtract.inflater = &gInflater;
    inflateBack(&gInflater, InflateInput, nullptr, InflateOutput, nullptr);
    ReleaseInflater();
}

// Filter and output path. Rules:
// - a filter list declines every member whose name (backslashes turned
//   into "/") matches no entry, letter case ignored;
// - the output path is built by BuildOutputPath, whose rules refuse unsafe
//   names (see member_names.cpp); a refused name, a stored name longer
//   than memberName and a path longer than the creation path end the
//   extraction with message 1030 naming the stored name, before any file
//   is created.
bool PrepareOutputPath() {
    const ExtractRequest& request = *gExtract.request;
    if (request.filterList) {
        for (char* p = gExtract.memberName; *p; p = const_cast<char*>(sys::NextChar(p)))
            if (*p == '\\') *p = '/';
        const FilterEntry* entry = request.filterList;
        while (entry && (memchr(entry->name, '\0', sizeof entry->name) == nullptr ||
                         sys::CompareNoCase(gExtract.memberName, entry->name) != 0))
            entry = entry->next;
        if (!entry) return false;
    }
    char path[kCreationPathSize];
    if (gExtract.nameTooLong ||
        !BuildOutputPath(request.destinationFolder, gExtract.memberName, request.keepPaths != 0, path, sizeof path))
        FailWithMessage(1030, gExtract.memberName);
    memcpy(gExtract.memberName, path, strlen(path) + 1);
    return true;
}

void CreateOutputFile() {
    memcpy(gExtract.creationPath, gExtract.memberName, strlen(gExtract.memberName) + 1);
    char* separator = FindLastChar(gExtract.creationPath, '\\');
    sys::ConvertOemToAnsi(separator ? separator + 1 : gExtract.creationPath);
    gExtract.outputFile = sys::CreateForWriting(gExtract.creationPath);
    if (gExtract.outputFile == sys::kNoFile) FailWithMessage(1030, gExtract.memberName);
}

void DecodeMember() {
    gExtract.runningCrc = 0xFFFFFFFFu;
    gExtract.inputCount = gExtract.inputPos = 0;
    gExtract.outputCount = 0;
    if (!gExtract.testMode) CreateOutputFile();
    switch (gExtract.header.method) {
        case kMethodStored:
            ShowMemberName();
            CopyStored();
            break;
        case kMethodDeflated:
            ShowMemberName();
            Inflate();
            break;
        default:
            FailWithMessage(1032);
    }
    if (gExtract.outputCount > 0) WriteOutput();
    if (!gExtract.testMode) {
        sys::SetFileTimeFromDos(gExtract.outputFile, gExtract.header.modDate, gExtract.header.modTime);
        sys::CloseFile(gExtract.outputFile);
    }
    gExtract.outputFile = sys::kNoFile;
    uint32_t computed = ~gExtract.runningCrc;
    if (computed != gExtract.header.crc32 && gExtract.request->reportCrcErrors == 1)
        FailWithMessage(1033, gExtract.memberName, static_cast<unsigned long>(computed),
                        static_cast<unsigned long>(gExtract.header.crc32));
}

}  // namespace

void ReleaseInflater() {
    if (!gExtract.inflater) return;
    inflateBackEnd(&gInflater);
    gExtract.inflater = nullptr;
}

// Rules, each ending the extraction with message 1034 before anything of
// the member is created:
// - a compressed size of 0xFFFFFFFF is the Zip64 mark of a streamed
//   archive (its real sizes are elsewhere), which this reader cannot use;
// - an encrypted member too short for its 12-byte encryption header
//   cannot be decrypted (its count of remaining bytes would wrap).
bool ExtractMember() {
    if (!gExtract.testMode && !PrepareOutputPath()) return false;
    if (gExtract.header.compressedSize == kZip64Mark) FailWithMessage(1034);
    if (gExtract.encrypted) {
        if (gExtract.compressedLeft < kEncryptionHeaderSize) FailWithMessage(1034);
        if (!CheckEncryptionHeader()) {
            ExtractErrorBox("INCORRECT PASSWORD");
            ExitExtraction(EXTRACT_RESULT_ERROR);
        }
    }
    DecodeMember();
    return true;
}
