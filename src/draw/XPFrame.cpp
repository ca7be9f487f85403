#include "draw/XPFrame.h"

#include <algorithm>
#include <climits>

#include "core/XPFrameColors.h"
#include "draw/DrawHelpers.h"

namespace {

constexpr int32_t DefaultFrameColor = 0xECBEA0;
constexpr int32_t CancelFrameColor = 0x808080;

// value + offset, held inside the range a RECT coordinate can take.
LONG Offset(LONG value, int offset) {
    return static_cast<LONG>(std::clamp<long long>(static_cast<long long>(value) + offset, LONG_MIN, LONG_MAX));
}

RECT Deflated(const RECT& rect, int by) {
    return RECT{Offset(rect.left, by), Offset(rect.top, by), Offset(rect.right, -by), Offset(rect.bottom, -by)};
}

bool IsEmpty(const RECT& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}

// Restricts drawing to a rectangle (within whatever clipping the DC already has) while it lives.
// Several styles have bands of fixed height (5, 6, 7, 15 rows ...) that would otherwise spill onto
// whatever lies below a short face, such as the next item of a menu. The DC's own clip region comes
// back afterwards. An empty rectangle clips everything.
class FaceClip {
public:
    FaceClip(HDC dc, const RECT& face) noexcept : dc_(dc), saved_(::SaveDC(dc)) {
        if (saved_ != 0) {
            ::IntersectClipRect(dc, face.left, face.top, face.right, face.bottom);
        }
    }
    FaceClip(const FaceClip&) = delete;
    FaceClip& operator=(const FaceClip&) = delete;
    ~FaceClip() {
        if (saved_ != 0) {
            ::RestoreDC(dc_, saved_);
        }
    }

private:
    HDC dc_;
    int saved_;
};

void Paint(HDC dc, const FaceBand& band) {
    const FaceRect& r = band.area;
    switch (band.kind) {
    case FaceBandKind::Fill:
        // FillRect would paint an inverted rectangle; bands that have collapsed on a short face
        // (style 8's middle, say) must paint nothing.
        if (r.right > r.left && r.bottom > r.top) {
            FillOrFrameRectXY(dc, r.left, r.top, r.right, r.bottom, band.from, true);
        }
        break;
    case FaceBandKind::Vertical:
        GradientVertical(dc, r.left, r.top, r.right, r.bottom, band.from, band.to);
        break;
    case FaceBandKind::Horizontal:
        GradientHorizontal(dc, r.left, r.top, r.right, r.bottom, band.from, band.to);
        break;
    case FaceBandKind::Line:
        DrawLine(dc, r.left, r.top, r.right, r.bottom, band.from);
        break;
    }
}

// A rounded border: the square ring in the outer colour, then the outline with 4 x 4 corner ellipses
// over it, so the corner pixels the outline leaves out show the outer colour.
void RoundedBorder(HDC dc, const RECT& rect, int32_t outer, int32_t border) {
    FillOrFrameRect(dc, rect, outer, false);
    DrawRoundRectRect(dc, rect, false, 0, border, 1, PS_SOLID, 4);
}

// Softens the rounded outline: the two pixels beside each corner's gap take mostly the border colour.
void BlendedCornerPixels(HDC dc, const RECT& rect, int32_t border, int32_t back) {
    const int32_t colour = BlendColors(border, back, 30);
    const LONG l = rect.left;
    const LONG t = rect.top;
    const LONG r = rect.right;
    const LONG b = rect.bottom;
    const POINT pixels[] = {{Offset(l, 1), t},
                            {l, Offset(t, 1)},
                            {Offset(r, -2), t},
                            {Offset(r, -1), Offset(t, 1)},
                            {Offset(l, 1), Offset(b, -1)},
                            {l, Offset(b, -2)},
                            {Offset(r, -2), Offset(b, -1)},
                            {Offset(r, -1), Offset(b, -2)}};
    for (const POINT& p : pixels) {
        SetPixelColor(dc, p.x, p.y, colour);
    }
}

// The four pixels just inside the rounded outline's corners.
void InnerCornerPixels(HDC dc, const RECT& rect, int32_t top, int32_t bottom) {
    const RECT in = Deflated(rect, 1);
    SetPixelColor(dc, in.left, in.top, top);
    SetPixelColor(dc, Offset(in.right, -1), in.top, top);
    SetPixelColor(dc, in.left, Offset(in.bottom, -1), bottom);
    SetPixelColor(dc, Offset(in.right, -1), Offset(in.bottom, -1), bottom);
}

} // namespace

