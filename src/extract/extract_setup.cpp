#include "extract/extract_setup.h"

#include <string.h>

#include "extract/extract.h"
#include "setup/install_state.h"

#ifdef _WIN32
#include "progress/progress_dialog.h"
static_assert(kExtractMsgShowName == SETUP_MSG_SHOW_NAME && kExtractMsgProgress == SETUP_MSG_PROGRESS);
#endif

// A damaged payload must not install corrupt files: CRC errors are
// reported (message 1033) and fail the installation.
int ExtractSetupArchive(HWND owner) {
    static const char kArchiveName[] = "setup.fd";
    char archivePath[kPathSize + sizeof kArchiveName];
    size_t folderLength = strnlen(gState.sourceDir, kPathSize - 1);
    memcpy(archivePath, gState.sourceDir, folderLength);
    memcpy(archivePath + folderLength, kArchiveName, sizeof kArchiveName);

    ExtractRequest request;
    memset(&request, 0, sizeof request);
    request.reportCrcErrors = 1;
    request.archivePath = archivePath;
    request.destinationFolder = gState.installFolder;
    request.ownerWindow = owner;
    return ExtractArchive(&request) == 1 && request.result == 0;
}
