// Steps about the program's windows: find, compare, press, type, capture.
#include <algorithm>
#include <stdio.h>
#include <string.h>

#include "capture.h"
#include "icon.h"
#include "report.h"
#include "session.h"

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kSettleMs = 5000;
constexpr DWORD kShotIntervalMs = 150;
constexpr DWORD kShotSettleMs = 3000;

WindowFilter FilterOf(const Session& session) {
    WindowFilter filter;
    const char* proc = Value(session, Key::Proc);
    filter.anyProcess = proc != nullptr && strcmp(proc, "any") == 0;
    filter.pid = filter.anyProcess ? 0 : session.program.dwProcessId;
    const char* className = Value(session, Key::Class);
    if (className != nullptr) filter.className = className;
    const char* visible = Value(session, Key::Visible);
    filter.visibleOnly = visible == nullptr || strcmp(visible, "yes") == 0;
    return filter;
}

bool NeedProgram(const Session& session, const WindowFilter& filter) {
    if (filter.anyProcess || session.program.hProcess != nullptr) return true;
    ReportFail(session, "no program was started (use proc=any for windows of other processes)");
    return false;
}

bool NeedWindow(const Session& session) {
    if (session.current != nullptr && IsWindow(session.current)) return true;
    ReportFail(session, session.current == nullptr ? "no window yet: a window step must come first"
                                                   : "the current window is gone");
    return false;
}

// Prints ids as "1,2,4" or "(none)".
void FormatIds(const int* ids, int count, char* out, size_t size) {
    size_t used = 0;
    out[0] = '\0';
    for (int i = 0; i < count && used < size; ++i) {
        int n = snprintf(out + used, size - used, i == 0 ? "%d" : ",%d", ids[i]);
        if (n < 0) break;
        used += static_cast<size_t>(n);
    }
    if (count == 0) snprintf(out, size, "(none)");
}

int ParseIds(const char* text, int* ids, int max) {
    int count = 0;
    for (const char* p = text; *p != '\0' && count < max;) {
        char item[16];
        size_t len = strcspn(p, ",");
        if (len >= sizeof item) len = sizeof item - 1;
        memcpy(item, p, len);
        item[len] = '\0';
        uint32_t id = 0;
        ParseNumber(item, id);
        ids[count++] = static_cast<int>(id);
        p += strcspn(p, ",");
        if (*p == ',') ++p;
    }
    std::sort(ids, ids + count);
    return count;
}

void OwnerText(HWND window, ShortText& out) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == nullptr) {
        out.Set("none");
        return;
    }
    ReadCaption(owner, out);
}

// Everything a failure report shows about a window.
void DumpWindow(HWND window) {
    ShortText caption;
    ReadCaption(window, caption);
    char className[128] = "";
    GetClassNameA(window, className, sizeof className);
    ReportDetail("window found: class \"%s\"", className);
    ReportText("  caption", caption.data, caption.length);
    HWND textControl = GetDlgItem(window, kTextIdStatic);
    static LongText text;
    if (textControl != nullptr && ReadControlText(textControl, text)) {
        ReportText("  text", text.data, text.length);
    } else {
        ReportDetail("  text: (no static control 0xFFFF)");
    }
    ReportDetail("  icon: %s", IconName(IdentifyIcon(window)));
    int ids[kMaxButtons];
    char idText[256];
    FormatIds(ids, CollectButtons(window, ids, kMaxButtons), idText, sizeof idText);
    ReportDetail("  buttons: %s", idText);
    HWND owner = GetWindow(window, GW_OWNER);
    ShortText ownerCaption;
    OwnerText(window, ownerCaption);
    if (owner == nullptr) ReportDetail("  owner: none");
    else ReportText("  owner", ownerCaption.data, ownerCaption.length);
}

