// Stand-in until the support-file check and copy is built: nothing to do.
#include "progress/support_files.h"

int ProcessSupportFiles(HWND, int) { return 1; }
