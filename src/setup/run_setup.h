// The installer's whole sequence, from the title to the launch.
#pragma once

#include <windows.h>

// Always 0, the process exit code on every path.
int RunSetup(HINSTANCE instance, const char* tail);
