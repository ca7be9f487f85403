#include "ruler/RulerDrawing.h"

#include "draw/CanvasDC.h"
#include "draw/DrawHelpers.h"
#include "draw/clsMEMDC.h"
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

// The ruler's font selected into a DC for as long as it lives; the DC's font is put back after.
class FontSelection {
public:
    FontSelection(HDC dc, const RulerLook& look) : font_(CreateRulerFont(look)), select_(dc, font_.get()) {}

private:
    UniqueFont font_;
    SelectGuard select_; // a null font selects nothing
};

// One solid one-pixel pen of the fore colour, selected for all the lines of a scale instead of one
// made, selected and deleted per line: the same pixels, a few hundred fewer GDI objects per redraw.
// Without the pen no line is drawn (the labels still are), as with DrawLine.
class ScalePen {
public:
    ScalePen(HDC dc, int32_t colour) : dc_(dc), pen_(CreateColorPen(PS_SOLID, 1, colour)), select_(dc, pen_.get()) {}

    // A line from (x1, y1) towards (x2, y2), the end point excluded.
    void Line(int x1, int y1, int x2, int y2) const noexcept {
        if (pen_) {
            ::MoveToEx(dc_, x1, y1, nullptr);
            ::LineTo(dc_, x2, y2);
        }
    }

private:
    HDC dc_;
    UniquePen pen_;
    SelectGuard select_;
};

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

// The triangle of the corner square that belongs to the shape (the upper-left half does not).
std::array<POINT, 3> CornerTriangle(int bar) noexcept {
    return {{{0, bar}, {bar, 0}, {bar, bar}}};
}

// One part of the shape mask, drawn on a canvas of its own that covers only the part's area of the
// whole mask. The canvas's viewport origin is moved by the area's top-left corner, so the part is
// drawn with the very calls and coordinates of the whole mask and its pixels are the whole mask's
// pixels of that area: GDI draws the same for a shift by whole pixels. The canvas is a top-down
// 32-bit DIB section, read in place (no screen DC, no GetDIBits copy), and kept for the next drawing
// of the same size. The part's runs are kept too, with the key of what they were drawn from: a part
// asked again with that key is not drawn again, only moved to its new area.
class MaskPart {
public:
    // What a part is drawn from, besides its area's place: the same key draws the same pixels.
    using Key = std::array<int, 3>;

    // The part's runs in whole-mask coordinates, from paint(dc) on a canvas for `area` (not empty)
    // unless `key` is that of the runs kept. No key: always drawn. nullopt when the canvas cannot be
    // made.
    template <typename Paint>
    [[nodiscard]] std::optional<std::vector<RowRun>> Runs(const RECT& area, std::optional<Key> key,
                                                          const Paint& paint) {
        if (!key || key != key_) {
            key_.reset();
            if (!Prepare(area)) {
                return std::nullopt;
            }
            paint(dc_.get());
            Scan();
            key_ = key;
        }
        std::vector<RowRun> runs(runs_);
        for (RowRun& r : runs) {
            r = {r.left + area.left, r.top + area.top, r.right + area.left, r.bottom + area.top};
        }
        return runs;
    }

private:
    // A canvas of the area's size, all MaskCutColor, with its origin moved; false when it cannot be made.
    [[nodiscard]] bool Prepare(const RECT& area) {
        const int width = area.right - area.left;
        const int height = area.bottom - area.top;
        if (!bits_ || width != width_ || height != height_) {
            bits_ = nullptr;
            dc_.Close();
            bitmap_.reset();
            if (!dc_.Open()) {
                return false;
            }
            BITMAPINFO info{};
            info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
            void* bits = nullptr;
            bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
            if (!bitmap_ || !dc_.Select(bitmap_.get(), TRANSPARENT)) {
                return false;
            }
            bits_ = static_cast<const uint8_t*>(bits);
            width_ = width;
            height_ = height;
        }
        ::SetViewportOrgEx(dc_.get(), 0, 0, nullptr);
        dc_.Fill(width_, height_, MaskCutColor);
        ::SetViewportOrgEx(dc_.get(), -area.left, -area.top, nullptr);
        return true;
    }

