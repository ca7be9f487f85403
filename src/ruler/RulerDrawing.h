#pragma once
// The pieces of the ruler's picture: the two scales, and the polygon shortcuts the mask uses. Every
// drawn size (bars, ticks, labels and their font, end marks, readout margins) follows the look's
// resolution, as RulerMetricsAt gives it; at 96 dots per inch they are the design sizes.
#include "core/RegionScan.h"
#include "core/RulerScale.h"
#include "core/Units.h"
#include "draw/clsFontHDC.h"
#include "draw/clsMEMDC.h"
#include "util/Handles.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Everything the ruler's picture depends on.
struct RulerLook {
    int width = 0; // the whole window, bars included
    int height = 0;
    ScaleUnit unit = ScaleUnit::Pixels;
    // What an inch is on the screen, per axis: converts pixels into points, inches and millimetres.
    double pixelsPerInchX = 96;
    double pixelsPerInchY = 96;
    // The monitor's resolution, which sizes everything drawn (RulerMetricsAt); the window gives the
    // same value as the pixels per inch above, tests may give them apart.
    int dpi = DesignDpi;
    wchar_t decimalSeparator = L'.';
    int32_t backColor = static_cast<int32_t>(0x80000000u | COLOR_BTNFACE);
    int32_t foreColor = static_cast<int32_t>(0x80000000u | COLOR_BTNTEXT);
    StdFont font{L"MS Sans Serif", 8.25};

    [[nodiscard]] RulerMetrics Metrics() const noexcept { return RulerMetricsAt(dpi); }
};

// The look's font (its size in whole points, halves to even) at the look's resolution, not at the
// DC's: the labels and the readout grow with the bars on a monitor of more dots per inch. Null when
// the system refuses the font.
[[nodiscard]] UniqueFont CreateRulerFont(const RulerLook& look);

// The size readout the ruler shows for the look, e.g. "390.00x290.00 px".
[[nodiscard]] std::wstring RulerReadout(const RulerLook& look);
// The box the readout is right- and bottom-aligned in: the window less the readout margins.
[[nodiscard]] RECT RulerReadoutBox(const RulerLook& look) noexcept;

// The mask colours: black is cut out of the window's shape, red is kept.
inline constexpr int32_t MaskCutColor = 0x000000;
inline constexpr int32_t MaskKeepColor = 0x0000FF;

// The visible image: flat background, a light-to-dark gradient on each bar, both scales and the
// size readout. The canvas is (re)created at the ruler's size and holds no font afterwards.
void PaintRulerImage(clsMEMDC& canvas, const RulerLook& look);
// The shape mask: red where the window is (the bars, the lower-right half of the corner square, the
// dashed far edges and the readout's glyphs), black elsewhere.
void PaintRulerMask(clsMEMDC& canvas, const RulerLook& look);

// ---- The redraw path of the window ---------------------------------------------------------------
// The two functions above are the straightforward renderer: a fresh canvas of the window's size for
// each picture, the region read back from the whole mask. They stay as the reference that the tests
// hold the faster path below to, pixel for pixel and run for run.

// The visible image painted into `image`, a screen-compatible bitmap that is not selected into any
// DC: exactly the pixels PaintRulerImage gives on a fresh canvas, in its top-left look.width x
// look.height (the rest of the bitmap is left as it was). The bitmap is kept and painted over while
// it is large enough and not more than four times too large; otherwise (or when there is none) it is
// replaced by a new one an eighth larger each way than needed, so that a window growing step by step
// gets a new bitmap only now and then. A new bitmap can cost more than all the painting: the system
// hands out and clears fresh memory for it. Throws like clsMEMDC::CreateDC;
// `image` is then left as it was.
void PaintRulerImageInto(UniqueBitmap& image, const RulerLook& look);

// The runs of the shape mask: exactly what ScanRowRuns finds in the mask PaintRulerMask draws, with
// black as the transparent colour, without drawing or reading that mask. The bars are whole rows; the
// corner triangle, the two dashed edges and the readout are drawn with PaintRulerMask's own calls on
// canvases just large enough for each, and their runs are united row by row. nullopt when the
// canvas for a part cannot be made.
[[nodiscard]] std::optional<std::vector<RowRun>> RulerShapeRuns(const RulerLook& look);

// Walks the horizontal scale along the top bar of a canvas `length` pixels wide: ticks from rows
// 30/33/38 down to the bar's edge, labels 3 pixels right of their tick at row 15, and the end mark
// (at 96 dots per inch; `metrics` gives the sizes). The canvas's font is already selected.
void DrawHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                         const RulerMetrics& metrics = {});
// The same down the left bar of a canvas `length` pixels high: labels at column 5, top on their tick.
void DrawVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                       const RulerMetrics& metrics = {});

// Fills a polygon with a solid colour, outlined with an inside-frame pen when penWidth > 0.
void FillPolygon(HDC dc, std::span<const POINT> points, int32_t fillColor, int32_t penColor, int penWidth);
// Draws a polygon with the given brush (not deleted) and a pen made here.
void DrawPolygon(HDC dc, std::span<const POINT> points, HBRUSH brush, int32_t penColor, int penWidth);
