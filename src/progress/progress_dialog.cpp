#include "progress/progress_dialog.h"

#include "common/catalogue.h"
#include "common/window.h"
#include "resources/dialog.h"
#include "setup/install_state.h"

namespace {

constexpr int kRangeSlot = 0;
constexpr int kPositionSlot = 4;

void SetSlot(HWND meter, int slot, WPARAM value) {
    SetWindowLongA(meter, slot, static_cast<LONG>(value));
    InvalidateRect(meter, nullptr, FALSE);
    UpdateWindow(meter);
}

// The percentage stands centred over the whole bar, in inverse colours on
// either side of the filled part's edge.
void PaintMeter(HWND meter) {
    unsigned range = static_cast<unsigned>(SendMessageA(meter, METER_GET_RANGE, 0, 0));
    unsigned position = static_cast<unsigned>(SendMessageA(meter, METER_GET_POS, 0, 0));
    if (range == 0) {
        range = 1;
        position = 0;
    }
    char text[16];
    int length = wsprintfA(text, "%d%%", static_cast<int>(position * 100 / range));

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(meter, &paint);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    RECT client;
    GetClientRect(meter, &client);
    RECT filled = {0, 0, static_cast<LONG>(position * static_cast<unsigned>(client.right) / range), client.bottom};
    SIZE extent;
    GetTextExtentPointA(dc, "X", 1, &extent);
    int x = client.right / 2;
    int y = (client.bottom - extent.cy) / 2;
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &filled, text, static_cast<UINT>(length), nullptr);
    RECT rest = {filled.right, 0, client.right, client.bottom};
    COLORREF textColour = SetTextColor(dc, GetBkColor(dc));
    SetBkColor(dc, textColour);
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &rest, text, static_cast<UINT>(length), nullptr);
    EndPaint(meter, &paint);
}

void AskToCancel(HWND dialog) {
    if (ShowMessage(dialog, 1005, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    gState.cancelRequested = 1;
}

}  // namespace

ATOM RegisterMeterClass(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MeterWndProc;
    wc.cbWndExtra = 8;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "Meter";
    return RegisterClassA(&wc);
}

LRESULT CALLBACK MeterWndProc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            SendMessageA(meter, METER_SET_RANGE, 100, 0);
            SendMessageA(meter, METER_SET_POS, 50, 0);
            return 0;
        case METER_SET_RANGE: SetSlot(meter, kRangeSlot, wParam); return 0;
        case METER_SET_POS: SetSlot(meter, kPositionSlot, wParam); return 0;
        case METER_GET_RANGE: return LOWORD(GetWindowLongA(meter, kRangeSlot));
        case METER_GET_POS: return LOWORD(GetWindowLongA(meter, kPositionSlot));
        case WM_PAINT: PaintMeter(meter); return 0;
        case WM_GETDLGCODE: return DLGC_STATIC;
        default: return DefWindowProcA(meter, message, wParam, lParam);
    }
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextA(dialog, gState.setupTitle);
            CenterWindow(dialog);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam) {
                EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
                SetDlgItemTextA(dialog, ID_FILENAME, "");
            }
            return FALSE;
        case WM_COMMAND:
            if (wParam == IDOK || wParam == IDCANCEL) AskToCancel(dialog);
            return TRUE;
        case SETUP_MSG_SHOW_NAME:
            SetDlgItemTextA(gState.progressDialog, ID_FILENAME, reinterpret_cast<const char*>(lParam));
            return TRUE;
        case SETUP_MSG_PROGRESS:
            SendDlgItemMessageA(gState.progressDialog, ID_METER, METER_SET_POS, wParam + gState.copiedBytes / 10240, 0);
            return gState.cancelRequested;
        default: return FALSE;
    }
}
