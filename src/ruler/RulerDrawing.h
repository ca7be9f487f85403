#pragma once
// The ruler's two pictures, the visible image and the shape mask, and the pieces they are drawn from.
// Every drawn size (bars, ticks, labels and their font, end marks, readout margins) follows the look's
// resolution, as RulerMetricsAt gives it; at 96 dots per inch they are the design sizes.
//
// Each picture is defined as drawn whole, in this order, on a fresh canvas of the window's size with a
// transparent text background (bar is the bars' thickness):
// - image: the canvas filled with the back colour; a vertical gradient across the top bar (bar, 0,
//   width, bar) from light (the back colour shaded by +51) in its first row towards dark (shaded by
//   -17); the same horizontally across the left bar (0, bar, bar, height); the ruler's font selected;
//   DrawHorizontalScale and DrawVerticalScale; DrawRulerReadout in the fore colour.
// - mask: the canvas filled with MaskCutColor; the font selected; both bars filled with MaskKeepColor;
//   DrawMaskBottomEdge and DrawMaskRightEdge; DrawRulerReadout in MaskKeepColor; DrawMaskCorner.
// The window draws neither whole: RulerImage paints over the image it keeps only where the new one can
// differ, and RulerShape finds the mask's runs from the few parts that are not plain bars. Both
// give exactly what the whole pictures give.
#include "core/RegionScan.h"
#include "core/RulerScale.h"
#include "core/Units.h"
#include "draw/clsFontHDC.h"
#include "util/Handles.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
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

// ---- The pieces of the pictures ------------------------------------------------------------------
// Each is drawn with the coordinates of the whole picture; a canvas that holds only part of it moves
// its viewport origin instead, and gets the same pixels.

// Walks the horizontal scale along the top bar of a canvas `length` pixels wide: ticks from rows
// 30/33/38 down to the bar's edge, labels 3 pixels right of their tick at row 15, and the end mark
// (at 96 dots per inch; `metrics` gives the sizes). Every line is a one-pixel solid line in the fore
// colour, all drawn with one pen; the labels keep the canvas's text colour. The canvas's font is
// already selected.
void DrawHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                         const RulerMetrics& metrics = {});
// The same down the left bar of a canvas `length` pixels high: labels at column 5, top on their tick.
void DrawVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                       const RulerMetrics& metrics = {});

// The readout in RulerReadoutBox, right- and bottom-aligned on one line, in the colour (which stays
// the DC's text colour) and the DC's font. Clipped to the box.
void DrawRulerReadout(HDC dc, const RulerLook& look, int32_t colour);

// The mask's lower-right half of the corner square, filled with MaskKeepColor without an outline.
void DrawMaskCorner(HDC dc, const RulerLook& look);
// The mask's dash-dot-dot lines, one pixel wide in MaskKeepColor, along the bottom and the right edge.
void DrawMaskBottomEdge(HDC dc, const RulerLook& look);
void DrawMaskRightEdge(HDC dc, const RulerLook& look);

// Fills a polygon with a solid colour, outlined with an inside-frame pen when penWidth > 0.
void FillPolygon(HDC dc, std::span<const POINT> points, int32_t fillColor, int32_t penColor, int penWidth);
// Draws a polygon with the given brush (not deleted) and a pen made here.
void DrawPolygon(HDC dc, std::span<const POINT> points, HBRUSH brush, int32_t penColor, int penWidth);

// ---- The redraw path of the window ---------------------------------------------------------------

// The window's kept image: a screen-compatible bitmap holding the image of the last look painted.
class RulerImage {
public:
    RulerImage() noexcept = default;
    RulerImage(const RulerImage&) = delete;
    RulerImage& operator=(const RulerImage&) = delete;

    // Paints the look's image: afterwards the top-left look.width x look.height of bitmap() hold
    // exactly the pixels of the whole image (the rest of the bitmap is left as it was).
    // The bitmap is kept and painted over while it is large enough and not more than four times too
    // large; otherwise (or when there is none) it is replaced by a new one an eighth larger each way
    // than needed, so that a window growing step by step gets a new bitmap only now and then: the
    // system hands out and clears fresh memory for a new one, which can cost more than the painting.
    // Only what can differ from the image held is painted again: where the image held has more than
    // its background (its bars, and the bounds GDI reports for its scales and readout) and where it
    // did not reach; the rest already is the background. All of it is painted when the background
    // colour changed or GDI could not tell the bounds.
    // Throws like clsMEMDC::CreateDC when a new bitmap cannot be made; the image is then as it was.
    void Paint(const RulerLook& look);

    // The bitmap; null before the first paint. Not selected into any DC between calls.
    [[nodiscard]] HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    // The size of the image held; 0 x 0 while there is none.
    [[nodiscard]] SIZE size() const noexcept { return held_; }
    // Copies the image held to (0, 0) of dc; false (nothing drawn) while there is none.
    [[nodiscard]] bool CopyTo(HDC dc) const noexcept;

private:
    // Whether the bitmap can be painted over for a w x h image.
    [[nodiscard]] bool Fits(int w, int h) const noexcept;
    // Brings the w x h area of the bitmap to the background colour, refilling only what may not be.
    void Clear(HDC dc, int w, int h, COLORREF background) const;

    UniqueBitmap bitmap_;
    SIZE held_{};
    COLORREF background_ = 0;
    // Where the image held has more than its background; everything else of it is background_. None
    // when that is not known.
    std::optional<std::vector<RECT>> drawn_;
};

// The window's shape: the runs of the shape mask for each new look.
class RulerShape {
public:
    RulerShape();
    ~RulerShape();
    RulerShape(const RulerShape&) = delete;
    RulerShape& operator=(const RulerShape&) = delete;

    // Exactly what ScanRowRuns finds in the look's whole mask, with MaskCutColor as the transparent
    // colour, without drawing or reading that mask. The bars are whole rows; the corner, the two
    // dashed edges and the readout are drawn with the pieces above on canvases just large enough for
    // each, and their runs are united row by row. A part drawn from the same sizes as last time (the
    // corner, the edge along which the window did not change) is not drawn again, and a part's canvas
    // is kept while the part keeps its size. nullopt when the canvas for a part cannot be made.
    [[nodiscard]] std::optional<std::vector<RowRun>> Runs(const RulerLook& look);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
