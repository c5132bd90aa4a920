#include "setup/install_state.h"

#include <string.h>

InstallState gState = {
    nullptr, "", "", "", "C:\\Fardel", "", "", {0, 0}, {0, 0}, 0, 0, 0, 0, 0, nullptr, 0, nullptr, nullptr, {},
};

void ResetInstallState() {
    memset(&gState, 0, sizeof gState);
    strcpy(gState.suggestedFolder, "C:\\Fardel");
}
