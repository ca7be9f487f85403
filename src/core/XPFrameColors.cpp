#include "core/XPFrameColors.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

namespace {

constexpr int32_t White = 0xFFFFFF;

int32_t Saturate(int64_t value) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Collects the bands of one face. Geometry is worked out in 64 bits, so offsets such as B - 5 or
// T + 15 cannot overflow whatever the face; only the stored band saturates.
class PlanBuilder {
public:
    PlanBuilder(const FaceRect& face, int32_t back, int32_t border, SysColorLookup lookup)
        : l_(face.left), t_(face.top), r_(face.right), b_(face.bottom), back_(back), border_(border), lookup_(lookup) {}

    int64_t L() const { return l_; }
    int64_t T() const { return t_; }
    int64_t R() const { return r_; }
    int64_t B() const { return b_; }
    int64_t Height() const { return b_ - t_; }
    int64_t Half() const { return Height() / 2; }

    int32_t A() const { return back_; }
    int32_t S(int16_t amount) const { return ShadeColor(back_, amount, lookup_); }
    int32_t Mix(int32_t x, int32_t y, int16_t percent) const { return BlendColors(x, y, percent, lookup_); }

    void Body(FaceBandKind kind, int64_t l, int64_t t, int64_t r, int64_t b, int32_t from, int32_t to) {
        Add(plan_.body, plan_.bodyCount, kind, l, t, r, b, from, to);
    }
    // Full-width rows y0 .. y1-1.
    void Rows(int64_t y0, int64_t y1, int32_t from, int32_t to) {
        Body(FaceBandKind::Vertical, l_, y0, r_, y1, from, to);
    }
    void FillRows(int64_t y0, int64_t y1, int32_t colour) { Body(FaceBandKind::Fill, l_, y0, r_, y1, colour, colour); }
    // Full-height columns x0 .. x1-1.
    void Columns(int64_t x0, int64_t x1, int32_t from, int32_t to) {
        Body(FaceBandKind::Horizontal, x0, t_, x1, b_, from, to);
    }

    // Inner lines run in the face deflated by one pixel: L' = L + 1, T' = T + 1, R' = R - 1, B' = B - 1.
    void InnerColumn(int64_t x, int64_t y0, int64_t y1, int32_t from, int32_t to) {
        Add(plan_.inner, plan_.innerCount, FaceBandKind::Vertical, x, y0, x, y1, from, to);
    }
    void InnerRow(int64_t y, int64_t x0, int64_t x1, int32_t from, int32_t to) {
        Add(plan_.inner, plan_.innerCount, FaceBandKind::Horizontal, x0, y, x1, y, from, to);
    }
    // Both side columns over the whole inner height.
    void InnerSides(int32_t from, int32_t to) {
        InnerColumn(l_ + 1, t_ + 1, b_ - 1, from, to);
        InnerColumn(r_ - 2, t_ + 1, b_ - 1, from, to);
    }

    // Corner colours are the border half-mixed with the face colour next to the corner.
    void Corners(int32_t top, int32_t bottom) {
        plan_.cornerTop = Mix(border_, top, 50);
        plan_.cornerBottom = Mix(border_, bottom, 50);
    }

    FacePlan Done() const { return plan_; }

private:
    template <size_t N>
    static void Add(std::array<FaceBand, N>& bands, size_t& count, FaceBandKind kind, int64_t l, int64_t t, int64_t r,
                    int64_t b, int32_t from, int32_t to) {
        assert(count < N && "a style has more bands than the plan holds");
        if (count < N) {
            bands[count++] = FaceBand{kind, FaceRect{Saturate(l), Saturate(t), Saturate(r), Saturate(b)}, from, to};
        }
    }

    int64_t l_, t_, r_, b_;
    int32_t back_;
    int32_t border_;
    SysColorLookup lookup_;
    FacePlan plan_;
};

// The pressed body of styles 5, 6 and 7: dark top half to the back colour, then dark to light.
void PressedHalves(PlanBuilder& p) {
    p.Rows(p.T(), p.T() + p.Half(), p.S(-17), p.A());
    p.Rows(p.T() + p.Half(), p.B(), p.S(-17), p.S(51));
}

// Style 4's highlight band near the top: e4 fading to a mix of the body's dark top and e4 that
// covers the share of the body the band spans.
void HighlightBand(PlanBuilder& p, bool rounded, int32_t e4) {
    const int64_t h = p.Height();
    if (h <= 0) {
        return;
    }
    const int64_t q = h / 4;
    const float share = static_cast<float>(q + 3) * 100.0f / static_cast<float>(h);
    // At most 300 (a face one row high); BlendColors clamps it to 100.
    const auto percent = static_cast<int16_t>(std::min(std::lrint(share), 300L));
    const int32_t o = p.Mix(p.S(-51), e4, percent);
    const int64_t top = p.T() + 2;
    const int64_t end = p.T() + 3 + q;
    if (!rounded) {
        p.Body(FaceBandKind::Vertical, p.L() + 2, top, p.R() - 2, end, e4, o);
        return;
    }
    p.Body(FaceBandKind::Line, p.L() + 4, top, p.R() - 4, top, e4, e4);
    p.Body(FaceBandKind::Vertical, p.L() + 3, top + 1, p.R() - 3, end, e4, o);
    p.Body(FaceBandKind::Line, p.L() + 4, end, p.R() - 4, end, o, o);
}

} // namespace

int32_t AutoBorderColor(int32_t border, int32_t back, SysColorLookup lookup) {
    if (border != AutomaticColor) {
        return border;
    }
    int32_t base = back;
    if (ColorLuminance(back, lookup) > 208) {
        base = ShadeToLuminance(back, 208, lookup);
    }
    return ShadeColor(base, -68, lookup);
}

