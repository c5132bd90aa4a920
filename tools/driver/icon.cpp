#include "icon.h"

#include <stdint.h>

#include "capture.h"
#include "inspect.h"

namespace {

constexpr int kChannelTolerance = 16;
constexpr int kMatchPermille = 950;     // a match covers 95 % of the icon's pixels
constexpr int kMarginPermille = 50;     // and beats the runner-up clearly
constexpr DWORD kPaintWaitMs = 10000;   // a fresh box may not be painted yet

struct Candidate {
    IconKind kind;
    WORD resource;  // IDI_* as a number
};

constexpr Candidate kCandidates[] = {
    {IconKind::Error, 32513},     // IDI_HAND
    {IconKind::Question, 32514},  // IDI_QUESTION
    {IconKind::Warning, 32515},   // IDI_EXCLAMATION
    {IconKind::Info, 32516},      // IDI_ASTERISK
};

bool Close(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (d > kChannelTolerance || d < -kChannelTolerance) return false;
    }
    return true;
}

// The most frequent colour on the edge of the grab: the standard icons leave
// their corners transparent, so this is the box's background.
uint32_t EdgeColour(const Grab& grab) {
    uint32_t best = grab.pixels[0];
    int bestCount = 0;
    auto edge = [&](int i, int& x, int& y) {
        int w = grab.width, h = grab.height;
        if (i < w) { x = i; y = 0; return; }
        i -= w;
        if (i < w) { x = i; y = h - 1; return; }
        i -= w;
        if (i < h) { x = 0; y = i; return; }
        i -= h;
        x = w - 1;
        y = i;
    };
    const int n = 2 * grab.width + 2 * grab.height;
    for (int i = 0; i < n; i += 2) {
        int x, y;
        edge(i, x, y);
        uint32_t colour = grab.pixels[y * grab.width + x] & 0xFFFFFF;
        int count = 0;
        for (int j = 0; j < n; ++j) {
            int x2, y2;
            edge(j, x2, y2);
            if ((grab.pixels[y2 * grab.width + x2] & 0xFFFFFF) == colour) ++count;
        }
        if (count > bestCount) {
            bestCount = count;
            best = colour;
        }
    }
    return best;
}

// Share of matching pixels among those where either image shows something
// other than the background: the standard icons differ mostly in a small
// glyph on a similar disc, and the plain background would hide that.
int MatchPermille(const Grab& shown, const Grab& reference, uint32_t background) {
    int total = shown.width * shown.height;
    int drawn = 0, same = 0;
    for (int i = 0; i < total; ++i) {
        bool shownBlank = Close(shown.pixels[i], background);
        bool referenceBlank = Close(reference.pixels[i], background);
        if (shownBlank && referenceBlank) continue;
        ++drawn;
        if (Close(shown.pixels[i], reference.pixels[i])) ++same;
    }
    return drawn == 0 ? 1000 : same * 1000 / drawn;
}

// Draws `icon` as the static control does: stretched to the control, over
// the background colour. No icon: the background alone.
bool Reference(HICON icon, int width, int height, uint32_t background, Grab& out) {
    if (!MakeGrab(width, height, out)) return false;
    for (int i = 0; i < width * height; ++i) out.pixels[i] = background;
    BOOL drawn = icon == nullptr || DrawIconEx(out.dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return drawn != FALSE;
}

enum class Verdict { Blank, Known, Unknown, Failed };

Verdict Compare(HWND control, IconKind& kind) {
    RECT rect;
    if (!GetWindowRect(control, &rect)) return Verdict::Failed;
    Grab shown;
    if (!GrabScreen(rect, shown)) return Verdict::Failed;
    if (shown.width != rect.right - rect.left || shown.height != rect.bottom - rect.top) {
        ReleaseGrab(shown);
        return Verdict::Failed;  // partly off screen
    }
    uint32_t background = EdgeColour(shown);
    Grab blank;
    Verdict verdict = Verdict::Failed;
    if (Reference(nullptr, shown.width, shown.height, background, blank)) {
        int blankScore = MatchPermille(shown, blank, background);
        ReleaseGrab(blank);
        int best = -1, second = -1;
        IconKind bestKind = IconKind::Other;
        for (const Candidate& candidate : kCandidates) {
            Grab reference;
            HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(candidate.resource));
            if (icon == nullptr || !Reference(icon, shown.width, shown.height, background, reference)) {
                ReleaseGrab(reference);
                continue;
            }
            int score = MatchPermille(shown, reference, background);
            ReleaseGrab(reference);
            if (score > best) {
                second = best;
                best = score;
                bestKind = candidate.kind;
            } else if (score > second) {
                second = score;
            }
        }
        if (blankScore >= 990) {  // nothing drawn (yet)
            verdict = Verdict::Blank;
        } else if (best >= kMatchPermille && best - second >= kMarginPermille) {
            kind = bestKind;
            verdict = Verdict::Known;
        } else {
            verdict = Verdict::Unknown;
        }
    }
    ReleaseGrab(shown);
    return verdict;
}

}  // namespace

IconKind IdentifyIcon(HWND box) {
    HWND control = GetDlgItem(box, kIconIdStatic);
    if (control == nullptr || !IsWindowVisible(control)) return IconKind::None;
    DWORD_PTR handle = 0;
    if (!SendMessageTimeoutA(control, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &handle)) {
        return IconKind::Unreadable;
    }
    if (handle == 0) return IconKind::None;
    DWORD start = GetTickCount();
    Verdict verdict = Verdict::Failed;
    IconKind kind = IconKind::Other;
    do {
        verdict = Compare(control, kind);
        if (verdict == Verdict::Known) return kind;
        Sleep(100);
    } while (GetTickCount() - start < kPaintWaitMs);
    return verdict == Verdict::Failed ? IconKind::Unreadable : IconKind::Other;
}

const char* IconName(IconKind kind) {
    switch (kind) {
        case IconKind::None: return "none";
        case IconKind::Error: return "error";
        case IconKind::Question: return "question";
        case IconKind::Warning: return "warning";
        case IconKind::Info: return "info";
        case IconKind::Other: return "other";
        case IconKind::Unreadable: return "unreadable";
    }
    return "?";
}

IconKind IconFromName(const char* name) {
    struct Alias {
        const char* name;
        IconKind kind;
    };
    static constexpr Alias kAliases[] = {
        {"none", IconKind::None},         {"error", IconKind::Error},       {"hand", IconKind::Error},
        {"stop", IconKind::Error},        {"question", IconKind::Question}, {"warning", IconKind::Warning},
        {"exclamation", IconKind::Warning}, {"info", IconKind::Info},       {"information", IconKind::Info},
        {"asterisk", IconKind::Info},     {"other", IconKind::Other},
    };
    for (const Alias& alias : kAliases) {
        if (lstrcmpA(alias.name, name) == 0) return alias.kind;
    }
    return IconKind::Unreadable;
}