bool Differs(const Session& session, HWND window, const char* what, const char* expected, size_t expectedLength,
             const char* found, size_t foundLength) {
    if (session.quiet) return false;
    size_t at = 0;
    while (at < expectedLength && at < foundLength && expected[at] == found[at]) ++at;
    ReportFail(session, "%s differs from character %u on", what, static_cast<unsigned>(at));
    ReportText("expected", expected, expectedLength);
    ReportText("found   ", found, foundLength);
    DumpWindow(window);
    return false;
}

// Compares the keys given in the step, in a fixed order; stops at the first difference.
bool CheckWindow(const Session& session, HWND window) {
    const char* caption = Value(session, Key::Caption);
    if (caption != nullptr) {
        ShortText found;
        ReadCaption(window, found);
        if (!found.Equals(caption, ValueLength(session, Key::Caption))) {
            return Differs(session, window, "caption", caption, ValueLength(session, Key::Caption), found.data,
                           found.length);
        }
    }
    const char* text = Value(session, Key::Text);
    if (text != nullptr) {
        static LongText found;
        HWND control = GetDlgItem(window, kTextIdStatic);
        if (control == nullptr || !ReadControlText(control, found)) {
            ReportFail(session, control == nullptr ? "the window has no text control 0xFFFF"
                                                   : "the text control does not answer");
            DumpWindow(window);
            return false;
        }
        if (found.overflow) {
            ReportFail(session, "the text is longer than %u characters", static_cast<unsigned>(found.Capacity()));
            return false;
        }
        if (!found.Equals(text, ValueLength(session, Key::Text))) {
            return Differs(session, window, "text", text, ValueLength(session, Key::Text), found.data, found.length);
        }
    }
    const char* icon = Value(session, Key::Icon);
    if (icon != nullptr) {
        IconKind found = IdentifyIcon(window);
        if (found != IconFromName(icon)) {
            const char* name = IconName(found);
            return Differs(session, window, "icon", icon, strlen(icon), name, strlen(name));
        }
    }
    const char* buttons = Value(session, Key::Buttons);
    if (buttons != nullptr) {
        int want[kMaxButtons], have[kMaxButtons];
        int wantCount = ParseIds(buttons, want, kMaxButtons);
        int haveCount = CollectButtons(window, have, kMaxButtons);
        if (wantCount != haveCount || !std::equal(want, want + wantCount, have)) {
            char wantText[256], haveText[256];
            FormatIds(want, wantCount, wantText, sizeof wantText);
            FormatIds(have, haveCount, haveText, sizeof haveText);
            return Differs(session, window, "button ids", wantText, strlen(wantText), haveText, strlen(haveText));
        }
    }
    const char* owner = Value(session, Key::Owner);
    if (owner != nullptr) {
        ShortText found;
        OwnerText(window, found);
        bool wantNone = strcmp(owner, "none") == 0;
        bool hasOwner = GetWindow(window, GW_OWNER) != nullptr;
        if (wantNone != !hasOwner || (hasOwner && !found.Equals(owner, ValueLength(session, Key::Owner)))) {
            return Differs(session, window, "owner", owner, ValueLength(session, Key::Owner), found.data,
                           found.length);
        }
    }
    return true;
}

bool ProgramGone(const Session& session, const WindowFilter& filter, DWORD& code) {
    if (filter.anyProcess || ProgramRunning(session)) return false;
    code = 0;
    GetExitCodeProcess(session.program.hProcess, &code);
    return true;
}

HWND NeedControl(const Session& session, int id) {
    HWND control = FindControl(session.current, id);
    if (control == nullptr) ReportFail(session, "the window has no control with id %d", id);
    return control;
}

}  // namespace

