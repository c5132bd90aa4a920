#include "setup/run_setup.h"

#include <commctrl.h>

#include "common/catalogue.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/trace.h"
#include "extract/extract_setup.h"
#include "folder_dialog/install_folder_dialog.h"
#include "progress/progress_dialog.h"
#include "progress/support_files.h"
#include "resources/dialog.h"
#include "setup/command_line.h"
#include "setup/environment_checks.h"
#include "setup/finish.h"
#include "setup/install_state.h"
#include "setup/suggested_folder.h"

namespace {

void FindSourceFolder() {
    TraceHook("Determining source directory");
    GetModuleFileNameA(gState.instance, gState.sourceDir, kPathSize);
    FileExists(gState.sourceDir, &gState.findData);
    gState.setupFileTime = gState.findData.ftLastWriteTime;
    FindLastSeparator(gState.sourceDir)[1] = '\0';
    TraceHook("Source Directory is: %s", gState.sourceDir);
}

void SetMeter(UINT message, unsigned value) {
    SendDlgItemMessageA(gState.progressDialog, ID_METER, message, value, 0);
}

// Whether the extraction left "fardel32.ex_", and its time for the copies.
void TakePayloadTime() {
    char path[kPathSize + 16];
    WIN32_FIND_DATAA found;
    wsprintfA(path, "%sfardel32.ex_", gState.installDir);
    if (FileExists(path, &found) == 0) {
        gState.payloadFileTime = found.ftLastWriteTime;
    } else {
        gState.payloadFileTime = FILETIME{0, 0};
    }
}

}  // namespace

int RunSetup(HINSTANCE instance, const char* tail) {
    gState.instance = instance;
    TraceHook("Setup has been started");
    InitCommonControls();
    LoadStringA(instance, 1021, gState.setupTitle, kTitleSize);
    gState.currentCursor = LoadCursorA(nullptr, IDC_ARROW);
    SetCursor(gState.currentCursor);

    if (!CheckWindowsVersion()) return 0;
    if (!CheckAdministrativeAccess()) return 0;
    if (!WaitWhileProgramRuns()) return 0;
    CloseHopper();
    if (!UnloadFileManagerExtension()) return 0;

    ReadArgv0Switch(tail, gState.argv0File, kPathSize);
    if (gState.argv0File[0] != '\0') {
        TraceHook("Setup install file is %s", gState.argv0File);
    } else {
        TraceHook("Did not find setup install file in arg list.");
    }
    FindSourceFolder();
    ChooseSuggestedFolder();
    TraceHook("registering control class");
    RegisterMeterClass(instance);

    TraceHook("Displaying Welcome Dialog");
    INT_PTR choice = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_INSTALL_FOLDER), nullptr, InstallFolderDialogProc, 0);
    if (choice == 1006) {
        ShowMessage(nullptr, 1006, MB_TASKMODAL | MB_ICONINFORMATION);
        return 0;
    }
    // A dialog that could not open (-1) must not lead to an install with
    // empty paths: it ends the run as a silent stop does.
    if (choice == 0 || choice == -1) return 0;

    gState.progressDialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressDialogProc, 0);
    ShowWindow(gState.progressDialog, SW_SHOW);
    gState.currentCursor = LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR previousCursor = SetCursor(gState.currentCursor);
    UpdateWindow(gState.progressDialog);
    SetMeter(METER_SET_POS, 0);
    SetMeter(METER_SET_RANGE, gState.totalKB / 10);

    int ok = ExtractSetupArchive(gState.progressDialog);
    TakePayloadTime();
    if (ok) ok = ProcessSupportFiles(gState.progressDialog, kSupportFilesCopy);

    gState.currentCursor = previousCursor;
    SetCursor(gState.currentCursor);
    SetMeter(METER_SET_POS, gState.totalKB / 10);
    if (ok && !FinalizeMainExecutable(gState.installDir, "FARDEL32.EXE")) {
        ShowMessage(nullptr, 1006, MB_ICONINFORMATION);
        return 0;
    }
    ShowWindow(gState.progressDialog, SW_HIDE);
    DestroyWindow(gState.progressDialog);
    if (!ok) {
        ShowMessage(nullptr, 1006, MB_TASKMODAL | MB_ICONINFORMATION);
        return 0;
    }
    LaunchMainProgram();
    return 0;
}
