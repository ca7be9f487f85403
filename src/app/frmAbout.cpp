#include "app/frmAbout.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikAbout";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kClientWidth = 320; // at 96 dots per inch
constexpr int kClientHeight = 200;
} // namespace

frmAbout::~frmAbout() {
    Destroy();
}

void frmAbout::ShowAbout() {
    if (!IsCreated()) {
        ClassInfo cls{kClassName};
        cls.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        if (!CreateCentredWindow(cls, kStyle, L"About Trelvik", kClientWidth, kClientHeight)) {
            return;
        }
    }
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
}

void frmAbout::Hide() noexcept {
    if (IsCreated()) {
        ::ShowWindow(hwnd(), SW_HIDE);
    }
}

LRESULT frmAbout::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        // Closing only hides the box; it lives until the program ends.
        Hide();
        return 0;
    }
    return Default(msg, wParam, lParam);
}