bool StepWindow(Session& session) {
    WindowFilter filter = FilterOf(session);
    if (!NeedProgram(session, filter)) return false;
    DWORD wait = WaitValue(session);
    DWORD start = GetTickCount();
    HWND window = nullptr;
    HWND lastSeen = nullptr;
    // until=match: windows that differ are passed by until one matches.
    const bool untilMatch = Value(session, Key::Until) != nullptr;
    for (;;) {
        window = FindCandidate(filter, session.retired, session.skipped);
        if (window != nullptr && untilMatch) {
            session.quiet = true;
            bool matches = CheckWindow(session, window);
            session.quiet = false;
            if (!matches) {
                lastSeen = window;
                window = nullptr;
            }
        }
        if (window != nullptr) break;
        DWORD code = 0;
        if (ProgramGone(session, filter, code)) {
            ReportFail(session, "the program exited with code %lu before a window appeared",
                       static_cast<unsigned long>(code));
            return false;
        }
        if (GetTickCount() - start >= wait) {
            if (lastSeen != nullptr && IsWindow(lastSeen) && !CheckWindow(session, lastSeen)) return false;
            ReportFail(session, "no %s%s window after %lu ms; windows there:", filter.visibleOnly ? "visible, enabled " : "",
                       filter.className,
                       static_cast<unsigned long>(wait));
            ListWindows(filter, stdout);
            return false;
        }
        Sleep(kPollMs);
    }
    session.current = window;
    DWORD found = GetTickCount() - start;
    if (!CheckWindow(session, window)) return false;
    // A window that stays on screen behind the next boxes (a progress
    // dialog, say) is passed over by the later window steps.
    if (Value(session, Key::Then) != nullptr) session.skipped.Add(window);
    char note[64];
    snprintf(note, sizeof note, "after %lu ms", static_cast<unsigned long>(found));
    ReportPass(session, note);
    return true;
}

bool StepPress(Session& session) {
    if (!NeedWindow(session)) return false;
    int id = static_cast<int>(NumberValue(session, Key::Id, 0));
    HWND button = NeedControl(session, id);
    if (button == nullptr) return false;
    if (!IsWindowVisible(button) || !IsWindowEnabled(button)) {
        ReportFail(session, "control %d is %s", id, IsWindowVisible(button) ? "disabled" : "hidden");
        return false;
    }
    // Posted, never sent: the click may open a nested modal box.
    const char* how = Value(session, Key::How);
    BOOL posted = how != nullptr && strcmp(how, "command") == 0
                      ? PostMessageA(session.current, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(button))
                      : PostMessageA(button, BM_CLICK, 0, 0);
    if (!posted) {
        ReportFail(session, "PostMessage failed, error %lu", GetLastError());
        return false;
    }
    session.retired.Add(session.current);
    ReportPass(session, nullptr);
    return true;
}

bool StepType(Session& session) {
    if (!NeedWindow(session)) return false;
    int id = static_cast<int>(NumberValue(session, Key::Id, 0));
    HWND control = NeedControl(session, id);
    if (control == nullptr) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value(session, Key::Text)),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) ||
        result == 0) {
        ReportFail(session, "WM_SETTEXT to control %d failed", id);
        return false;
    }
    ReportPass(session, nullptr);
    return true;
}

namespace {

// One look at a control against the step's checks. On a difference, `reason`
// says what and `found` holds the control's text when the text differed.
bool ControlHolds(const Session& session, int id, char* reason, size_t size, LongText& found, bool& textDiffers) {
    textDiffers = false;
    HWND control = FindControl(session.current, id);
    const char* state = Value(session, Key::State);
    if (state != nullptr && strcmp(state, "absent") == 0) {
        if (control != nullptr) snprintf(reason, size, "control %d exists", id);
        return control == nullptr;
    }
    if (control == nullptr) {
        snprintf(reason, size, "the window has no control with id %d", id);
        return false;
    }
    bool visible = IsWindowVisible(control) != FALSE;
    bool enabled = IsWindowEnabled(control) != FALSE;
    if (state != nullptr) {
        bool ok = (strcmp(state, "visible") == 0 && visible) || (strcmp(state, "hidden") == 0 && !visible) ||
                  (strcmp(state, "enabled") == 0 && enabled) || (strcmp(state, "disabled") == 0 && !enabled);
        if (!ok) {
            snprintf(reason, size, "control %d is not %s (it is %s and %s)", id, state,
                     visible ? "visible" : "hidden", enabled ? "enabled" : "disabled");
            return false;
        }
    }
    const char* text = Value(session, Key::Text);
    if (text != nullptr) {
        if (!ReadControlText(control, found) || found.overflow) {
            snprintf(reason, size, "cannot read the text of control %d", id);
            return false;
        }
        if (!found.Equals(text, ValueLength(session, Key::Text))) {
            snprintf(reason, size, "text of control %d differs", id);
            textDiffers = true;
            return false;
        }
    }
    const char* checked = Value(session, Key::Checked);
    if (checked != nullptr) {
        DWORD_PTR check = 0;
        if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &check)) {
            snprintf(reason, size, "control %d does not answer BM_GETCHECK", id);
            return false;
        }
        if ((check == BST_CHECKED) != (strcmp(checked, "yes") == 0)) {
            snprintf(reason, size, "control %d is %schecked", id, check == BST_CHECKED ? "" : "not ");
            return false;
        }
    }
    return true;
}

}  // namespace

