#include "winmsg/WindowBase.h"

#include "util/ErrorReport.h"

namespace {
// A resource icon at the system's size for the metric; the system owns shared icons and keeps them.
HICON SharedIcon(HINSTANCE instance, WORD resource, int sizeMetric) noexcept {
    const int size = ::GetSystemMetrics(sizeMetric);
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_ICON, size, size, LR_SHARED));
}
} // namespace

WindowBase::~WindowBase() {
    if (hwnd_) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

void WindowBase::Destroy() noexcept {
    if (hwnd_) {
        ::DestroyWindow(hwnd_);
    }
}

bool WindowBase::CreateWindowFor(const ClassInfo& cls, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                                 int width, int height, HWND parent) noexcept {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof(existing)};
    if (!::GetClassInfoExW(instance, cls.name, &existing)) {
        WNDCLASSEXW wc{sizeof(wc)};
        wc.style = cls.style;
        wc.lpfnWndProc = &WindowBase::StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = cls.cursor ? cls.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
        if (cls.iconResource != 0) {
            wc.hIcon = SharedIcon(instance, cls.iconResource, SM_CXICON);
            wc.hIconSm = SharedIcon(instance, cls.iconResource, SM_CXSMICON);
        }
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        if (!::RegisterClassExW(&wc)) {
            return false;
        }
    }
    HWND hwnd =
        ::CreateWindowExW(exStyle, cls.name, title, style, x, y, width, height, parent, nullptr, instance, this);
    return hwnd != nullptr;
}

bool WindowBase::CreateCentredWindow(const ClassInfo& cls, DWORD style, const wchar_t* title, int clientWidth,
                                     int clientHeight) noexcept {
    const int dpi = static_cast<int>(::GetDpiForSystem());
    RECT frame{0, 0, ::MulDiv(clientWidth, dpi, 96), ::MulDiv(clientHeight, dpi, 96)};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (!CreateWindowFor(cls, 0, style, title, work.left + (work.right - work.left - width) / 2,
                         work.top + (work.bottom - work.top - height) / 2, width, height)) {
        return false;
    }
    // Made for the system's DPI; the monitor it landed on may have another.
    const int windowDpi = static_cast<int>(::GetDpiForWindow(hwnd_));
    if (windowDpi > 0 && windowDpi != dpi) {
        RECT atDpi{0, 0, ::MulDiv(clientWidth, windowDpi, 96), ::MulDiv(clientHeight, windowDpi, 96)};
        ::AdjustWindowRectExForDpi(&atDpi, style, FALSE, 0, static_cast<UINT>(windowDpi));
        ::SetWindowPos(hwnd_, nullptr, 0, 0, atDpi.right - atDpi.left, atDpi.bottom - atDpi.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

LRESULT WindowBase::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    return Default(msg, wParam, lParam);
}

LRESULT CALLBACK WindowBase::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<WindowBase*>(create->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Messages such as WM_GETMINMAXINFO can arrive before WM_NCCREATE: no object yet.
    auto* self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = self->HandleMessage(msg, wParam, lParam);
    } catch (const std::exception& error) {
        ReportCaughtError(error, "WindowBase.StaticWndProc");
        // An error raised by a drawing or registry helper ends that handler, never the program.
        result = ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

void PumpPendingMessages() noexcept {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