XPHelperColors XPFrameHelperColors(int32_t back, bool adaptive, SysColorLookup lookup) {
    const int32_t lum = ColorLuminance(back, lookup);
    const int32_t toGrey170 = ShadeToLuminance(back, 170, lookup);
    const int32_t toGrey204 = ShadeToLuminance(back, 204, lookup);
    const int32_t plus34 = ShadeColor(back, 34, lookup);
    const int32_t plus85 = ShadeColor(back, 85, lookup);
    if (!adaptive) {
        return XPHelperColors{plus34, toGrey204, plus85, toGrey204};
    }
    const int32_t e4 = lum > 170 ? White : toGrey204;
    return XPHelperColors{lum < 64 ? toGrey170 : plus34, e4, lum < 102 ? toGrey204 : plus85, e4};
}

FacePlan PlanXPFace(const FaceRect& face, int32_t style, bool pressed, bool rounded, int32_t back, int32_t border,
                    bool adaptive, SysColorLookup lookup) {
    PlanBuilder p(face, back, border, lookup);
    const XPHelperColors e = XPFrameHelperColors(back, adaptive, lookup);
    const int32_t a = p.A();
    const int64_t T = p.T();
    const int64_t B = p.B();
    const int64_t half = p.Half();

    switch (style) {
    case 0:
        p.FillRows(T, B, a);
        if (pressed) {
            // A sunken look: light towards the bottom right, dark along the top left.
            p.Rows(B - 5, B, a, e.e0);
            p.Columns(p.R() - 5, p.R(), a, e.e0);
            p.Rows(T, T + 6, p.S(-34), a);
            p.Columns(p.L(), p.L() + 6, p.S(-34), a);
        }
        p.Corners(a, a);
        break;
    case 1:
        if (!pressed) {
            p.Rows(T, B, p.S(51), p.S(-17));
            p.Corners(p.S(51), a);
        } else {
            p.Rows(T, B, p.S(-17), p.S(51));
            p.Corners(a, p.S(51));
        }
        break;
    case 2:
        if (!pressed) {
            p.Rows(T, T + half, p.S(-17), p.S(51));
            p.Rows(T + half, B, p.S(51), p.S(-17));
            p.Corners(p.S(-17), p.S(-17));
        } else {
            p.Rows(T, T + half, p.S(51), p.S(-17));
            p.Rows(T + half, B, p.S(-17), p.S(51));
            p.Corners(p.S(51), p.S(51));
        }
        break;
    case 4:
        if (!pressed) {
            p.Rows(T, B, p.S(-51), e.e4);
            HighlightBand(p, rounded, e.e4);
        } else {
            p.Rows(T, T + 5, p.S(-51), a);
            p.FillRows(T + 5, T + 15, a);
            p.Rows(T + 15, B, a, e.e4);
            p.InnerColumn(p.L() + 1, T + 1, T + 11, p.S(-51), a);
        }
        p.Corners(p.S(-51), e.e4);
        break;
    case 5:
    case 6:
        if (!pressed) {
            if (style == 5) {
                p.Rows(T, T + half, p.S(34), a);
            } else {
                p.Rows(T, T + half, p.S(128), p.S(32));
            }
            p.Rows(T + half, B, p.S(-51), a);
            const int32_t light = style == 5 ? p.S(51) : p.S(128);
            p.InnerSides(light, a);
            p.Corners(light, a);
        } else {
            PressedHalves(p);
            p.InnerSides(a, p.S(51));
            p.Corners(a, p.S(51));
        }
        break;
    case 7:
        if (!pressed) {
            p.Rows(T, T + 7, White, p.S(85));
            p.Rows(T + 7, T + half, p.S(85), a);
            p.Rows(T + half, B, p.S(-51), e.e7);
            p.InnerColumn(p.L() + 1, T + 1, B - 1, White, p.S(34));
            p.InnerColumn(p.R() - 2, T + 1, B - 1, White, p.S(85));
            p.InnerRow(T + 1, p.L() + 1, p.R() - 1, p.S(85), White);
            p.Corners(White, e.e7);
        } else {
            PressedHalves(p);
            p.InnerSides(a, p.S(51));
            p.Corners(a, p.S(51));
        }
        break;
    case 8: {
        // The light edge is at the top when raised and at the bottom when pressed.
        const int32_t top = pressed ? p.S(-51) : e.e8;
        const int32_t bottom = pressed ? e.e8 : p.S(-51);
        p.Rows(T, T + 4, top, a);
        p.FillRows(T + 4, B - 4, a);
        p.Rows(B - 4, B, a, bottom);
        p.InnerColumn(p.L() + 1, T + 1, T + 11, top, a);
        p.InnerColumn(p.R() - 2, B - 11, B - 1, a, bottom);
        p.Corners(top, bottom);
        break;
    }
    default: {
        // Style 3, the default look, also for -1 and any style this painter does not know.
        const int64_t k = p.Height() / 3 + 2;
        if (!pressed) {
            p.Rows(T, T + k, p.S(34), a);
            p.Rows(T + k, B, p.S(-17), a);
            p.InnerSides(p.S(51), a);
            p.Corners(p.S(34), a);
        } else {
            p.Rows(T, T + k, p.S(-17), a);
            p.Rows(T + k, B, p.S(-17), p.S(51));
            p.InnerSides(a, p.S(51));
            p.Corners(a, p.S(51));
        }
        break;
    }
    }
    return p.Done();
}
