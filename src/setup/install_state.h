// The one process-wide record through which every stage of the installer
// shares paths, totals, windows and flags.
#pragma once

#include "common/sys.h"

#ifndef _WIN32
using HCURSOR = void*;
#endif

constexpr int kPathSize = 260;   // at most 259 characters and the NUL
constexpr int kTitleSize = 29;   // the title: at most 28 characters

struct InstallState {
    HINSTANCE instance;
    char setupTitle[kTitleSize];
    char sourceDir[kPathSize];        // SETUP.EXE's folder, trailing separator
    char argv0File[kPathSize];        // the file named after "-argv0"
    char suggestedFolder[kPathSize];  // folder proposed to the user
    char installFolder[kPathSize];    // the validated folder, no trailing separator
    char installDir[kPathSize];       // installFolder with its trailing separator
    FILETIME setupFileTime;           // last write of SETUP.EXE
    FILETIME payloadFileTime;         // last write of the extracted "fardel32.ex_"
    uint32_t totalKB;                 // the work in units of 1024 bytes
    uint32_t copiedBytes;             // support-file bytes copied so far
    uint32_t lastReportedBytes;       // copiedBytes at the last meter update
    int stubUpToDate;
    int cancelRequested;
    const unsigned char* stubImage;
    uint32_t stubImageSize;
    HWND progressDialog;
    HCURSOR currentCursor;
    WIN32_FIND_DATAA findData;        // scratch record of the last lookup
};

extern InstallState gState;

// Zero-fills the record and sets the initial suggestion "C:\Fardel".
void ResetInstallState();
