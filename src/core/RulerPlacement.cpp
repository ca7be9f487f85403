#include "core/RulerPlacement.h"

#include <algorithm>
#include <cstdint>

namespace {

ScreenRect Intersection(const ScreenRect& a, const ScreenRect& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

int64_t Area(const ScreenRect& r) noexcept {
    return r.empty() ? 0 : int64_t{r.width()} * r.height();
}

// The gap between two ranges [a0, a1) and [b0, b1) along one axis; 0 when they overlap or touch.
int64_t Gap(int a0, int a1, int b0, int b1) noexcept {
    return std::max<int64_t>({0, int64_t{b0} - a1, int64_t{a0} - b1});
}

// Whether the part of the corner square [left, left + bar) x [top, top + bar) that lies in `visible`
// holds a pixel of the square's kept lower-right half (x + y >= bar relative to the corner).
bool CornerHalfVisible(const ScreenRect& ruler, const ScreenRect& visible, int bar) noexcept {
    const ScreenRect corner = Intersection(visible, {ruler.left, ruler.top, ruler.left + bar, ruler.top + bar});
    if (corner.empty()) {
        return false;
    }
    // The pixel of the part furthest down and right decides.
    return int64_t{corner.right - 1 - ruler.left} + (corner.bottom - 1 - ruler.top) >= bar;
}

} // namespace

bool RulerIsReachable(const ScreenRect& ruler, std::span<const MonitorArea> monitors, int bar) noexcept {
    const ScreenRect topBar = Intersection(ruler, {ruler.left + bar, ruler.top, ruler.right, ruler.top + bar});
    const ScreenRect leftBar = Intersection(ruler, {ruler.left, ruler.top + bar, ruler.left + bar, ruler.bottom});
    return std::any_of(monitors.begin(), monitors.end(), [&](const MonitorArea& m) {
        return !Intersection(topBar, m.monitor).empty() || !Intersection(leftBar, m.monitor).empty() ||
               CornerHalfVisible(ruler, Intersection(ruler, m.monitor), bar);
    });
}

int NearestMonitor(const ScreenRect& rect, std::span<const MonitorArea> monitors) noexcept {
    int best = -1;
    int64_t bestOverlap = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const int64_t overlap = Area(Intersection(rect, monitors[i].monitor));
        if (overlap > bestOverlap) {
            best = static_cast<int>(i);
            bestOverlap = overlap;
        }
    }
    if (best >= 0) {
        return best;
    }
    int64_t bestDistance = 0;
    for (size_t i = 0; i < monitors.size(); ++i) {
        const ScreenRect& m = monitors[i].monitor;
        const int64_t dx = Gap(rect.left, rect.right, m.left, m.right);
        const int64_t dy = Gap(rect.top, rect.bottom, m.top, m.bottom);
        const int64_t distance = dx * dx + dy * dy;
        if (best < 0 || distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

ScreenRect KeepRulerReachable(const ScreenRect& ruler, std::span<const MonitorArea> monitors, int bar) noexcept {
    if (monitors.empty() || RulerIsReachable(ruler, monitors, bar)) {
        return ruler;
    }
    const MonitorArea& nearest = monitors[static_cast<size_t>(NearestMonitor(ruler, monitors))];
    const ScreenRect area = nearest.work.empty() ? nearest.monitor : nearest.work;
    const int width = std::min(ruler.width(), area.width());
    const int height = std::min(ruler.height(), area.height());
    const int left = std::clamp(ruler.left, area.left, area.right - width);
    const int top = std::clamp(ruler.top, area.top, area.bottom - height);
    return {left, top, left + width, top + height};
}

ScreenRect LoadedRulerRect(const StoredPlace& stored, const ScreenRect& virtualScreen,
                           std::span<const MonitorArea> monitors, int bar, int minimumSize) noexcept {
    // Far beyond any screen, and small enough that no sum below overflows.
    constexpr int kFar = 1 << 24;
    const int left = std::clamp(stored.left, 0, kFar);
    const int top = std::clamp(stored.top, 0, kFar);
    int width = std::clamp(stored.width, minimumSize, kFar);
    int height = std::clamp(stored.height, minimumSize, kFar);
    if (!virtualScreen.empty()) {
        width = std::min(width, std::max(virtualScreen.width(), minimumSize));
        height = std::min(height, std::max(virtualScreen.height(), minimumSize));
    }
    return KeepRulerReachable({left, top, left + width, top + height}, monitors, bar);
}
