#pragma once
// Named front for GetSystemMetrics and the work area of the primary monitor (SPI_GETWORKAREA).
// Stateless: every member asks the system at the moment it is called. Values are pixels.
#include <windows.h>

#include <cstdint>

class clsSystemMetrics {
public:
    [[nodiscard]] int32_t GetMetric(int index) const noexcept;

    [[nodiscard]] int32_t WindowBorderWidth() const noexcept { return GetMetric(SM_CXBORDER); }
    [[nodiscard]] int32_t WindowBorderHeight() const noexcept { return GetMetric(SM_CYBORDER); }
    [[nodiscard]] int32_t MouseButtons() const noexcept { return GetMetric(SM_CMOUSEBUTTONS); }
    [[nodiscard]] int32_t CursorWidth() const noexcept { return GetMetric(SM_CXCURSOR); }
    [[nodiscard]] int32_t CursorHeight() const noexcept { return GetMetric(SM_CYCURSOR); }
    [[nodiscard]] int32_t FrameWidth() const noexcept { return GetMetric(SM_CXFRAME); }
    [[nodiscard]] int32_t FrameHeight() const noexcept { return GetMetric(SM_CYFRAME); }
    [[nodiscard]] int32_t FullScreenWidth() const noexcept { return GetMetric(SM_CXFULLSCREEN); }
    [[nodiscard]] int32_t FullScreenHeight() const noexcept { return GetMetric(SM_CYFULLSCREEN); }
    [[nodiscard]] int32_t ScreenWidth() const noexcept { return GetMetric(SM_CXSCREEN); }
    [[nodiscard]] int32_t ScreenHeight() const noexcept { return GetMetric(SM_CYSCREEN); }

    // The work area of the primary monitor (the screen without the taskbar). All zero if the
    // system does not answer.
    [[nodiscard]] int32_t WorkScreenWidth() const noexcept;
    [[nodiscard]] int32_t WorkScreenHeight() const noexcept;
    [[nodiscard]] int32_t WorkScreenLeft() const noexcept;
    [[nodiscard]] int32_t WorkScreenTop() const noexcept;
    [[nodiscard]] int32_t WorkScreenRight() const noexcept;
    [[nodiscard]] int32_t WorkScreenBottom() const noexcept;

    [[nodiscard]] int32_t HScrollBmpWidth() const noexcept { return GetMetric(SM_CXHSCROLL); }
    [[nodiscard]] int32_t HScrollHeight() const noexcept { return GetMetric(SM_CYHSCROLL); }
    [[nodiscard]] int32_t VScrollBmpWidth() const noexcept { return GetMetric(SM_CXVSCROLL); }
    [[nodiscard]] int32_t VScrollHeight() const noexcept { return GetMetric(SM_CYVSCROLL); }
    [[nodiscard]] int32_t IconWidth() const noexcept { return GetMetric(SM_CXICON); }
    [[nodiscard]] int32_t IconHeight() const noexcept { return GetMetric(SM_CYICON); }
    [[nodiscard]] int32_t WindowMinWidth() const noexcept { return GetMetric(SM_CXMIN); }
    [[nodiscard]] int32_t WindowMinHeight() const noexcept { return GetMetric(SM_CYMIN); }
    [[nodiscard]] int32_t TitleBarButtonWidth() const noexcept { return GetMetric(SM_CXSIZE); }
    [[nodiscard]] int32_t TitleBarButtonHeight() const noexcept { return GetMetric(SM_CYSIZE); }
    [[nodiscard]] int32_t SmallIconWidth() const noexcept { return GetMetric(SM_CXSMICON); }
    [[nodiscard]] int32_t SmallIconHeight() const noexcept { return GetMetric(SM_CYSMICON); }
    [[nodiscard]] int32_t TitleBarSmallButtonWidth() const noexcept { return GetMetric(SM_CXSMSIZE); }
    [[nodiscard]] int32_t TitleBarSmallButtonHeight() const noexcept { return GetMetric(SM_CYSMSIZE); }
    [[nodiscard]] int32_t TitleBarHeight() const noexcept { return GetMetric(SM_CYCAPTION); }
    [[nodiscard]] int32_t MenuBarHeight() const noexcept { return GetMetric(SM_CYMENU); }
    [[nodiscard]] int32_t SmallTitleBarHeight() const noexcept { return GetMetric(SM_CYSMCAPTION); }

    [[nodiscard]] bool MousePresent() const noexcept { return GetMetric(SM_MOUSEPRESENT) != 0; }
    [[nodiscard]] bool MouseWheelPresent() const noexcept { return GetMetric(SM_MOUSEWHEELPRESENT) != 0; }
    // SM_NETWORK is a bit field; bit 0 says a network is present, the other bits are reserved.
    [[nodiscard]] bool NetworkPresent() const noexcept { return (GetMetric(SM_NETWORK) & 1) != 0; }
    [[nodiscard]] bool MouseSwapButtons() const noexcept { return GetMetric(SM_SWAPBUTTON) != 0; }

    // The rectangle that holds every monitor; its left and top are negative when a monitor sits left
    // of or above the primary one.
    [[nodiscard]] int32_t VirtualScreensLeft() const noexcept { return GetMetric(SM_XVIRTUALSCREEN); }
    [[nodiscard]] int32_t VirtualScreensTop() const noexcept { return GetMetric(SM_YVIRTUALSCREEN); }
    [[nodiscard]] int32_t VirtualScreensWidth() const noexcept { return GetMetric(SM_CXVIRTUALSCREEN); }
    [[nodiscard]] int32_t VirtualScreensHeight() const noexcept { return GetMetric(SM_CYVIRTUALSCREEN); }
    [[nodiscard]] int32_t MonitorsCount() const noexcept { return GetMetric(SM_CMONITORS); }
};
