// The modeless progress dialog (template 300) and its percentage bar.
#pragma once

#include <windows.h>

// To the progress dialog.
constexpr UINT SETUP_MSG_SHOW_NAME = 1302;  // lParam: the member's name
constexpr UINT SETUP_MSG_PROGRESS = 1304;   // wParam: 10240-byte units read
// To the Meter control.
constexpr UINT METER_SET_RANGE = 1024;
constexpr UINT METER_GET_RANGE = 1025;
constexpr UINT METER_SET_POS = 1026;
constexpr UINT METER_GET_POS = 1027;

ATOM RegisterMeterClass(HINSTANCE instance);
LRESULT CALLBACK MeterWndProc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
