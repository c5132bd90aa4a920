#include "inspect.h"

#include <algorithm>

void Retired::Add(HWND hwnd) {
    if (Contains(hwnd)) return;
    if (count == static_cast<int>(sizeof windows / sizeof windows[0])) {
        std::copy(windows + 1, windows + count, windows);
        --count;
    }
    windows[count++] = hwnd;
}

bool Retired::Contains(HWND hwnd) const { return std::find(windows, windows + count, hwnd) != windows + count; }

void Retired::Remove(HWND hwnd) {
    HWND* end = std::remove(windows, windows + count, hwnd);
    count = static_cast<int>(end - windows);
}

namespace {

bool Matches(HWND hwnd, const WindowFilter& filter) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (filter.anyProcess ? pid == GetCurrentProcessId() : pid != filter.pid) return false;
    char className[128];
    if (GetClassNameA(hwnd, className, sizeof className) == 0) return false;
    return lstrcmpiA(className, filter.className) == 0;
}

struct FindState {
    const WindowFilter* filter;
    Retired* retired;
    const Retired* skipped;
    HWND found;
};

BOOL CALLBACK FindEach(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<FindState*>(param);
    if (!Matches(hwnd, *state->filter) || state->skipped->Contains(hwnd)) return TRUE;
    bool enabled = IsWindowEnabled(hwnd) != FALSE;
    if (state->retired->Contains(hwnd)) {
        if (!enabled) state->retired->Remove(hwnd);
        return TRUE;
    }
    bool usable = !state->filter->visibleOnly || (enabled && IsWindowVisible(hwnd));
    if (state->found == nullptr && usable) state->found = hwnd;
    return TRUE;  // keep going: later retired windows may need releasing
}

struct ListState {
    const WindowFilter* filter;
    FILE* out;
    int count;
};

BOOL CALLBACK ListEach(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<ListState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (state->filter->anyProcess ? pid == GetCurrentProcessId() : pid != state->filter->pid) return TRUE;
    char className[128] = "";
    GetClassNameA(hwnd, className, sizeof className);
    ShortText caption;
    ReadCaption(hwnd, caption);
    fprintf(state->out, "    window %p pid %lu class \"%s\" caption \"%s\"%s%s\n", static_cast<void*>(hwnd),
            static_cast<unsigned long>(pid), className, caption.c_str(), IsWindowVisible(hwnd) ? "" : " hidden",
            IsWindowEnabled(hwnd) ? "" : " disabled");
    ++state->count;
    return TRUE;
}

struct ControlState {
    int id;
    HWND found;
};

BOOL CALLBACK ControlEach(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<ControlState*>(param);
    if (GetDlgCtrlID(hwnd) != state->id) return TRUE;
    state->found = hwnd;
    return FALSE;
}

struct ButtonState {
    int* ids;
    int max;
    int count;
};

BOOL CALLBACK ButtonEach(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<ButtonState*>(param);
    char className[32];
    if (GetClassNameA(hwnd, className, sizeof className) == 0 || lstrcmpiA(className, "Button") != 0) return TRUE;
    if (state->count < state->max) state->ids[state->count++] = GetDlgCtrlID(hwnd);
    return TRUE;
}

}  // namespace

HWND FindCandidate(const WindowFilter& filter, Retired& retired, const Retired& skipped) {
    FindState state{&filter, &retired, &skipped, nullptr};
    EnumWindows(FindEach, reinterpret_cast<LPARAM>(&state));
    // A retired window that no longer exists can never come back.
    for (int i = retired.count - 1; i >= 0; --i) {
        if (!IsWindow(retired.windows[i])) retired.Remove(retired.windows[i]);
    }
    return state.found;
}

void ListWindows(const WindowFilter& filter, FILE* out) {
    ListState state{&filter, out, 0};
    EnumWindows(ListEach, reinterpret_cast<LPARAM>(&state));
    if (state.count == 0) fprintf(out, "    (the process has no top-level windows)\n");
}

bool ReadControlText(HWND control, LongText& text) {
    text.Clear();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
        return false;
    }
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof text.data, reinterpret_cast<LPARAM>(text.data),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        text.data[0] = '\0';
        return false;
    }
    text.length = copied < sizeof text.data ? copied : sizeof text.data - 1;
    text.data[text.length] = '\0';
    text.overflow = length > text.Capacity();
    return true;
}

void ReadCaption(HWND hwnd, ShortText& text) {
    text.Clear();
    int n = GetWindowTextA(hwnd, text.data, sizeof text.data);
    text.length = n > 0 ? static_cast<size_t>(n) : 0;
    text.data[text.length] = '\0';
    text.overflow = GetWindowTextLengthA(hwnd) > static_cast<int>(text.Capacity());
}

HWND FindControl(HWND window, int id) {
    HWND direct = GetDlgItem(window, id);
    if (direct != nullptr) return direct;
    ControlState state{id, nullptr};
    EnumChildWindows(window, ControlEach, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

int CollectButtons(HWND window, int* ids, int max) {
    ButtonState state{ids, max, 0};
    EnumChildWindows(window, ButtonEach, reinterpret_cast<LPARAM>(&state));
    std::sort(ids, ids + state.count);
    return state.count;
}
