#pragma once
// Where a tip goes and how see-through it is: plain arithmetic on the cursor, the tip's size and the
// monitor, so that the tooltip window only asks the platform for those numbers.
#include <cstdint>

struct TipPoint {
    int32_t x, y;
    friend bool operator==(const TipPoint&, const TipPoint&) = default;
};

// The bounds a tip must stay in: the monitor under the cursor, right and bottom exclusive.
struct TipBounds {
    int32_t left, top, right, bottom;
};

// Distances from the cursor: a tip sits 1 pixel right of it and 15 below, or, where it would cross the
// bottom edge, with its bottom 5 pixels above the cursor.
inline constexpr int32_t TipOffsetX = 1;
inline constexpr int32_t TipOffsetBelow = 15;
inline constexpr int32_t TipOffsetAbove = 5;

// The top-left corner of a width x height tip for the cursor at (cursorX, cursorY): below the cursor,
// or above it when it would cross the bottom; right of it, or flush with the right edge when it would
// cross that. On a single monitor at (0, 0) the bounds are the virtual screen's size.
[[nodiscard]] TipPoint PlaceTip(int32_t cursorX, int32_t cursorY, int32_t width, int32_t height,
                                const TipBounds& bounds);

// The layered alpha of a tip that is `percent` transparent: 255 - 2.55 x percent rounded half to even
// (50 percent gives 127). A percentage outside 0..100 counts as the nearer end.
[[nodiscard]] uint8_t TipAlpha(int32_t percent);
