#pragma once
// Layout arithmetic of the program's two fixed forms, the help window and the About box: their places
// designed at 96 dots per inch scaled to the DPI of the monitor they are on, where the help window goes
// on the first run so that the ruler does not cover it, and how a plain label's box fits its text.
#include <cstdint>

// A rectangle as left, top, width and height (right and bottom exclusive).
struct LayoutBox {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;

    [[nodiscard]] constexpr int32_t right() const noexcept { return left + width; }
    [[nodiscard]] constexpr int32_t bottom() const noexcept { return top + height; }
    friend bool operator==(const LayoutBox&, const LayoutBox&) = default;
};

struct LayoutPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const LayoutPoint&, const LayoutPoint&) = default;
};

// The DPI every designed number is given at.
inline constexpr int32_t kDesignDpi = 96;

// A coordinate or length designed at 96 DPI, at `dpi`: value x dpi / 96, rounded to the nearest
// pixel with halves to even. A DPI below 1 counts as 96.
[[nodiscard]] int32_t ScaleToDpi(int32_t value, int32_t dpi);

// A designed box at `dpi`. Its edges are scaled (not its size), so that boxes that touch or line up
// at 96 DPI still do at any other.
[[nodiscard]] LayoutBox ScaleToDpi(const LayoutBox& box, int32_t dpi);

// Where the top-left corner of a width x height window goes so that it lies fully in the work area
// and the ruler does not cover it, `gap` pixels away from the ruler: right of the ruler, else left of
// it (both vertically centred on the ruler as far as the work area allows), else below it, else above
// it (both horizontally centred on it as far as the work area allows). Where no side has room, the
// window is centred on the work area (and kept inside it from its top-left corner).
[[nodiscard]] LayoutPoint PlaceClearOf(const LayoutBox& workArea, const LayoutBox& ruler, int32_t width, int32_t height,
                                       int32_t gap);

// The box of a one-line label whose text is textWidth x textHeight pixels, designed at `designed` (a
// box too narrow for the text): it keeps its left edge and grows to the text's size; where that would
// cross the right edge of the form's client area less `margin`, it moves left until it ends there, but
// never left of the client area.
[[nodiscard]] LayoutBox FitLabelToText(const LayoutBox& designed, int32_t textWidth, int32_t textHeight,
                                       int32_t clientWidth, int32_t margin);