    // Keeps the runs of the canvas's pixels, relative to its top-left corner.
    void Scan() {
        ::GdiFlush(); // GDI may batch drawing; the bits must be complete before they are read
        const std::span<const uint8_t> pixels(bits_, 4 * static_cast<size_t>(width_) * static_cast<size_t>(height_));
        const ScanRequest request{pixels, width_, height_, TransparentKey(MaskCutColor, pixels, nullptr), false, {}, 4};
        runs_ = ScanRowRuns(request);
    }

    int width_ = 0;
    int height_ = 0;
    // Declared before the DC, so that the DC lets go of the bitmap before it is deleted.
    UniqueBitmap bitmap_;
    CanvasDC dc_;
    const uint8_t* bits_ = nullptr;
    std::optional<Key> key_;
    std::vector<RowRun> runs_;
};

// The part of the w x h picture inside `area`; empty when nothing of it lies on the picture.
RECT OnPicture(RECT area, int w, int h) noexcept {
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    area.right = std::min<LONG>(area.right, w);
    area.bottom = std::min<LONG>(area.bottom, h);
    return area;
}

bool IsEmptyArea(const RECT& area) noexcept {
    return area.left >= area.right || area.top >= area.bottom;
}

// Collects where a DC is drawn on: GDI's bounds of everything drawn between Start and Take.
class DrawnBounds {
public:
    explicit DrawnBounds(HDC dc) noexcept : dc_(dc) {}
    DrawnBounds(const DrawnBounds&) = delete;
    DrawnBounds& operator=(const DrawnBounds&) = delete;
    ~DrawnBounds() { ::SetBoundsRect(dc_, nullptr, DCB_DISABLE); }

    void Start() noexcept { ::SetBoundsRect(dc_, nullptr, DCB_ENABLE | DCB_RESET); }
    // The bounds of what was drawn since Start, grown by `margin` each way (GDI's bounds of text need
    // not hold a glyph's overhang), and cut to the w x h picture; nullopt when GDI cannot tell.
    [[nodiscard]] std::optional<RECT> Take(int margin, int w, int h) noexcept {
        // Enabling again changes nothing, and tells whether the bounds were collected all along.
        if ((::SetBoundsRect(dc_, nullptr, DCB_ENABLE) & DCB_ENABLE) == 0) {
            return std::nullopt;
        }
        RECT bounds{};
        const UINT state = ::GetBoundsRect(dc_, &bounds, DCB_RESET);
        if (state == 0) {
            return std::nullopt;
        }
        if ((state & DCB_SET) != DCB_SET) {
            return RECT{}; // nothing drawn
        }
        ::InflateRect(&bounds, margin, margin);
        return OnPicture(bounds, w, h);
    }

private:
    HDC dc_;
};
} // namespace

void DrawHorizontalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                         const RulerMetrics& m) {
    const ScalePen pen(canvas, foreColor);
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch, m.bar)) {
        pen.Line(tick.position, TickStart(tick.kind, m), tick.position, m.bar);
        if (tick.kind == TickKind::Major) {
            const auto x = static_cast<int>(
                std::lrint(static_cast<float>(m.bar) + tick.offset + static_cast<float>(m.topLabelOffset)));
            DrawTextAt(canvas, FormatLabel(tick.value), x, m.topLabelRow);
        }
    }
    pen.Line(length - m.endMarkNear, m.endMarkFrom, length - m.endMarkNear, m.endMarkTo);
    pen.Line(length - m.endMarkFar, m.endMarkFrom, length - m.endMarkFar, m.endMarkTo);
}

void DrawVerticalScale(HDC canvas, int length, ScaleUnit unit, double pixelsPerInch, int32_t foreColor,
                       const RulerMetrics& m) {
    const ScalePen pen(canvas, foreColor);
    for (const Tick& tick : WalkScale(unit, length, pixelsPerInch, m.bar)) {
        pen.Line(TickStart(tick.kind, m), tick.position, m.bar, tick.position);
        if (tick.kind == TickKind::Major) {
            const auto y = static_cast<int>(std::lrint(static_cast<float>(m.bar) + tick.offset));
            DrawTextAt(canvas, FormatLabel(tick.value), m.leftLabelColumn, y);
        }
    }
    pen.Line(m.endMarkFrom, length - m.endMarkNear, m.endMarkTo, length - m.endMarkNear);
    pen.Line(m.endMarkFrom, length - m.endMarkFar, m.endMarkTo, length - m.endMarkFar);
}

