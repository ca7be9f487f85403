#pragma once
// The rectangle of a window as the user sees it. On Windows 10 and 11 the rectangle of a top-level
// window includes its invisible resize borders (about 7 pixels left, right and bottom); the desktop
// window manager knows the visible frame. Child windows have no such borders.
#include <windows.h>

#include <functional>
#include <optional>

// The visible frame of a top-level window in screen pixels, or nothing when it cannot be told.
using FrameBoundsProvider = std::function<std::optional<RECT>(HWND)>;

// The desktop window manager's extended frame bounds, asked through dwmapi.dll loaded at run time (the
// program starts where the library is missing); nothing when the library, the call or the answer fails.
[[nodiscard]] std::optional<RECT> DwmFrameBounds(HWND window) noexcept;

// A top-level window: the provider's rectangle when it gives one, else the window rectangle. A child
// window: its window rectangle. An empty rectangle when the window is gone.
[[nodiscard]] RECT VisibleFrame(HWND window, const FrameBoundsProvider& provider = &DwmFrameBounds);
