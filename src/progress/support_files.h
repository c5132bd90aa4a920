// The seven support files beside SETUP.EXE: checked, then copied.
#pragma once

#include <windows.h>

constexpr int kSupportFilesCheck = 0;
constexpr int kSupportFilesCopy = 1;

int ProcessSupportFiles(HWND owner, int mode);
