#include "app/frmAbout.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikAbout";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr int kClientWidth = 320; // at 96 dots per inch
constexpr int kClientHeight = 200;
} // namespace

frmAbout::~frmAbout() = default;

void frmAbout::ShowAbout() {
    if (!IsCreated()) {
        ClassInfo cls{kClassName};
        cls.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        const UINT dpi = ::GetDpiForSystem();
        RECT frame{0, 0, ::MulDiv(kClientWidth, static_cast<int>(dpi), 96),
                   ::MulDiv(kClientHeight, static_cast<int>(dpi), 96)};
        ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, 0, dpi);
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        if (!CreateWindowFor(cls, 0, kStyle, L"About Trelvik", work.left + (work.right - work.left - width) / 2,
                             work.top + (work.bottom - work.top - height) / 2, width, height)) {
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
