#include "core/TipLayout.h"

#include <algorithm>
#include <cmath>

TipPoint PlaceTip(int32_t cursorX, int32_t cursorY, int32_t width, int32_t height, const TipBounds& bounds) {
    // In 64 bits: a cursor near the end of the coordinate range plus a tip never overflows.
    const int64_t below = int64_t{cursorY} + TipOffsetBelow;
    const int64_t right = int64_t{cursorX} + TipOffsetX;
    const int32_t top = below + height > bounds.bottom ? cursorY - TipOffsetAbove - height : cursorY + TipOffsetBelow;
    const int32_t left = right + width > bounds.right ? bounds.right - width : cursorX + TipOffsetX;
    return {left, top};
}

uint8_t TipAlpha(int32_t percent) {
    const int32_t clamped = std::clamp(percent, 0, 100);
    // 255 x percent first: both are whole, so the halves are exact (255 / 100 is not) and round to even.
    return static_cast<uint8_t>(255 - std::lrint(255.0 * clamped / 100.0));
}
