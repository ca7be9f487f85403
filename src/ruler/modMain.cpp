#include "ruler/modMain.h"

#include "sysinfo/WindowsVersion.h"
#include "sysinfo/clsScreens.h"

#include <algorithm>
#include <cmath>
#include <string>

void SetWindowAlpha(HWND hwnd, int percent) noexcept {
    if (WindowsVersion() < 8) {
        return;
    }
    // 255 / 100 * 90 is 229.49999... in double precision, so 90 percent gives 229.
    const auto alpha = static_cast<BYTE>(std::lrint(std::clamp(255.0 / 100.0 * percent, 0.0, 255.0)));
    const LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hwnd, 0, alpha, LWA_ALPHA);
}

namespace {
void ShowMessage(std::wstring_view text, UINT icon) noexcept {
    const std::wstring copy(text);
    ::MessageBoxW(nullptr, copy.c_str(), L"Attention", MB_OK | icon | MB_SETFOREGROUND);
}
} // namespace

void ShowErrorMessage(std::wstring_view text) noexcept {
    ShowMessage(text, MB_ICONERROR);
}
void ShowInfoMessage(std::wstring_view text) noexcept {
    ShowMessage(text, MB_ICONINFORMATION);
}

int VirtualScreenWidth() noexcept {
    return clsScreens().VirtualWidth();
}
int VirtualScreenHeight() noexcept {
    return clsScreens().VirtualHeight();
}
