// The archive extractor: a sequential reader of ZIP archives driven by one
// request record.
#pragma once

#include <stdint.h>

#include "common/sys.h"

constexpr int EXTRACT_RESULT_ERROR = 2;
constexpr int EXTRACT_RESULT_CANCELLED = 99;

// Messages to the owner window (the progress dialog's SETUP_MSG_SHOW_NAME
// and SETUP_MSG_PROGRESS).
constexpr UINT kExtractMsgShowName = 1302;  // lParam: the member's name
constexpr UINT kExtractMsgProgress = 1304;  // wParam: 10240-byte units read
constexpr uint32_t kProgressUnit = 10240;

constexpr int kMemberNameSize = 264;  // at most 263 characters
constexpr int kArchiveNameSize = 288; // at most 283 characters, ".ZIP" fits

// One node of a filter list: only members whose name matches an entry are
// written. The name is held in the node itself.
struct FilterEntry {
    FilterEntry* next;
    char name[kMemberNameSize];
};

// Zero-filled by the caller, who then sets the fields it needs; the
// extractor writes only result.
struct ExtractRequest {
    uint16_t reportCrcErrors;       // exactly 1: a CRC mismatch ends the extraction
    const char* archivePath;
    const char* destinationFolder;  // null: test mode, nothing is written
    const FilterEntry* filterList;  // null: every member
    int32_t keepPaths;              // non-zero: stored folders are reproduced
    uint32_t startOffset;           // where the walk starts in the file
    HWND ownerWindow;               // owner of the boxes, receiver of progress
    int32_t result;                 // untouched on success, else 2 or 99
    int32_t skipEmptyMembers;       // non-zero: members of size 0 are stepped over
    int32_t hasPassword;            // non-zero: password replaces the built-in one
    const char* password;
};

// Runs one extraction: 0 only when another one is running (nothing done),
// else 1 with the outcome in request->result.
int ExtractArchive(ExtractRequest* request);
