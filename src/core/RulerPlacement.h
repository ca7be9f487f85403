#pragma once
// Where the ruler window goes: its stored place and size corrected at load, and the rule that keeps it
// reachable whatever the monitors are. A ruler the user cannot see cannot be dragged back, and the menu
// has no command to fetch it, so a ruler none of whose visible parts lies on a monitor is moved onto the
// nearest monitor's work area. Pure arithmetic on screen rectangles (right and bottom exclusive), whose
// coordinates lie within +/-2^30.
#include <span>

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] constexpr int width() const noexcept { return right - left; }
    [[nodiscard]] constexpr int height() const noexcept { return bottom - top; }
    [[nodiscard]] constexpr bool empty() const noexcept { return right <= left || bottom <= top; }
    friend constexpr bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// One monitor: its whole rectangle and its work area (without task bars and docked tool bars).
struct MonitorArea {
    ScreenRect monitor;
    ScreenRect work;
};

// The ruler's place and size as the settings hold them: left, top, whole width and height.
struct StoredPlace {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// Whether some of the ruler's visible parts (the top bar, the left bar, the lower-right half of the
// corner square where they meet) lies on one of the monitors. `bar` is the bars' thickness.
[[nodiscard]] bool RulerIsReachable(const ScreenRect& ruler, std::span<const MonitorArea> monitors, int bar) noexcept;

// The monitor nearest the rectangle, as the window system picks it: the one it overlaps most, else
// the one at the smallest distance; the first of equals. -1 when there is no monitor.
[[nodiscard]] int NearestMonitor(const ScreenRect& rect, std::span<const MonitorArea> monitors) noexcept;

// The ruler as it is when it is reachable (or there are no monitors). Otherwise it is moved onto the
// nearest monitor's work area, as little as needed to lie wholly inside it, so that its top bar is
// fully visible; a ruler larger than that work area is first reduced to its size.
[[nodiscard]] ScreenRect KeepRulerReachable(const ScreenRect& ruler, std::span<const MonitorArea> monitors,
                                            int bar) noexcept;

// The ruler's rectangle at load: a negative left or top becomes 0, a width or height below
// `minimumSize` becomes it, and one larger than the virtual screen (all monitors) is reduced to it,
// so that no stored value makes the ruler cost more than a screenful; then KeepRulerReachable.
[[nodiscard]] ScreenRect LoadedRulerRect(const StoredPlace& stored, const ScreenRect& virtualScreen,
                                         std::span<const MonitorArea> monitors, int bar, int minimumSize) noexcept;
