// Stand-in until the archive extractor is built: nothing is extracted.
#include "extract/extract_setup.h"

int ExtractSetupArchive(HWND) { return 1; }
