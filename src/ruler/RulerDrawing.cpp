#include "ruler/RulerDrawing.h"

#include "draw/DrawHelpers.h"
#include "util/Handles.h"

#include <array>
#include <cmath>

namespace {
// Rectangle (4, 2, W - 4, H - 2): right- and bottom-aligned on one line.
constexpr UINT ReadoutFlags = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;

RECT ReadoutBox(const RulerLook& look) noexcept { return RECT{4, 2, look.width - 4, look.height - 2}; }

std::wstring Readout(const RulerLook& look) {
    return ReadoutText(look.width, look.height, look.unit, look.pixelsPerInchX, look.pixelsPerInchY,
                       look.decimalSeparator);
}

// Where a tick starts across the bar; every tick ends on the bar's inner edge.
int TickStart(TickKind kind) noexcept {
    switch (kind) {
    case TickKind::Major:
        return 30;
    case TickKind::Medium:
        return 33;
    case TickKind::Minor:
        break;
    }
    return 38;
}
} // namespace

void DrawHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor) {
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch)) {
        DrawLine(canvas, tick.position, TickStart(tick.kind), tick.position, RulerBarSize, foreColor, 1, PS_SOLID);
        if (tick.kind == TickKind::Major) {
            const auto x = static_cast<int>(std::lrint(static_cast<float>(RulerBarSize) + tick.offset + 3.0f));
            DrawTextAt(canvas, FormatLabel(tick.value), x, 15);
        }
    }
    DrawLine(canvas, length - 2, 10, length - 2, 30, foreColor, 1, PS_SOLID);
    DrawLine(canvas, length - 4, 10, length - 4, 30, foreColor, 1, PS_SOLID);
}

void DrawVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor) {
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch)) {
        DrawLine(canvas, TickStart(tick.kind), tick.position, RulerBarSize, tick.position, foreColor, 1, PS_SOLID);
        if (tick.kind == TickKind::Major) {
            const auto y = static_cast<int>(std::lrint(static_cast<float>(RulerBarSize) + tick.offset));
            DrawTextAt(canvas, FormatLabel(tick.value), 5, y);
        }
    }
    DrawLine(canvas, 10, length - 2, 30, length - 2, foreColor, 1, PS_SOLID);
    DrawLine(canvas, 10, length - 4, 30, length - 4, foreColor, 1, PS_SOLID);
}

void FillPolygon(HDC dc, std::span<const POINT> points, int32_t fillColor, int32_t penColor, int penWidth) {
    UniqueBrush brush = CreateColorBrush(fillColor);
    DrawPolygon(dc, points, brush.get(), penColor, penWidth);
}

void DrawPolygon(HDC dc, std::span<const POINT> points, HBRUSH brush, int32_t penColor, int penWidth) {
    if (points.empty()) {
        return;
    }
    UniquePen pen;
    if (penWidth > 0) {
        pen = CreateColorPen(PS_INSIDEFRAME, penWidth, penColor);
    }
    SelectGuard selectBrush(dc, brush);
    SelectGuard selectPen(dc, pen ? static_cast<HGDIOBJ>(pen.get()) : ::GetStockObject(NULL_PEN));
    ::Polygon(dc, points.data(), static_cast<int>(points.size()));
}

void PaintRulerImage(clsMEMDC& canvas, clsFontHDC& font, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(look.backColor);
    const int32_t light = ShadeColor(look.backColor, 51);
    const int32_t dark = ShadeColor(look.backColor, -17);
    GradientVertical(canvas.hDC(), RulerBarSize, 0, w, RulerBarSize, light, dark);
    GradientHorizontal(canvas.hDC(), 0, RulerBarSize, RulerBarSize, h, light, dark);
    font.SetFontToDCStdFont(canvas.hDC(), look.font);
    DrawHorizontalScale(canvas.hDC(), w, look.unit, look.pixelsPerInchX, look.foreColor);
    DrawVerticalScale(canvas.hDC(), h, look.unit, look.pixelsPerInchY, look.foreColor);
    DrawColoredText(canvas.hDC(), Readout(look), ReadoutBox(look), look.foreColor, ReadoutFlags);
}

void PaintRulerMask(clsMEMDC& canvas, clsFontHDC& font, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(MaskCutColor);
    font.SetFontToDCStdFont(canvas.hDC(), look.font);
    HDC dc = canvas.hDC();
    FillOrFrameRectXY(dc, RulerBarSize, 0, w, RulerBarSize, MaskKeepColor, true);
    FillOrFrameRectXY(dc, 0, RulerBarSize, RulerBarSize, h, MaskKeepColor, true);
    DrawLine(dc, 0, h - 1, w, h - 1, MaskKeepColor, 1, PS_DASHDOTDOT);
    DrawLine(dc, w - 1, 0, w - 1, h, MaskKeepColor, 1, PS_DASHDOTDOT);
    DrawColoredText(dc, Readout(look), ReadoutBox(look), MaskKeepColor, ReadoutFlags);
    const std::array<POINT, 3> corner{{{0, RulerBarSize}, {RulerBarSize, 0}, {RulerBarSize, RulerBarSize}}};
    FillPolygon(dc, corner, MaskKeepColor, 0, 0);
}
