// Extraction of setup.fd into the install folder.
#pragma once

#include <windows.h>

int ExtractSetupArchive(HWND owner);
