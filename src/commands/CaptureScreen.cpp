#include "commands/CaptureScreen.h"

#include "core/Units.h"
#include "draw/clsMEMDC.h"
#include "ruler/frmRulers.h"
#include "ruler/modMain.h"

RECT CaptureRect(const RECT& window) noexcept {
    return RECT{window.left + RulerBarSize, window.top + RulerBarSize, window.right, window.bottom};
}

bool CaptureScreen(frmRulers& ruler, HWND clipboardOwner, const CaptureMessages& messages) {
    if (!ruler.IsVisible()) {
        messages.error(L"Please show the ruler first!");
        return false;
    }
    // Let the closed menu and whatever it covered repaint before the screen is read.
    PumpPendingMessages();

    ::OpenClipboard(clipboardOwner);
    ::EmptyClipboard();
    bool offered = false;
    {
        clsMEMDC canvas;
        try {
            const RECT area = CaptureRect(ruler.Bounds());
            WindowDC screen(nullptr);
            canvas.CloneFromHdc(screen.get(), area.left, area.top, area.right - area.left, area.bottom - area.top,
                                SRCCOPY);
        } catch (const std::exception&) {
            // Nothing copied: the check below reports it.
        }
        if (canvas.hBmp()) {
            // The clipboard owns the copy once it accepts it; only a refused copy is ours to delete.
            HANDLE copy = ::CopyImage(canvas.hBmp(), IMAGE_BITMAP, 0, 0, 0);
            if (copy && !::SetClipboardData(CF_BITMAP, copy)) {
                ::DeleteObject(copy);
            }
        }
        offered = ::IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
        if (!offered) {
            messages.error(L"Error while pasting the bitmap to the clipboard!");
        }
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
