#include "ruler/VisibleFrame.h"

#include <dwmapi.h>

namespace {
using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// Loaded once and kept: a system library that stays for the life of the process.
DwmGetWindowAttributeFn DwmAttributeCall() noexcept {
    static const DwmGetWindowAttributeFn call = []() noexcept -> DwmGetWindowAttributeFn {
        const HMODULE dwm = ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!dwm) {
            return nullptr;
        }
        return reinterpret_cast<DwmGetWindowAttributeFn>(
            reinterpret_cast<void*>(::GetProcAddress(dwm, "DwmGetWindowAttribute")));
    }();
    return call;
}
} // namespace

std::optional<RECT> DwmFrameBounds(HWND window) noexcept {
    const DwmGetWindowAttributeFn call = DwmAttributeCall();
    if (!call) {
        return std::nullopt;
    }
    RECT bounds{};
    if (FAILED(call(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof(bounds)))) {
        return std::nullopt;
    }
    // Some systems answer with success and nothing in it.
    if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) {
        return std::nullopt;
    }
    return bounds;
}

RECT VisibleFrame(HWND window, const FrameBoundsProvider& provider) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) {
        return RECT{};
    }
    const bool child = (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0;
    if (!child && provider) {
        if (const std::optional<RECT> frame = provider(window)) {
            return *frame;
        }
    }
    return rect;
}
