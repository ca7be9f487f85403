#include "ruler/frmWinSelector.h"

#include "core/OutlineRing.h"
#include "draw/DrawHelpers.h"
#include "draw/clsRegions.h"

namespace {
constexpr wchar_t kClassName[] = L"TrelvikOutline";
} // namespace

frmWinSelector::~frmWinSelector() {
    Destroy();
}

bool frmWinSelector::OutlineRect(const RECT& rect) {
    if (!IsCreated()) {
        if (!CreateWindowFor(ClassInfo{kClassName}, WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, WS_POPUP,
                             L"Trelvik outline", 0, 0, 0, 0)) {
            return false;
        }
    }
    // Hidden while it moves, so no half-placed ring flashes. The size change shapes the ring (WM_SIZE).
    // Never activated: the ball keeps the mouse and the user's window keeps the keyboard.
    ::ShowWindow(hwnd(), SW_HIDE);
    ::SetWindowPos(hwnd(), HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOACTIVATE);
    ::ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    return true;
}

LRESULT frmWinSelector::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the ring is painted whole on every WM_PAINT
    case WM_PAINT: {
        PaintDC paint(hwnd());
        Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmWinSelector::OnSize(UINT state) {
    if (state == SIZE_MINIMIZED || state == SIZE_MAXIMIZED) {
        ::ShowWindow(hwnd(), SW_RESTORE); // its own WM_SIZE shapes the ring
        return;
    }
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    (void)clsRegions().RegionFromRuns(OutlineRingRuns(client.right, client.bottom), client.right, hwnd());
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void frmWinSelector::Paint(HDC dc) {
    RECT r{};
    ::GetClientRect(hwnd(), &r);
    FillOrFrameRect(dc, r, OuterColor, false);
    ::InflateRect(&r, -1, -1);
    FillOrFrameRect(dc, r, InnerColor, false);
}
