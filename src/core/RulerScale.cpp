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
    // Every size is its design value (the members' defaults) scaled. Tick lengths and the gap between
    // the ball and the bars' inner edges scale as lengths, so every tick still ends on the inner edge.
    constexpr RulerMetrics design;
    dpi = UsableDpi(dpi);
    const auto s = [dpi](int value) { return ScaleByDpi(value, dpi); };
    RulerMetrics m;
    m.dpi = dpi;
    m.bar = s(design.bar);
    m.majorStart = m.bar - s(design.bar - design.majorStart);
    m.mediumStart = m.bar - s(design.bar - design.mediumStart);
    m.minorStart = m.bar - s(design.bar - design.minorStart);
    m.topLabelOffset = s(design.topLabelOffset);
    m.topLabelRow = s(design.topLabelRow);
    m.leftLabelColumn = s(design.leftLabelColumn);
    m.endMarkFrom = s(design.endMarkFrom);
    m.endMarkTo = m.majorStart;
    m.endMarkNear = s(design.endMarkNear);
    m.endMarkFar = s(design.endMarkFar);
    m.readoutMarginX = s(design.readoutMarginX);
    m.readoutMarginY = s(design.readoutMarginY);
    m.sizingZone = s(design.sizingZone);
    m.ballSize = s(design.ballSize);
    m.ballOffset = m.bar - m.ballSize - s(design.bar - design.ballSize - design.ballOffset);
    return m;
}
