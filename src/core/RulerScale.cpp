#include "core/RulerScale.h"

#include <cstdint>

namespace {

// a * b / c rounded half away from zero, for c > 0 (MulDiv's rounding).
int MulDivRounded(int a, int b, int c) noexcept {
    const int64_t product = int64_t{a} * b;
    const int64_t half = c / 2;
    const int64_t q = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(q);
}

} // namespace

int UsableDpi(int dpi) noexcept {
    // 24 is a quarter of the design resolution, 1920 twenty times it: no monitor lies outside.
    return dpi >= 24 && dpi <= 1920 ? dpi : DesignDpi;
}

int ScaleByDpi(int value, int dpi) noexcept {
    return MulDivRounded(value, dpi, DesignDpi);
}

int FontPixelsAt(int points, int dpi) noexcept {
    return MulDivRounded(points, dpi, 72);
}

RulerMetrics RulerMetricsAt(int dpi) noexcept {
    dpi = UsableDpi(dpi);
    const auto s = [dpi](int value) { return ScaleByDpi(value, dpi); };
    RulerMetrics m;
    m.dpi = dpi;
    m.bar = s(40);
    // The tick lengths scale (10, 7 and 2 at 96), and every tick still ends on the bar's inner edge.
    m.majorStart = m.bar - s(10);
    m.mediumStart = m.bar - s(7);
    m.minorStart = m.bar - s(2);
    m.topLabelOffset = s(3);
    m.topLabelRow = s(15);
    m.leftLabelColumn = s(5);
    m.endMarkFrom = s(10);
    m.endMarkTo = m.majorStart;
    m.endMarkNear = s(2);
    m.endMarkFar = s(4);
    m.readoutMarginX = s(4);
    m.readoutMarginY = s(2);
    m.sizingZone = s(5);
    m.ballSize = s(15);
    // Five pixels (at 96) between the ball and the bars' inner edges.
    m.ballOffset = m.bar - m.ballSize - s(5);
    return m;
}
