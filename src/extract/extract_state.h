// What the parts of the extractor share while one extraction runs.
#pragma once

#include <setjmp.h>
#include <stdint.h>

#include "extract/extract.h"

constexpr uint32_t kStageSize = 28672;        // largest refill and write
constexpr uint32_t kStageAllocSize = 28692;   // each of the two buffers
constexpr uint32_t kWindowAllocSize = 32776;  // the Deflate window block
constexpr uint32_t kWindowSize = 32768;
constexpr int kCreationPathSize = 260;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDescriptor = 0x0008;

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;

// The 26 bytes after a local header's signature.
struct LocalHeader {
    uint16_t versionNeeded;
    uint16_t flags;
    uint16_t method;
    uint16_t modTime;
    uint16_t modDate;
    uint32_t crc32;
    uint32_t compressedSize;
    uint32_t uncompressedSize;
    uint16_t nameLength;
    uint16_t extraLength;
};

struct ExtractorState {
    int busy;
    ExtractRequest* request;
    int testMode;
    char archiveName[kArchiveNameSize];
    int archiveFile;
    int outputFile;
    char memberName[kMemberNameSize];
    int nameTooLong;          // the stored name did not fit memberName
    LocalHeader header;
    int encrypted;
    int hasDescriptor;
    uint32_t compressedLeft;
    unsigned char* window;
    unsigned char* inputBuffer;
    unsigned char* outputBuffer;
    uint32_t bytesRead;
    uint32_t lastReported;
    const char* activePassword;
    char* passwordCopy;
    uint32_t inputCount;      // bytes in the input buffer
    uint32_t inputPos;        // the next one to take
    uint32_t outputCount;
    uint32_t runningCrc;
    char creationPath[kCreationPathSize];
    void* inflater;           // a decoder that a non-local exit left running
    jmp_buf exitPoint;
};

extern ExtractorState gExtract;

// The one non-local exit: back to ExtractArchive with code 2 or 99. The
// frames it leaves hold nothing that needs releasing (plain records only);
// ExtractArchive's cleanup releases what the state holds.
[[noreturn]] void ExitExtraction(int code);

// Formats catalogue text id with the arguments, shows it in the error box
// and exits with code 2.
[[noreturn]] void FailWithMessage(unsigned id, ...);
[[noreturn]] void FailRead();
void ExtractErrorBox(const char* text);
void CheckWrite(int written, unsigned asked);
void ReportProgress(bool force, uint32_t count);
void ShowMemberName();

// Exactly count bytes from the archive, else FailRead.
void ReadArchive(void* buffer, unsigned count);

// Part of the member stage: true when the member was extracted, false when
// declined before any of its data was read.
bool ExtractMember();
// Frees a decoder left by a non-local exit.
void ReleaseInflater();
