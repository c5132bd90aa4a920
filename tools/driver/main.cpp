// fddriver: follows a scenario file against a program under Wine and checks
// what it shows. Exit code 0: passed, 1: a step failed, 2: bad arguments or
// a bad scenario. See SCENARIOS.md.
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "report.h"
#include "scenario.h"
#include "session.h"

namespace {

struct StepHandler {
    Verb verb;
    bool (*run)(Session&);
};

constexpr StepHandler kHandlers[] = {
    {Verb::Start, StepStart},     {Verb::Run, StepRun},         {Verb::Spawn, StepSpawn},
    {Verb::Exit, StepExit},       {Verb::Kill, StepKill},       {Verb::Window, StepWindow},
    {Verb::Press, StepPress},     {Verb::Type, StepType},       {Verb::Control, StepControl},
    {Verb::Shot, StepShot},       {Verb::Sleep, StepSleep},     {Verb::NoBox, StepNoBox},
    {Verb::Env, StepEnv},         {Verb::WaitFile, StepWaitFile}, {Verb::Touch, StepTouch},
    {Verb::File, StepFile},
};

int Usage() {
    fprintf(stderr, "usage: fddriver.exe [--bin DIR] [--shots DIR] [--wait MS] SCENARIO\n");
    return 2;
}

bool ReadWhole(const char* path, char* buffer, size_t size, size_t& length) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0;
    BOOL ok = ReadFile(file, buffer, static_cast<DWORD>(size), &got, nullptr);
    CloseHandle(file);
    length = got;
    return ok && got < size;
}

// Drops one trailing backslash so "%BIN%\x.exe" never doubles it.
const char* Folder(char* path) {
    size_t n = strlen(path);
    if (n > 3 && path[n - 1] == '\\') path[n - 1] = '\0';
    return path;
}

Scenario gScenario;
char gSource[512 * 1024];

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const char* scenarioPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (strcmp(argv[i], "--bin") == 0 && hasValue) {
            options.binDir = Folder(argv[++i]);
        } else if (strcmp(argv[i], "--shots") == 0 && hasValue) {
            options.shotDir = Folder(argv[++i]);
        } else if (strcmp(argv[i], "--wait") == 0 && hasValue) {
            uint32_t ms = 0;
            if (!ParseNumber(argv[++i], ms)) return Usage();
            options.defaultWaitMs = ms;
        } else if (argv[i][0] == '-' || scenarioPath != nullptr) {
            return Usage();
        } else {
            scenarioPath = argv[i];
        }
    }
    if (scenarioPath == nullptr) return Usage();

    size_t length = 0;
    if (!ReadWhole(scenarioPath, gSource, sizeof gSource, length)) {
        fprintf(stderr, "fddriver: cannot read %s (missing, or over 512 KiB)\n", scenarioPath);
        return 2;
    }
    const Placeholder placeholders[] = {{"BIN", options.binDir}, {"SHOTS", options.shotDir}};
    ParseError error;
    if (!ParseScenario(gSource, length, placeholders, 2, gScenario, error)) {
        fprintf(stderr, "%s:%d: %s\n", scenarioPath, error.line, error.message.c_str());
        return 2;
    }

    Session session;
    session.scenario = &gScenario;
    session.options = &options;
    DWORD start = GetTickCount();
    for (int i = 0; i < gScenario.count; ++i) {
        session.number = i + 1;
        session.step = &gScenario.steps[i];
        bool passed = false;
        for (const StepHandler& handler : kHandlers) {
            if (handler.verb == session.step->verb) passed = handler.run(session);
        }
        if (!passed) {
            EndProcesses(session);
            printf("scenario FAILED at step %d of %d (%lu ms)\n", session.number, gScenario.count,
                   static_cast<unsigned long>(GetTickCount() - start));
            fflush(stdout);
            return 1;
        }
    }
    bool leftRunning = ProgramRunning(session);
    if (leftRunning) {
        printf("FAIL end: the program is still running; the scenario must end with exit or kill\n");
        WindowFilter filter;
        filter.pid = session.program.dwProcessId;
        ListWindows(filter, stdout);
    }
    EndProcesses(session);
    printf("scenario %s: %d steps (%lu ms)\n", leftRunning ? "FAILED" : "passed", gScenario.count,
           static_cast<unsigned long>(GetTickCount() - start));
    fflush(stdout);
    return leftRunning ? 1 : 0;
}