// Clicks are posted, so the program may not have handled the last one yet:
// the checks are repeated until they hold or timeout= (5 s) passes.
bool StepControl(Session& session) {
    if (!NeedWindow(session)) return false;
    int id = static_cast<int>(NumberValue(session, Key::Id, 0));
    DWORD wait = NumberValue(session, Key::Timeout, kSettleMs);
    DWORD start = GetTickCount();
    static LongText found;
    char reason[160];
    bool textDiffers = false;
    while (!ControlHolds(session, id, reason, sizeof reason, found, textDiffers)) {
        if (GetTickCount() - start >= wait || !IsWindow(session.current)) {
            ReportFail(session, "%s", reason);
            if (textDiffers) {
                ReportText("expected", Value(session, Key::Text), ValueLength(session, Key::Text));
                ReportText("found   ", found.data, found.length);
            }
            return false;
        }
        Sleep(kPollMs);
    }
    ReportPass(session, nullptr);
    return true;
}

bool StepShot(Session& session) {
    const char* area = Value(session, Key::Area);
    bool screen = (area != nullptr && strcmp(area, "screen") == 0) || session.current == nullptr ||
                  !IsWindow(session.current);
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!screen) GetWindowRect(session.current, &rect);
    char path[MAX_PATH];
    const char* file = Value(session, Key::File);
    bool absolute = file[0] == '\\' || (file[0] != '\0' && file[1] == ':');
    const char* dir = session.options->shotDir;
    int n = absolute || dir == nullptr ? snprintf(path, sizeof path, "%s", file)
                                       : snprintf(path, sizeof path, "%s\\%s", dir, file);
    if (n < 0 || n >= static_cast<int>(sizeof path)) {
        ReportFail(session, "screenshot path too long");
        return false;
    }
    Grab grab;
    if (!GrabSettled(rect, kShotIntervalMs, kShotSettleMs, grab)) {
        ReportFail(session, "cannot capture the screen");
        return false;
    }
    bool written = WriteBmp(grab, path);
    int width = grab.width, height = grab.height;
    ReleaseGrab(grab);
    if (!written) {
        ReportFail(session, "cannot write %s, error %lu", path, GetLastError());
        return false;
    }
    char note[MAX_PATH + 64];
    snprintf(note, sizeof note, "%dx%d %s", width, height, path);
    ReportPass(session, note);
    return true;
}

bool StepNoBox(Session& session) {
    WindowFilter filter = FilterOf(session);
    if (!NeedProgram(session, filter)) return false;
    DWORD span = NumberValue(session, Key::Ms, 0);
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindCandidate(filter, session.retired, session.skipped);
        if (window != nullptr) {
            ReportFail(session, "a window appeared after %lu ms", static_cast<unsigned long>(GetTickCount() - start));
            DumpWindow(window);
            return false;
        }
        DWORD code = 0;
        if (ProgramGone(session, filter, code)) break;  // no process, no further box
        if (GetTickCount() - start >= span) break;
        Sleep(kPollMs);
    }
    ReportPass(session, nullptr);
    return true;
}
