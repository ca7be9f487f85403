#include "sysinfo/clsScreens.h"

#include "sysinfo/WindowsVersion.h"

namespace {

// The monitor's record; all zero (no primary flag) when the handle is not a live monitor.
MONITORINFO MonitorInfo(HMONITOR monitor) noexcept {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetMonitorInfoW(monitor, &info)) {
        info = MONITORINFO{};
    }
    return info;
}

} // namespace

clsScreens::clsScreens() noexcept : clsScreens(MultiMonitorSupported(WindowsVersion())) {}

clsScreens::clsScreens(bool multiMonitor) noexcept : multiMonitor_(multiMonitor) {}

int32_t clsScreens::Count() const noexcept {
    return multiMonitor_ ? metrics_.MonitorsCount() : 1;
}

bool clsScreens::AllSameColourDepth() const noexcept {
    return multiMonitor_ ? metrics_.GetMetric(SM_SAMEDISPLAYFORMAT) != 0 : true;
}

bool clsScreens::Enabled(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? (Width(monitor) != 0 || Height(monitor) != 0) : true;
}

bool clsScreens::IsPrimaryMon(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? (MonitorInfo(monitor).dwFlags & MONITORINFOF_PRIMARY) != 0 : true;
}

int32_t clsScreens::Height(HMONITOR monitor) const noexcept {
    if (!multiMonitor_) {
        return metrics_.ScreenHeight();
    }
    const RECT r = MonitorInfo(monitor).rcMonitor;
    return r.bottom - r.top;
}

int32_t clsScreens::Width(HMONITOR monitor) const noexcept {
    if (!multiMonitor_) {
        return metrics_.ScreenWidth();
    }
    const RECT r = MonitorInfo(monitor).rcMonitor;
    return r.right - r.left;
}

int32_t clsScreens::WidthPriMon() const noexcept {
    return metrics_.ScreenWidth();
}

int32_t clsScreens::HeightPriMon() const noexcept {
    return metrics_.ScreenHeight();
}

int32_t clsScreens::top(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? MonitorInfo(monitor).rcMonitor.top : 0;
}

int32_t clsScreens::left(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? MonitorInfo(monitor).rcMonitor.left : 0;
}

int32_t clsScreens::WorkHeight(HMONITOR monitor) const noexcept {
    if (!multiMonitor_) {
        return metrics_.WorkScreenHeight();
    }
    const RECT r = MonitorInfo(monitor).rcWork;
    return r.bottom - r.top;
}

int32_t clsScreens::WorkWidth(HMONITOR monitor) const noexcept {
    if (!multiMonitor_) {
        return metrics_.WorkScreenWidth();
    }
    const RECT r = MonitorInfo(monitor).rcWork;
    return r.right - r.left;
}

int32_t clsScreens::WorkTop(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? MonitorInfo(monitor).rcWork.top : metrics_.WorkScreenTop();
}

int32_t clsScreens::WorkLeft(HMONITOR monitor) const noexcept {
    return multiMonitor_ ? MonitorInfo(monitor).rcWork.left : metrics_.WorkScreenLeft();
}

int32_t clsScreens::VirtualLeft() const noexcept {
    return multiMonitor_ ? metrics_.VirtualScreensLeft() : 0;
}

int32_t clsScreens::VirtualTop() const noexcept {
    return multiMonitor_ ? metrics_.VirtualScreensTop() : 0;
}

int32_t clsScreens::VirtualWidth() const noexcept {
    return multiMonitor_ ? metrics_.VirtualScreensWidth() : metrics_.ScreenWidth();
}

int32_t clsScreens::VirtualHeight() const noexcept {
    return multiMonitor_ ? metrics_.VirtualScreensHeight() : metrics_.ScreenHeight();
}

HMONITOR clsScreens::GetMonitorHandleFromPoint(int x, int y) const noexcept {
    return multiMonitor_ ? ::MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST) : nullptr;
}

HMONITOR clsScreens::GetMonitorHandleFromWindow(HWND window) const noexcept {
    return multiMonitor_ ? ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) : nullptr;
}

HMONITOR clsScreens::GetMonitorHandleFromRect(int left, int top, int right, int bottom) const noexcept {
    if (!multiMonitor_) {
        return nullptr;
    }
    const RECT rect{left, top, right, bottom};
    return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST);
}
