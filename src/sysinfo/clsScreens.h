#pragma once
// Questions about the monitors: how many, their sizes and work areas, the virtual screen that holds
// them all, and which monitor is nearest a point, window or rectangle. A monitor is named by its
// HMONITOR. Without multi-monitor support every answer falls back to the primary screen, and the
// monitor lookups answer a null handle.
#include <windows.h>

#include <cstdint>

#include "sysinfo/clsSystemMetrics.h"

class clsScreens {
public:
    // Multi-monitor support as the running Windows version has it (see MultiMonitorSupported).
    clsScreens() noexcept;
    // Multi-monitor support fixed by the caller, e.g. to exercise the single-screen fallbacks.
    explicit clsScreens(bool multiMonitor) noexcept;

    // False for the versions without the monitor API: Win32s (1), CE (2), 95 (3), NT 3.x (6) and
    // NT 4 (7). An unknown version (0) is assumed to have it.
    [[nodiscard]] static constexpr bool MultiMonitorSupported(int versionCode) noexcept {
        return versionCode != 1 && versionCode != 2 && versionCode != 3 && versionCode != 6 && versionCode != 7;
    }

    [[nodiscard]] bool MultiMonitor() const noexcept { return multiMonitor_; }

    [[nodiscard]] int32_t Count() const noexcept;
    [[nodiscard]] bool AllSameColourDepth() const noexcept;

    // Per monitor. A handle the system does not know reads as a 0 x 0 monitor at 0, 0 that is
    // neither enabled nor primary.
    [[nodiscard]] bool Enabled(HMONITOR monitor) const noexcept;
    [[nodiscard]] bool IsPrimaryMon(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t Height(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t Width(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t WidthPriMon() const noexcept;
    [[nodiscard]] int32_t HeightPriMon() const noexcept;
    [[nodiscard]] int32_t top(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t left(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t WorkHeight(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t WorkWidth(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t WorkTop(HMONITOR monitor) const noexcept;
    [[nodiscard]] int32_t WorkLeft(HMONITOR monitor) const noexcept;

    // The rectangle that holds every monitor.
    [[nodiscard]] int32_t VirtualLeft() const noexcept;
    [[nodiscard]] int32_t VirtualTop() const noexcept;
    [[nodiscard]] int32_t VirtualWidth() const noexcept;
    [[nodiscard]] int32_t VirtualHeight() const noexcept;

    // The monitor nearest the point, window or rectangle.
    [[nodiscard]] HMONITOR GetMonitorHandleFromPoint(int x, int y) const noexcept;
    [[nodiscard]] HMONITOR GetMonitorHandleFromWindow(HWND window) const noexcept;
    [[nodiscard]] HMONITOR GetMonitorHandleFromRect(int left, int top, int right, int bottom) const noexcept;

private:
    clsSystemMetrics metrics_;
    bool multiMonitor_;
};