int32_t AutoBorderColor(int32_t border, int32_t back) {
    return AutoBorderColor(border, back, &SysColor);
}

void DrawXPFrame(HDC dc, const RECT& rect, int32_t back, bool drawBorder, int32_t border, bool pressed, bool isDefault,
                 bool isCancel, bool focus, bool rounded, int32_t style, int32_t outer, bool adaptive) {
    if (IsEmpty(rect)) {
        return;
    }
    // System colour codes are looked up once here rather than in every shade and mix below.
    const int32_t a = TranslateColor(back);
    const int32_t b = TranslateColor(AutoBorderColor(border, a));
    const int32_t c = outer == AutomaticColor ? a : TranslateColor(outer);
    const FacePlan plan = PlanXPFace(FaceRect{rect.left, rect.top, rect.right, rect.bottom}, style, pressed, rounded, a,
                                     b, adaptive, &SysColor);

    const FaceClip clip(dc, rect);
    for (size_t i = 0; i < plan.bodyCount; ++i) {
        Paint(dc, plan.body[i]);
    }
    if (drawBorder) {
        if (rounded) {
            RoundedBorder(dc, rect, c, b);
        } else {
            FillOrFrameRect(dc, rect, b, false);
        }
        {
            // Inner lines belong inside the border; on short faces the fixed-length ones (10 rows
            // for styles 4 and 8) and style 7's top row would otherwise run over it.
            const FaceClip inside(dc, Deflated(rect, 1));
            for (size_t i = 0; i < plan.innerCount; ++i) {
                Paint(dc, plan.inner[i]);
            }
        }
        if (rounded) {
            InnerCornerPixels(dc, rect, plan.cornerTop, plan.cornerBottom);
            BlendedCornerPixels(dc, rect, b, a);
        }
    }

    const RECT in1 = Deflated(rect, 1);
    if (!IsEmpty(in1)) {
        if (isDefault) {
            FillOrFrameRect(dc, in1, DefaultFrameColor, false);
        } else if (isCancel) {
            FillOrFrameRect(dc, in1, CancelFrameColor, false);
        }
    }
    const RECT in2 = Deflated(rect, 2);
    if (focus && !IsEmpty(in2)) {
        ::DrawFocusRect(dc, &in2);
    }
}

void DrawTextBoxFrame(HDC dc, const RECT& rect, int32_t back, int32_t border, bool rounded, int32_t outer,
                      bool onlyBottom) {
    if (IsEmpty(rect)) {
        return;
    }
    const int32_t a = TranslateColor(back);
    const int32_t b = TranslateColor(AutoBorderColor(border, a));
    // The ring between the border and the edit window inside it.
    const RECT in1 = Deflated(rect, 1);
    if (!IsEmpty(in1)) {
        FillOrFrameRect(dc, in1, a, false);
    }
    if (onlyBottom) {
        FillOrFrameRect(dc, rect, a, false);
        const LONG y = Offset(rect.bottom, -1);
        DrawLine(dc, Offset(rect.left, 1), y, Offset(rect.right, -1), y, b);
        return;
    }
    if (!rounded) {
        FillOrFrameRect(dc, rect, b, false);
        return;
    }
    RoundedBorder(dc, rect, outer == AutomaticColor ? a : outer, b);
    const int32_t corner = BlendColors(b, a, 50);
    InnerCornerPixels(dc, rect, corner, corner);
    BlendedCornerPixels(dc, rect, b, a);
}
