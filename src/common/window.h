// Window placement shared by the dialogs.
#pragma once

#ifdef _WIN32
#include <windows.h>

// Moves window to the centre of the primary screen; size and z-order stay.
void CenterWindow(HWND window);
#endif
