#pragma once
// The straightforward ruler renderer that the tests and the benchmark hold the window's redraw path
// (RulerImage, RulerShape) to: each picture drawn whole, step by step as RulerDrawing.h defines
// it, on a fresh memory canvas of the window's size; the shape's region is then read from the whole
// mask (clsRegions::RegionFromBitmap or RunsFromBitmap with MaskCutColor as the transparent colour).
// Header-only, so that the benchmark can use it without linking the test support.
#include "draw/DrawHelpers.h"
#include "draw/clsMEMDC.h"
#include "ruler/RulerDrawing.h"
#include "util/Handles.h"

// The visible image. The canvas is (re)created at the ruler's size and holds no font afterwards.
inline void PaintRulerImage(clsMEMDC& canvas, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const RulerMetrics m = look.Metrics();
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(look.backColor);
    const int32_t light = ShadeColor(look.backColor, 51);
    const int32_t dark = ShadeColor(look.backColor, -17);
    GradientVertical(canvas.hDC(), m.bar, 0, w, m.bar, light, dark);
    GradientHorizontal(canvas.hDC(), 0, m.bar, m.bar, h, light, dark);
    const UniqueFont font = CreateRulerFont(look);
    const SelectGuard select(canvas.hDC(), font.get());
    DrawHorizontalScale(canvas.hDC(), w, look.unit, look.pixelsPerInchX, look.foreColor, m);
    DrawVerticalScale(canvas.hDC(), h, look.unit, look.pixelsPerInchY, look.foreColor, m);
    DrawRulerReadout(canvas.hDC(), look, look.foreColor);
}

// The shape mask: MaskKeepColor where the window is (the bars, the lower-right half of the corner
// square, the dashed far edges and the readout's glyphs), MaskCutColor elsewhere.
inline void PaintRulerMask(clsMEMDC& canvas, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const int bar = look.Metrics().bar;
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(MaskCutColor);
    const HDC dc = canvas.hDC();
    const UniqueFont font = CreateRulerFont(look);
    const SelectGuard select(dc, font.get());
    FillOrFrameRectXY(dc, bar, 0, w, bar, MaskKeepColor, true);
    FillOrFrameRectXY(dc, 0, bar, bar, h, MaskKeepColor, true);
    DrawMaskBottomEdge(dc, look);
    DrawMaskRightEdge(dc, look);
    DrawRulerReadout(dc, look, MaskKeepColor);
    DrawMaskCorner(dc, look);
}