void DrawRulerReadout(HDC dc, const RulerLook& look, int32_t colour) {
    DrawColoredText(dc, RulerReadout(look), RulerReadoutBox(look), colour, ReadoutFlags);
}

void DrawMaskCorner(HDC dc, const RulerLook& look) {
    FillPolygon(dc, CornerTriangle(look.Metrics().bar), MaskKeepColor, 0, 0);
}

void DrawMaskBottomEdge(HDC dc, const RulerLook& look) {
    DrawLine(dc, 0, look.height - 1, look.width, look.height - 1, MaskKeepColor, 1, PS_DASHDOTDOT);
}

void DrawMaskRightEdge(HDC dc, const RulerLook& look) {
    DrawLine(dc, look.width - 1, 0, look.width - 1, look.height, MaskKeepColor, 1, PS_DASHDOTDOT);
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

// ---- RulerImage --------------------------------------------------------------------------------

bool RulerImage::Fits(int w, int h) const noexcept {
    BITMAP held{};
    return bitmap_ && ::GetObjectW(bitmap_.get(), sizeof(held), &held) == sizeof(held) && held.bmWidth >= w &&
           held.bmHeight >= h && int64_t{held.bmWidth} * held.bmHeight <= 4 * std::max<int64_t>(int64_t{w} * h, 1);
}

void RulerImage::Clear(HDC dc, int w, int h, COLORREF background) const {
    const UniqueBrush brush(::CreateSolidBrush(background));
    if (!brush) {
        return; // the fill below would read a null brush as a system colour index
    }
    const auto fill = [&](const RECT& r) { ::FillRect(dc, &r, brush.get()); };
    if (held_.cx <= 0 || held_.cy <= 0 || !drawn_ || background != background_) {
        fill({0, 0, w, h});
        return;
    }
    for (const RECT& r : *drawn_) {
        fill(r);
    }
    // Beyond the image held the bitmap holds anything: an older, larger image, or nothing drawn yet.
    if (w > held_.cx) {
        fill({held_.cx, 0, w, h});
    }
    if (h > held_.cy) {
        fill({0, held_.cy, std::min<LONG>(w, held_.cx), h});
    }
}

void RulerImage::Paint(const RulerLook& look) {
    const int w = std::max(look.width, 0);
    const int h = std::max(look.height, 0);
    if (!Fits(w, h)) {
        clsMEMDC canvas;
        canvas.CreateDC(std::max(w + w / 8, 1), std::max(h + h / 8, 1), TRANSPARENT);
        bitmap_.reset(canvas.ReleasehBmp());
        held_ = {};
        drawn_.reset();
    }
    // Set up as every canvas is, so that everything draws as on a fresh canvas.
    CanvasDC canvas;
    if (!canvas.Open() || !canvas.Select(bitmap_.get(), TRANSPARENT)) {
        return;
    }
    const HDC dc = canvas.get();
    // Clipped to w x h, the bitmap draws and clips exactly like a fresh canvas of that size (the
    // gradients, for one, only draw the rows inside the clip box).
    ::IntersectClipRect(dc, 0, 0, w, h);
    const auto background = static_cast<COLORREF>(TranslateColor(look.backColor));
    Clear(dc, w, h, background);
    // In between pictures until the end: should anything below throw, there is no image to show and
    // the next paint fills it all.
    held_ = {};
    drawn_.reset();

    const int bar = look.Metrics().bar;
    const int32_t light = ShadeColor(look.backColor, 51);
    const int32_t dark = ShadeColor(look.backColor, -17);
    // Each bar's gradient runs across it, so every column of the top bar is the same, and every row
    // of the left bar: paint the first one (the same colours as the whole gradient gives it) and copy
    // it along, doubling what is copied each time. Stretching the colours over the whole bar, or
    // full-length lines, would cost several times more.
    if (w > bar) {
        GradientVertical(dc, bar, 0, bar + 1, bar, light, dark);
        for (int done = 1; done < w - bar; done *= 2) {
            ::BitBlt(dc, bar + done, 0, std::min(done, w - bar - done), bar, dc, bar, 0, SRCCOPY);
        }
    }
    if (h > bar) {
        GradientHorizontal(dc, 0, bar, bar, bar + 1, light, dark);
        for (int done = 1; done < h - bar; done *= 2) {
            ::BitBlt(dc, 0, bar + done, bar, std::min(done, h - bar - done), dc, 0, bar, SRCCOPY);
        }
    }
    std::vector<RECT> drawn{OnPicture({0, 0, w, bar}, w, h), OnPicture({0, 0, bar, h}, w, h)};

    const FontSelection font(dc, look);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int margin = metrics.tmHeight;
    DrawnBounds bounds(dc);
    bool known = true;
    const auto record = [&] {
        const std::optional<RECT> area = bounds.Take(margin, w, h);
        known = known && area.has_value();
        if (area && !IsEmptyArea(*area)) {
            drawn.push_back(*area);
        }
    };
    const RulerMetrics m = look.Metrics();
    bounds.Start();
    DrawHorizontalScale(dc, w, look.unit, look.pixelsPerInchX, look.foreColor, m);
    record();
    bounds.Start();
    DrawVerticalScale(dc, h, look.unit, look.pixelsPerInchY, look.foreColor, m);
    record();
    bounds.Start();
    DrawRulerReadout(dc, look, look.foreColor);
    record();

    held_ = {w, h};
    background_ = background;
    // Without GDI's bounds the next paint cannot tell what is background, and fills it all.
    if (known) {
        drawn_ = std::move(drawn);
    }
}

bool RulerImage::CopyTo(HDC dc) const noexcept {
    if (held_.cx <= 0 || held_.cy <= 0) {
        return false;
    }
    CanvasDC source;
    if (!source.Open(dc) || !source.Select(bitmap_.get())) {
        return false;
    }
    return ::BitBlt(dc, 0, 0, held_.cx, held_.cy, source.get(), 0, 0, SRCCOPY) != 0;
}

// ---- The shape -----------------------------------------------------------------------------------

struct RulerShape::Parts {
    MaskPart corner;
    MaskPart bottomEdge;
    MaskPart rightEdge;
    MaskPart readout;
};

RulerShape::RulerShape() : parts_(std::make_unique<Parts>()) {}

RulerShape::~RulerShape() = default;

std::optional<std::vector<RowRun>> RulerShape::Runs(const RulerLook& look) {
    const int w = look.width;
    const int h = look.height;
    const int bar = look.Metrics().bar;
    if (w <= 0 || h <= 0) {
        return std::vector<RowRun>{};
    }
    std::vector<std::vector<RowRun>> lists;

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
    lists.push_back(std::move(bars));

    // Adds a part's runs; false when its canvas could not be made. The corner depends on the bar and
    // how much of the corner square the window holds, each edge only on its length.
    const auto add = [&](MaskPart& part, const RECT& area, std::optional<MaskPart::Key> key, const auto& paint) {
        std::optional<std::vector<RowRun>> runs = part.Runs(area, key, paint);
        if (runs) {
            lists.push_back(std::move(*runs));
        }
        return runs.has_value();
    };
    const RECT cornerArea = OnPicture({0, 0, bar, bar}, w, h);
    if (!add(parts_->corner, cornerArea, MaskPart::Key{bar, cornerArea.right, cornerArea.bottom},
             [&](HDC dc) { DrawMaskCorner(dc, look); }) ||
        !add(parts_->bottomEdge, {0, h - 1, w, h}, MaskPart::Key{w, 0, 0},
             [&](HDC dc) { DrawMaskBottomEdge(dc, look); }) ||
        !add(parts_->rightEdge, {w - 1, 0, w, h}, MaskPart::Key{h, 0, 0},
             [&](HDC dc) { DrawMaskRightEdge(dc, look); })) {
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
    const RECT readoutArea = OnPicture({std::max(boxLeft, boxRight - extent.cx - margin),
                                        std::max(boxTop, boxBottom - extent.cy - margin), boxRight, boxBottom},
                                       w, h);
    if (!IsEmptyArea(readoutArea) && !add(parts_->readout, readoutArea, std::nullopt, [&](HDC dc) {
            const FontSelection font(dc, look);
            DrawRulerReadout(dc, look, MaskKeepColor);
        })) {
        return std::nullopt;
    }

    const std::vector<std::span<const RowRun>> spans(lists.begin(), lists.end());
    return UnionOfRuns(spans);
}
