// Steps about processes, files and the environment.
#include <stdio.h>
#include <string.h>

#include "report.h"
#include "session.h"

const char* Value(const Session& session, Key key) { return ValueOf(*session.scenario, *session.step, key); }

size_t ValueLength(const Session& session, Key key) { return LengthOf(*session.step, key); }

DWORD NumberValue(const Session& session, Key key, DWORD fallback) {
    uint32_t number = fallback;
    const char* text = Value(session, key);
    if (text != nullptr) ParseNumber(text, number);
    return number;
}

DWORD WaitValue(const Session& session) { return NumberValue(session, Key::Timeout, session.options->defaultWaitMs); }

bool ProgramRunning(const Session& session) {
    return session.program.hProcess != nullptr && WaitForSingleObject(session.program.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

void CloseProgram(Session& session) {
    if (session.program.hProcess != nullptr) CloseHandle(session.program.hProcess);
    if (session.program.hThread != nullptr) CloseHandle(session.program.hThread);
    session.program = PROCESS_INFORMATION{};
    session.current = nullptr;
}

bool Launch(Session& session, PROCESS_INFORMATION& process) {
    static char commandLine[32768];
    const char* cmd = Value(session, Key::Cmd);
    if (strlen(cmd) >= sizeof commandLine) {
        ReportFail(session, "command line too long");
        return false;
    }
    strcpy(commandLine, cmd);  // CreateProcessA may write into it
    const char* dir = Value(session, Key::Dir);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, dir, &startup, &process)) {
        ReportFail(session, "CreateProcess failed, error %lu", GetLastError());
        ReportText("command line", cmd, strlen(cmd));
        if (dir != nullptr) ReportText("folder", dir, strlen(dir));
        process = PROCESS_INFORMATION{};
        return false;
    }
    return true;
}

// Waits for `process` within the step's bound and checks its exit code
// against code= (0 when not given, any number with code=any).
bool AwaitExit(Session& session, HANDLE process, DWORD pid, char* note, size_t noteSize) {
    DWORD wait = WaitValue(session);
    DWORD start = GetTickCount();
    if (WaitForSingleObject(process, wait) != WAIT_OBJECT_0) {
        ReportFail(session, "still running after %lu ms; its windows:", static_cast<unsigned long>(wait));
        WindowFilter filter;
        filter.pid = pid;
        ListWindows(filter, stdout);
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    const char* want = Value(session, Key::Code);
    bool any = want != nullptr && strcmp(want, "any") == 0;
    DWORD expected = NumberValue(session, Key::Code, 0);
    if (!any && code != expected) {
        ReportFail(session, "exit code differs");
        ReportDetail("expected: %lu", static_cast<unsigned long>(expected));
        ReportDetail("found:    %lu (0x%lX)", static_cast<unsigned long>(code), static_cast<unsigned long>(code));
        return false;
    }
    snprintf(note, noteSize, "code %lu after %lu ms", static_cast<unsigned long>(code),
             static_cast<unsigned long>(GetTickCount() - start));
    return true;
}

}  // namespace

bool StepStart(Session& session) {
    if (ProgramRunning(session)) {
        ReportFail(session, "the previous program (pid %lu) is still running; end it with exit or kill first",
                   static_cast<unsigned long>(session.program.dwProcessId));
        return false;
    }
    CloseProgram(session);
    if (!Launch(session, session.program)) return false;
    char note[64];
    snprintf(note, sizeof note, "pid %lu", static_cast<unsigned long>(session.program.dwProcessId));
    ReportPass(session, note);
    return true;
}

bool StepRun(Session& session) {
    PROCESS_INFORMATION process{};
    if (!Launch(session, process)) return false;
    char note[96] = "";
    bool ok = AwaitExit(session, process.hProcess, process.dwProcessId, note, sizeof note);
    if (!ok) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (ok) ReportPass(session, note);
    return ok;
}

bool StepSpawn(Session& session) {
    if (session.helperCount == static_cast<int>(sizeof session.helpers / sizeof session.helpers[0])) {
        ReportFail(session, "too many spawned helpers");
        return false;
    }
    PROCESS_INFORMATION process{};
    if (!Launch(session, process)) return false;
    CloseHandle(process.hThread);
    session.helpers[session.helperCount++] = process.hProcess;
    char note[64];
    snprintf(note, sizeof note, "pid %lu", static_cast<unsigned long>(process.dwProcessId));
    ReportPass(session, note);
    return true;
}

bool StepExit(Session& session) {
    if (session.program.hProcess == nullptr) {
        ReportFail(session, "no program was started");
        return false;
    }
    char note[96] = "";
    if (!AwaitExit(session, session.program.hProcess, session.program.dwProcessId, note, sizeof note)) return false;
    CloseProgram(session);
    ReportPass(session, note);
    return true;
}

