#pragma once

#include <stdio.h>
#include <windows.h>

#include "fixed_text.h"

constexpr DWORD kMessageTimeoutMs = 5000;
constexpr int kTextIdStatic = 0xFFFF;  // message box text
constexpr int kIconIdStatic = 0x440;   // message box icon
constexpr int kMaxButtons = 32;

using LongText = Text<8192>;
using ShortText = Text<512>;

// Windows the driver pressed a button in. They are skipped when looking for
// the next window until seen disabled (a nested modal box took over) or gone,
// since a box that is closing can still be visible for a while.
struct Retired {
    HWND windows[64] = {};
    int count = 0;
    void Add(HWND hwnd);
    bool Contains(HWND hwnd) const;
    void Remove(HWND hwnd);
};

struct WindowFilter {
    DWORD pid = 0;            // 0 with anyProcess: every process but the driver
    bool anyProcess = false;
    const char* className = "#32770";
    bool visibleOnly = true;  // false: hidden and disabled windows count too
};

// The first (topmost) visible, enabled, not retired top-level window of the filter.
// (Any state with visibleOnly false, for the hidden main windows of programs.)
// Windows in `skipped` are never candidates.
HWND FindCandidate(const WindowFilter& filter, Retired& retired, const Retired& skipped);

// Prints every top-level window of the filter's process(es), for timeouts.
void ListWindows(const WindowFilter& filter, FILE* out);

// WM_GETTEXT through SendMessageTimeout, so a hung target cannot block the
// driver; false when the control does not answer.
bool ReadControlText(HWND control, LongText& text);
void ReadCaption(HWND hwnd, ShortText& text);

// The control with this id among all descendants of `window`, or nullptr.
HWND FindControl(HWND window, int id);

// Ids of all descendant Button controls, sorted ascending.
int CollectButtons(HWND window, int* ids, int max);
