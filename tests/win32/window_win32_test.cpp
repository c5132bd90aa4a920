// Window placement on the real window manager.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/window.h"

namespace {

TEST(Win32Window, CenterWindowPutsItInTheMiddleAndKeepsItsSize) {
    HWND window = CreateWindowExA(0, "STATIC", "centre me", WS_POPUP, 3, 5, 201, 99, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    CenterWindow(window);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 201);
    EXPECT_EQ(rect.bottom - rect.top, 99);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 201) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 99) / 2);
    DestroyWindow(window);
}

}  // namespace