bool StepKill(Session& session) {
    if (session.program.hProcess == nullptr) {
        ReportFail(session, "no program was started");
        return false;
    }
    TerminateProcess(session.program.hProcess, 1);
    WaitForSingleObject(session.program.hProcess, 10000);
    CloseProgram(session);
    ReportPass(session, nullptr);
    return true;
}

void EndProcesses(Session& session) {
    if (ProgramRunning(session)) {
        TerminateProcess(session.program.hProcess, 1);
        WaitForSingleObject(session.program.hProcess, 10000);
    }
    CloseProgram(session);
    for (int i = 0; i < session.helperCount; ++i) {
        if (WaitForSingleObject(session.helpers[i], 0) == WAIT_TIMEOUT) {
            TerminateProcess(session.helpers[i], 1);
            WaitForSingleObject(session.helpers[i], 10000);
        }
        CloseHandle(session.helpers[i]);
    }
    session.helperCount = 0;
}

bool StepEnv(Session& session) {
    if (!SetEnvironmentVariableA(Value(session, Key::Name), Value(session, Key::Value))) {
        ReportFail(session, "SetEnvironmentVariable failed, error %lu", GetLastError());
        return false;
    }
    ReportPass(session, nullptr);
    return true;
}

bool StepWaitFile(Session& session) {
    const char* path = Value(session, Key::Path);
    DWORD wait = WaitValue(session);
    DWORD start = GetTickCount();
    while (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= wait) {
            ReportFail(session, "no such file after %lu ms", static_cast<unsigned long>(wait));
            ReportText("path", path, strlen(path));
            return false;
        }
        Sleep(50);
    }
    char note[64];
    snprintf(note, sizeof note, "after %lu ms", static_cast<unsigned long>(GetTickCount() - start));
    ReportPass(session, note);
    return true;
}

bool StepTouch(Session& session) {
    const char* path = Value(session, Key::Path);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ReportFail(session, "cannot create the file, error %lu", GetLastError());
        return false;
    }
    CloseHandle(file);
    ReportPass(session, nullptr);
    return true;
}

bool StepFile(Session& session) {
    static Text<65536> content;
    const char* path = Value(session, Key::Path);
    const char* state = Value(session, Key::State);
    bool wantAbsent = state != nullptr && strcmp(state, "absent") == 0;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        if (wantAbsent && missing) {
            ReportPass(session, nullptr);
            return true;
        }
        if (missing) ReportFail(session, "the file does not exist");
        else ReportFail(session, "cannot open the file, error %lu", error);
        return false;
    }
    content.Clear();
    DWORD got = 0;
    BOOL read = ReadFile(file, content.data, content.Capacity(), &got, nullptr);
    DWORD readError = read ? 0 : GetLastError();
    content.length = got;
    content.data[got] = '\0';
    DWORD more = 0;
    char probe;
    content.overflow = read && got == content.Capacity() && ReadFile(file, &probe, 1, &more, nullptr) && more == 1;
    CloseHandle(file);
    if (wantAbsent) {
        ReportFail(session, "the file exists");
        return false;
    }
    if (!read) {
        ReportFail(session, "cannot read the file, error %lu", readError);
        return false;
    }
    // Only a content check needs the whole file in the buffer.
    bool checksContent = Value(session, Key::Equals) != nullptr || Value(session, Key::Contains) != nullptr;
    if (content.overflow && checksContent) {
        ReportFail(session, "the file is larger than 64 KiB");
        return false;
    }
    const char* equals = Value(session, Key::Equals);
    if (equals != nullptr && !content.Equals(equals, ValueLength(session, Key::Equals))) {
        ReportFail(session, "content differs");
        ReportText("expected", equals, ValueLength(session, Key::Equals));
        ReportText("found   ", content.data, content.length);
        return false;
    }
    const char* contains = Value(session, Key::Contains);
    size_t containsLength = ValueLength(session, Key::Contains);
    if (contains != nullptr) {
        bool found = false;
        for (size_t i = 0; !found && i + containsLength <= content.length; ++i) {
            found = memcmp(content.data + i, contains, containsLength) == 0;
        }
        if (!found) {
            ReportFail(session, "content does not contain the text");
            ReportText("expected part", contains, containsLength);
            ReportText("found        ", content.data, content.length);
            return false;
        }
    }
    ReportPass(session, nullptr);
    return true;
}

bool StepSleep(Session& session) {
    Sleep(NumberValue(session, Key::Ms, 0));
    ReportPass(session, nullptr);
    return true;
}
