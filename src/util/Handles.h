#pragma once
// Ownership of Win32 handles. Every handle the program creates has exactly one owner: a move-only
// Unique<> that closes it with the matching function. No implicit conversion to the raw handle;
// get() lends it, release() gives ownership away (for example to a window after SetWindowRgn), and
// put() takes a handle that a call hands out through an out-parameter:
//     UniqueKey key;
//     ::RegOpenKeyExW(root, path, 0, access, key.put());
#include <windows.h>

#include <utility>

template <typename Handle, auto Close, Handle Invalid = Handle{}> class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(Handle h) noexcept : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : h_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~Unique() { reset(); }

    [[nodiscard]] Handle get() const noexcept { return h_; }
    [[nodiscard]] explicit operator bool() const noexcept { return h_ != Invalid; }
    [[nodiscard]] Handle release() noexcept { return std::exchange(h_, Invalid); }
    // Closes what is held and lends the empty slot to a call that writes a new handle into it.
    [[nodiscard]] Handle* put() noexcept {
        reset();
        return &h_;
    }
    void reset(Handle h = Invalid) noexcept {
        if (h_ != Invalid && h_ != h) {
            Close(h_);
        }
        h_ = h;
    }

private:
    Handle h_ = Invalid;
};

namespace handles_detail {
template <typename T> void DeleteGdiObject(T h) noexcept {
    ::DeleteObject(h);
}
inline void CloseKey(HKEY h) noexcept {
    ::RegCloseKey(h);
}
inline void DestroyMenuHandle(HMENU h) noexcept {
    ::DestroyMenu(h);
}
inline void DestroyIconHandle(HICON h) noexcept {
    ::DestroyIcon(h);
}
inline void DeleteMemoryDC(HDC h) noexcept {
    ::DeleteDC(h);
}
inline void CloseKernelHandle(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline void DestroyWindowHandle(HWND h) noexcept {
    ::DestroyWindow(h);
}
} // namespace handles_detail

template <typename T> using UniqueGdi = Unique<T, &handles_detail::DeleteGdiObject<T>>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueKey = Unique<HKEY, handles_detail::CloseKey>;
using UniqueMenu = Unique<HMENU, handles_detail::DestroyMenuHandle>;
using UniqueIcon = Unique<HICON, handles_detail::DestroyIconHandle>;
using UniqueMemoryDC = Unique<HDC, handles_detail::DeleteMemoryDC>;
using UniqueHandle = Unique<HANDLE, handles_detail::CloseKernelHandle>;
using UniqueWindow = Unique<HWND, handles_detail::DestroyWindowHandle>;

// A DC obtained with GetDC, released to the window it came from.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) noexcept : hwnd_(hwnd) { ::BeginPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { ::EndPaint(hwnd_, &ps_); }
    [[nodiscard]] HDC get() const noexcept { return ps_.hdc; }
    [[nodiscard]] const RECT& area() const noexcept { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and puts the previous one back when it goes out of scope.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (old_ && old_ != HGDI_ERROR) {
            ::SelectObject(dc_, old_);
        }
    }
    // True when the selection took place.
    [[nodiscard]] bool selected() const noexcept { return old_ && old_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ old_;
};
