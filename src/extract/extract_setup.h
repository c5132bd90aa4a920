// Extraction of setup.fd into the install folder.
#pragma once

#include "common/sys.h"

// True when every member of setup.fd was extracted into installFolder and
// its CRC matched; a failure has shown its box.
int ExtractSetupArchive(HWND owner);
