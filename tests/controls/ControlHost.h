#pragma once
// What the control tests share: a plain visible form to host the controls, reading a control's
// pixels back, and counting pixels of one colour.
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "controls/UniControl.h"
#include "support/DibCanvas.h"
#include "support/Desktop.h"
#include "util/Handles.h"

// A top-level window with a white client area, standing in for a form.
class ControlHost {
public:
    explicit ControlHost(int x = 40, int y = 40, int width = 400, int height = 300) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"TrelvikControlTestHost";
        ::RegisterClassExW(&wc);
        window_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE,
                                        x, y, width, height, nullptr, nullptr, wc.hInstance, nullptr));
        PumpPendingMessages();
    }
    [[nodiscard]] HWND hwnd() const noexcept { return window_.get(); }

private:
    UniqueWindow window_;
};

// A test control's property set with the font, face and text colour filled in where the set names none.
inline PropertyBag WithLook(PropertyBag props, const StdFont& font, COLORREF back, COLORREF fore) {
    if (!props.Contains("Font")) {
        props.WriteFont("Font", font);
    }
    if (!props.Contains("BackColor")) {
        props.WriteLong("BackColor", static_cast<int32_t>(back));
    }
    if (!props.Contains("ForeColor")) {
        props.WriteLong("ForeColor", static_cast<int32_t>(fore));
    }
    return props;
}

// The surface's client area as the window paints it (WM_PRINTCLIENT), pixel by pixel.
inline std::vector<COLORREF> PrintedPixels(HWND control, int* width = nullptr, int* height = nullptr) {
    RECT client{};
    ::GetClientRect(control, &client);
    DibCanvas canvas(client.right, client.bottom, RGB(1, 2, 3));
    ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; ++y) {
        for (int x = 0; x < client.right; ++x) {
            pixels.push_back(canvas.pixel(x, y));
        }
    }
    if (width) {
        *width = client.right;
    }
    if (height) {
        *height = client.bottom;
    }
    return pixels;
}

inline int CountColour(const std::vector<COLORREF>& pixels, COLORREF colour) {
    int n = 0;
    for (const COLORREF p : pixels) {
        n += p == colour ? 1 : 0;
    }
    return n;
}
