#pragma once
// The ruler's drawn sizes at a display resolution. Every length of the ruler's look is designed at 96
// dots per inch; on a monitor of another resolution the bars, ticks, labels, ball, cursor zones and
// readout margins grow or shrink by dpi / 96, rounded as MulDiv rounds, so that the text (whose font
// follows the resolution) keeps its room. At 96 every value is the design value. Pixel distances that
// are measured (the readout, the scale's tick spacing in pixels) are not scaled: they count pixels.

// The display resolution assumed when none can be told (0 or less, or absurdly large).
inline constexpr int DesignDpi = 96;

// A resolution the ruler can draw at: values outside 24..1920 become 96.
[[nodiscard]] int UsableDpi(int dpi) noexcept;

// value * dpi / 96 rounded to the nearest integer, halves away from zero (as MulDiv(value, dpi, 96)).
[[nodiscard]] int ScaleByDpi(int value, int dpi) noexcept;

// Every drawn size of the ruler at one resolution. Positions across a bar are measured from the
// window's outer edge (top edge for the top bar, left edge for the left bar). The defaults are the
// design sizes, at 96 dots per inch.
struct RulerMetrics {
    int dpi = DesignDpi;
    int bar = 40;            // thickness of the top and the left bar; the measured area starts here
    int majorStart = 30;     // where a major tick starts across its bar; every tick ends on the bar's inner edge
    int mediumStart = 33;    // the medium tick (the sixth of each ten)
    int minorStart = 38;     // the other ticks
    int topLabelOffset = 3;  // a top-bar label starts this far right of its tick ...
    int topLabelRow = 15;    // ... with its top on this row
    int leftLabelColumn = 5; // a left-bar label starts in this column, its top on its tick
    int endMarkFrom = 10;    // the end marks run across the bar from here ...
    int endMarkTo = 30;      // ... to here (exclusive) ...
    int endMarkNear = 2;     // ... this far and ...
    int endMarkFar = 4;      // ... this far before the far end of the canvas
    int readoutMarginX = 4;  // the readout's box is the window less these on the left and right ...
    int readoutMarginY = 2;  // ... and on the top and bottom
    int sizingZone = 5;      // the last pixels of each side that resize instead of move
    int ballSize = 15;       // the red ball's side
    int ballOffset = 20;     // the ball's left and top in the corner square (5 clear of the bars' inner edges)
};

// The metrics at a resolution (made usable first).
[[nodiscard]] RulerMetrics RulerMetricsAt(int dpi) noexcept;

// Character height in pixels of a font of whole points at a resolution: MulDiv(points, dpi, 72).
[[nodiscard]] int FontPixelsAt(int points, int dpi) noexcept;
