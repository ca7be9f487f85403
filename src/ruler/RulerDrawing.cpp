#include "ruler/RulerDrawing.h"

#include "draw/DrawHelpers.h"
#include "draw/clsRegions.h"
#include "util/Handles.h"

#include <algorithm>
#include <array>
#include <cmath>

UniqueFont CreateRulerFont(const RulerLook& look) {
    // Whole points, halves to even (8.25 gives 8), as the font binder rounds a control's font; the
    // height in pixels at the look's resolution: 11 at 96 dots per inch, 16 at 144.
    const double points = std::nearbyint(look.font.size);
    const int size = std::isfinite(points) ? static_cast<int>(std::clamp(points, 1.0, 1000.0)) : 8;
    const std::wstring face = look.font.name.substr(0, std::min<size_t>(look.font.name.size(), LF_FACESIZE - 1));
    return UniqueFont(::CreateFontW(-FontPixelsAt(size, UsableDpi(look.dpi)), 0, 0, 0,
                                    look.font.bold ? FW_BOLD : FW_NORMAL, look.font.italic ? 1 : 0,
                                    look.font.underline ? 1 : 0, look.font.strikethrough ? 1 : 0, DEFAULT_CHARSET, 0, 0,
                                    0, 0, face.c_str()));
}

std::wstring RulerReadout(const RulerLook& look) {
    return ReadoutText(look.width, look.height, look.unit, look.pixelsPerInchX, look.pixelsPerInchY,
                       look.decimalSeparator, look.Metrics().bar);
}

RECT RulerReadoutBox(const RulerLook& look) noexcept {
    const RulerMetrics m = look.Metrics();
    return RECT{m.readoutMarginX, m.readoutMarginY, look.width - m.readoutMarginX, look.height - m.readoutMarginY};
}

namespace {
// Right- and bottom-aligned on one line in RulerReadoutBox.
constexpr UINT ReadoutFlags = DT_RIGHT | DT_BOTTOM | DT_SINGLELINE;

// The triangle of the corner square that belongs to the shape (the upper-left half does not).
std::array<POINT, 3> CornerTriangle(int bar) noexcept {
    return {{{0, bar}, {bar, 0}, {bar, bar}}};
}

// The ruler's font selected into a DC for as long as it lives; the DC's font is put back after.
class FontSelection {
public:
    FontSelection(HDC dc, const RulerLook& look) : font_(CreateRulerFont(look)) {
        if (font_) {
            select_.emplace(dc, font_.get());
        }
    }

private:
    UniqueFont font_;
    std::optional<SelectGuard> select_;
};

// One part of the shape mask, on a canvas of its own that covers only `area` of the whole mask. Its
// viewport origin is moved by the area's top-left corner, so the part is drawn with the very calls
// and coordinates PaintRulerMask makes and its pixels are the whole mask's pixels of that area: GDI
// draws the same for a shift by whole pixels. The canvas is a 32-bit DIB section, read in place: no
// screen DC (a window-server round trip under Wine, 0.1 to 1 ms each) and no GetDIBits copy. It is
// set up as clsMEMDC::CreateDC sets up its canvas (black, transparent text background).
class MaskPart {
public:
    explicit MaskPart(const RECT& area)
        : area_(area), width_(area.right - area.left), height_(area.bottom - area.top),
          dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!dc_ || !bitmap_) {
            return;
        }
        previous_ = ::SelectObject(dc_.get(), bitmap_.get());
        if (previous_ == nullptr || previous_ == HGDI_ERROR) {
            previous_ = nullptr;
            return;
        }
        bits_ = static_cast<const uint8_t*>(bits);
        ::SetStretchBltMode(dc_.get(), COLORONCOLOR);
        ::SetBkMode(dc_.get(), TRANSPARENT);
        FillOrFrameRectXY(dc_.get(), 0, 0, width_, height_, MaskCutColor, true);
        ::SetViewportOrgEx(dc_.get(), -area.left, -area.top, nullptr);
    }
    MaskPart(const MaskPart&) = delete;
    MaskPart& operator=(const MaskPart&) = delete;
    ~MaskPart() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_.get(), previous_);
        }
    }

    // Null when the canvas could not be made; drawing on it then does nothing.
    [[nodiscard]] HDC dc() const noexcept { return bits_ != nullptr ? dc_.get() : nullptr; }

    // The runs of the part's pixels in whole-mask coordinates; only for a part whose dc() is not null.
    [[nodiscard]] std::vector<RowRun> Runs() const {
        ::GdiFlush(); // GDI may batch drawing; the bits must be complete before they are read
        const std::span<const uint8_t> pixels(bits_, 4 * static_cast<size_t>(width_) * static_cast<size_t>(height_));
        ScanRequest request{pixels, width_, height_, TransparentKey(MaskCutColor, pixels, nullptr), false, {}, 4};
        std::vector<RowRun> runs = ScanRowRuns(request);
        for (RowRun& r : runs) {
            r = {r.left + area_.left, r.top + area_.top, r.right + area_.left, r.bottom + area_.top};
        }
        return runs;
    }

