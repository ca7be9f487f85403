#include "commands/CaptureScreen.h"

#include "draw/clsMEMDC.h"
#include "ruler/frmRulers.h"
#include "ruler/modMain.h"

RECT CaptureRect(const RECT& window, int bar) noexcept {
    return RECT{window.left + bar, window.top + bar, window.right, window.bottom};
}

RECT OnScreenPart(const RECT& area) noexcept {
    // The smallest rectangle around the parts of the area on each monitor: a screen area is never
    // padded with what lies off every screen, and never larger than the screens.
    RECT onScreen{};
    ::EnumDisplayMonitors(
        nullptr, &area,
        [](HMONITOR, HDC, LPRECT part, LPARAM data) -> BOOL {
            auto* bounds = reinterpret_cast<RECT*>(data);
            ::UnionRect(bounds, bounds, part);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&onScreen));
    RECT clipped{};
    ::IntersectRect(&clipped, &onScreen, &area);
    return clipped;
}

bool CaptureScreen(frmRulers& ruler, HWND clipboardOwner, const CaptureMessages& messages) {
    if (!ruler.IsVisible()) {
        messages.error(L"Please show the ruler first!");
        return false;
    }
    // Let the closed menu and whatever it covered repaint before the screen is read.
    PumpPendingMessages();

    // Another program may hold the clipboard open; then nothing of ours can be placed, and a bitmap
    // it offers must not read as our copy.
    const bool opened = ::OpenClipboard(clipboardOwner) != FALSE;
    bool placed = false;
    if (opened) {
        ::EmptyClipboard();
        clsMEMDC canvas;
        try {
            const RECT area = OnScreenPart(CaptureRect(ruler.Bounds(), ruler.BarSize()));
            if (!::IsRectEmpty(&area)) {
                WindowDC screen(nullptr);
                canvas.CloneFromHdc(screen.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                                    SRCCOPY);
            }
        } catch (const std::exception&) {
            // Nothing copied: the check below reports it.
        }
        if (canvas.hBmp()) {
            // The clipboard owns the copy once it accepts it; only a refused copy is ours to delete.
            HANDLE copy = ::CopyImage(canvas.hBmp(), IMAGE_BITMAP, 0, 0, 0);
            placed = copy && ::SetClipboardData(CF_BITMAP, copy);
            if (copy && !placed) {
                ::DeleteObject(copy);
            }
        }
    }
    const bool offered = placed && ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
    if (!offered) {
        messages.error(L"Error while pasting the bitmap to the clipboard!");
    }
    if (opened) {
        ::CloseClipboard();
    }
    if (offered) {
        messages.info(L"The bitmap has been copied to the clipboard!");
    }
    return offered;
}

bool CaptureScreen(frmRulers& ruler, HWND clipboardOwner) {
    return CaptureScreen(ruler, clipboardOwner, CaptureMessages{&ShowErrorMessage, &ShowInfoMessage});
}
