#pragma once
// Z-order shortcuts: each places the window without moving or sizing it.
#include <windows.h>

class cTopWindow {
public:
    static void SetTopMost(HWND lHwnd) noexcept { Place(lHwnd, HWND_TOPMOST); }
    static void SetNoTopMost(HWND lHwnd) noexcept { Place(lHwnd, HWND_NOTOPMOST); }
    static void SetTop(HWND lHwnd) noexcept { Place(lHwnd, HWND_TOPMOST); }
    static void SetBottom(HWND lHwnd) noexcept { Place(lHwnd, HWND_BOTTOM); }

private:
    static void Place(HWND hwnd, HWND insertAfter) noexcept {
        ::SetWindowPos(hwnd, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
};
