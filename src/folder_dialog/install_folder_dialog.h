// Dialog 100: the install folder.
#pragma once

#include <windows.h>

INT_PTR CALLBACK InstallFolderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