private:
    RECT area_;
    int width_;
    int height_;
    UniqueMemoryDC dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    const uint8_t* bits_ = nullptr;
};

// The part of the w x h mask inside `area`; empty when nothing of it lies on the mask.
RECT OnMask(RECT area, int w, int h) noexcept {
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, w);
    area.bottom = std::min<LONG>(area.bottom, h);
    return area;
}

bool IsEmptyArea(const RECT& area) noexcept {
    return area.left >= area.right || area.top >= area.bottom;
}

// Where a tick starts across the bar; every tick ends on the bar's inner edge.
int TickStart(TickKind kind, const RulerMetrics& m) noexcept {
    switch (kind) {
    case TickKind::Major:
        return m.majorStart;
    case TickKind::Medium:
        return m.mediumStart;
    case TickKind::Minor:
        break;
    }
    return m.minorStart;
}

// The ticks, labels and end mark of the top bar; every line goes through line(x1, y1, x2, y2).
template <typename Line>
void WalkHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, const RulerMetrics& m,
                         Line line) {
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch, m.bar)) {
        line(tick.position, TickStart(tick.kind, m), tick.position, m.bar);
        if (tick.kind == TickKind::Major) {
            const auto x = static_cast<int>(
                std::lrint(static_cast<float>(m.bar) + tick.offset + static_cast<float>(m.topLabelOffset)));
            DrawTextAt(canvas, FormatLabel(tick.value), x, m.topLabelRow);
        }
    }
    line(length - m.endMarkNear, m.endMarkFrom, length - m.endMarkNear, m.endMarkTo);
    line(length - m.endMarkFar, m.endMarkFrom, length - m.endMarkFar, m.endMarkTo);
}

// The same for the left bar.
template <typename Line>
void WalkVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, const RulerMetrics& m, Line line) {
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch, m.bar)) {
        line(TickStart(tick.kind, m), tick.position, m.bar, tick.position);
        if (tick.kind == TickKind::Major) {
            const auto y = static_cast<int>(std::lrint(static_cast<float>(m.bar) + tick.offset));
            DrawTextAt(canvas, FormatLabel(tick.value), m.leftLabelColumn, y);
        }
    }
    line(m.endMarkFrom, length - m.endMarkNear, m.endMarkTo, length - m.endMarkNear);
    line(m.endMarkFrom, length - m.endMarkFar, m.endMarkTo, length - m.endMarkFar);
}

// Both scales as DrawHorizontalScale and DrawVerticalScale draw them, with one pen for all their lines
// instead of one made, selected and deleted per line: the same lines, a few hundred fewer GDI objects.
void DrawScalesWithOnePen(HDC dc, const RulerLook& look) {
    const UniquePen pen = CreateColorPen(PS_SOLID, 1, look.foreColor);
    const SelectGuard select(dc, pen.get());
    // Without the pen DrawLine draws nothing, but the labels are still drawn.
    const auto line = [&](int x1, int y1, int x2, int y2) {
        if (pen) {
            ::MoveToEx(dc, x1, y1, nullptr);
            ::LineTo(dc, x2, y2);
        }
    };
    const RulerMetrics m = look.Metrics();
    WalkHorizontalScale(dc, look.width, look.unit, look.pixelsPerInchX, m, line);
    WalkVerticalScale(dc, look.height, look.unit, look.pixelsPerInchY, m, line);
}
} // namespace

void DrawHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                         const RulerMetrics& metrics) {
    WalkHorizontalScale(canvas, length, unit, pixelsPerInch, metrics, [&](int x1, int y1, int x2, int y2) {
        DrawLine(canvas, x1, y1, x2, y2, foreColor, 1, PS_SOLID);
    });
}

void DrawVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                       const RulerMetrics& metrics) {
    WalkVerticalScale(canvas, length, unit, pixelsPerInch, metrics, [&](int x1, int y1, int x2, int y2) {
        DrawLine(canvas, x1, y1, x2, y2, foreColor, 1, PS_SOLID);
    });
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

void PaintRulerImage(clsMEMDC& canvas, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const RulerMetrics m = look.Metrics();
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(look.backColor);
    const int32_t light = ShadeColor(look.backColor, 51);
    const int32_t dark = ShadeColor(look.backColor, -17);
    GradientVertical(canvas.hDC(), m.bar, 0, w, m.bar, light, dark);
    GradientHorizontal(canvas.hDC(), 0, m.bar, m.bar, h, light, dark);
    const FontSelection font(canvas.hDC(), look);
    DrawHorizontalScale(canvas.hDC(), w, look.unit, look.pixelsPerInchX, look.foreColor, m);
    DrawVerticalScale(canvas.hDC(), h, look.unit, look.pixelsPerInchY, look.foreColor, m);
    DrawColoredText(canvas.hDC(), RulerReadout(look), RulerReadoutBox(look), look.foreColor, ReadoutFlags);
}

void PaintRulerMask(clsMEMDC& canvas, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const int bar = look.Metrics().bar;
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(MaskCutColor);
    HDC dc = canvas.hDC();
    const FontSelection font(dc, look);
    FillOrFrameRectXY(dc, bar, 0, w, bar, MaskKeepColor, true);
    FillOrFrameRectXY(dc, 0, bar, bar, h, MaskKeepColor, true);
    DrawLine(dc, 0, h - 1, w, h - 1, MaskKeepColor, 1, PS_DASHDOTDOT);
    DrawLine(dc, w - 1, 0, w - 1, h, MaskKeepColor, 1, PS_DASHDOTDOT);
    DrawColoredText(dc, RulerReadout(look), RulerReadoutBox(look), MaskKeepColor, ReadoutFlags);
    FillPolygon(dc, CornerTriangle(bar), MaskKeepColor, 0, 0);
}

namespace {

void PaintRulerImageOnto(HDC dc, const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const int bar = look.Metrics().bar;
    // Clipped to w x h, the bitmap draws and clips exactly like a fresh canvas of that size (the
    // gradients, for one, only draw the rows inside the clip box).
    ::IntersectClipRect(dc, 0, 0, w, h);
    FillOrFrameRectXY(dc, 0, 0, w, h, look.backColor, true);
    const int32_t light = ShadeColor(look.backColor, 51);
    const int32_t dark = ShadeColor(look.backColor, -17);
    GradientVertical(dc, bar, 0, w, bar, light, dark);
    // The left bar's gradient runs across it, so every row of the bar is the same: paint the first
    // row (the same colours as full-height lines give it) and copy it down, doubling the rows copied
    // each time. Full-height lines would touch every row of the bitmap once per column.
    if (h > bar) {
        GradientHorizontal(dc, 0, bar, bar, bar + 1, light, dark);
        for (int done = 1; done < h - bar; done *= 2) {
            const int rows = std::min(done, h - bar - done);
            ::BitBlt(dc, 0, bar + done, bar, rows, dc, 0, bar, SRCCOPY);
        }
    }
    const FontSelection font(dc, look);
    DrawScalesWithOnePen(dc, look);
    DrawColoredText(dc, RulerReadout(look), RulerReadoutBox(look), look.foreColor, ReadoutFlags);
}

} // namespace

void PaintRulerImageInto(UniqueBitmap& image, const RulerLook& look) {
    const int w = std::max(look.width, 0);
    const int h = std::max(look.height, 0);
    BITMAP held{};
    const bool fits = image && ::GetObjectW(image.get(), sizeof(held), &held) == sizeof(held) && held.bmWidth >= w &&
                      held.bmHeight >= h &&
                      int64_t{held.bmWidth} * held.bmHeight <= 4 * std::max<int64_t>(int64_t{w} * h, 1);
    if (!fits) {
        clsMEMDC canvas;
        canvas.CreateDC(std::max(w + w / 8, 1), std::max(h + h / 8, 1), TRANSPARENT);
        image.reset(canvas.ReleasehBmp());
    }
    // A DC set up as clsMEMDC::CreateDC sets up its own, so that everything draws as on a fresh canvas.
    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    const SelectGuard select(dc.get(), image.get());
    if (!dc || !select.selected()) {
        return;
    }
    ::SetStretchBltMode(dc.get(), COLORONCOLOR);
    ::SetBkMode(dc.get(), TRANSPARENT);
    PaintRulerImageOnto(dc.get(), look);
}

std::optional<std::vector<RowRun>> RulerShapeRuns(const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const int bar = look.Metrics().bar;
    if (w <= 0 || h <= 0) {
        return std::vector<RowRun>{};
    }
    std::vector<std::vector<RowRun>> parts;

    // The two bars are filled rectangles: whole rows of red, known without drawing them.
    std::vector<RowRun> bars;
    bars.reserve(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) {
        if (y < bar) {
            if (w > bar) {
                bars.push_back({bar, y, w, y + 1});
            }
        } else {
            bars.push_back({0, y, std::min(w, bar), y + 1});
        }
    }
    parts.push_back(std::move(bars));

    // Draws one part with paint(dc) and adds its runs; false when its canvas could not be made.
    const auto addPart = [&](const RECT& area, const auto& paint) {
        const MaskPart part(area);
        if (part.dc() == nullptr) {
            return false;
        }
        paint(part.dc());
        parts.push_back(part.Runs());
        return true;
    };
    const bool drawn =
        addPart(OnMask({0, 0, bar, bar}, w, h),
                [&](HDC dc) { FillPolygon(dc, CornerTriangle(bar), MaskKeepColor, 0, 0); }) &&
        addPart({0, h - 1, w, h}, [&](HDC dc) { DrawLine(dc, 0, h - 1, w, h - 1, MaskKeepColor, 1, PS_DASHDOTDOT); }) &&
        addPart({w - 1, 0, w, h}, [&](HDC dc) { DrawLine(dc, w - 1, 0, w - 1, h, MaskKeepColor, 1, PS_DASHDOTDOT); });
    if (!drawn) {
        return std::nullopt;
    }

    // The readout is clipped to its box (DrawText without DT_NOCLIP) and sits on the box's bottom
    // right, so its glyphs lie in the box's last rows, at most one text width from its right edge.
    // The part covers that with a margin of two text heights for overhanging glyphs; the box is
    // taken in order, as the text clipping would, even when a tiny window turns it inside out.
    const std::wstring text = RulerReadout(look);
    const RECT box = RulerReadoutBox(look);
    SIZE extent{};
    {
        const UniqueMemoryDC measure(::CreateCompatibleDC(nullptr));
        if (!measure) {
            return std::nullopt;
        }
        const FontSelection font(measure.get(), look);
        ::GetTextExtentPoint32W(measure.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const LONG boxLeft = std::min(box.left, box.right);
    const LONG boxRight = std::max(box.left, box.right);
    const LONG boxTop = std::min(box.top, box.bottom);
    const LONG boxBottom = std::max(box.top, box.bottom);
    const LONG margin = 2 * std::max<LONG>(extent.cy, 1);
    const RECT readoutArea = OnMask({std::max(boxLeft, boxRight - extent.cx - margin),
                                     std::max(boxTop, boxBottom - extent.cy - margin), boxRight, boxBottom},
                                    w, h);
    if (!IsEmptyArea(readoutArea) && !addPart(readoutArea, [&](HDC dc) {
            const FontSelection font(dc, look);
            DrawColoredText(dc, text, box, MaskKeepColor, ReadoutFlags);
        })) {
        return std::nullopt;
    }

    const std::vector<std::span<const RowRun>> lists(parts.begin(), parts.end());
    return UnionOfRuns(lists);
}
