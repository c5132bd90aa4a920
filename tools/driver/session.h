#pragma once

#include <windows.h>

#include "inspect.h"
#include "scenario.h"

struct Options {
    const char* binDir = nullptr;
    const char* shotDir = nullptr;
    DWORD defaultWaitMs = 60000;
};

struct Session {
    const Scenario* scenario = nullptr;
    const Options* options = nullptr;
    PROCESS_INFORMATION program{};  // the program under test; hProcess null when none
    HANDLE helpers[16] = {};        // spawned helpers, ended with the scenario
    int helperCount = 0;
    HWND current = nullptr;         // the window the last `window` step found
    Retired retired;
    Retired skipped;                // windows a `window ... then=skip` step passed over for good
    int number = 0;                 // 1-based step number
    bool quiet = false;             // window checks that only probe report nothing
    const Step* step = nullptr;
};

// Values of the running step.
const char* Value(const Session& session, Key key);
size_t ValueLength(const Session& session, Key key);
DWORD NumberValue(const Session& session, Key key, DWORD fallback);
DWORD WaitValue(const Session& session);

// Step bodies: true when the step passed; a failing step has printed its report.
bool StepStart(Session& session);
bool StepRun(Session& session);
bool StepSpawn(Session& session);
bool StepExit(Session& session);
bool StepKill(Session& session);
bool StepEnv(Session& session);
bool StepWaitFile(Session& session);
bool StepTouch(Session& session);
bool StepFile(Session& session);
bool StepSleep(Session& session);
bool StepWindow(Session& session);
bool StepPress(Session& session);
bool StepType(Session& session);
bool StepControl(Session& session);
bool StepShot(Session& session);
bool StepNoBox(Session& session);

// Ends the program under test and the helpers; used on failure and at the end.
void EndProcesses(Session& session);
bool ProgramRunning(const Session& session);
