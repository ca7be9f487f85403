// The face painter against real GDI: faces are painted into a 32-bpp DIB section and characteristic
// pixels are read back (first and last rows of each band, inner lines, border, corners, overlays).
#include "draw/XPFrame.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "draw/DrawHelpers.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

constexpr int32_t Sentinel = Rgb(1, 2, 3);
constexpr int32_t White = 0xFFFFFF;
// Grey value 135, so the adaptive highlights are plain shades: e0 = +34, e4 = e8 = +69 (up to grey
// value 204), e7 = +85.
constexpr int32_t Back = Rgb(96, 144, 192);
constexpr int32_t Border = Rgb(30, 50, 80);
constexpr int32_t Outer = Rgb(200, 10, 10);

// The face: 52 x 36, so half = 18, style 3's k = 36 / 3 + 2 = 14 and style 4's q = 9.
constexpr int CanvasWidth = 64, CanvasHeight = 48;
constexpr int L = 6, T = 5, R = 58, B = 41;
constexpr RECT Face{L, T, R, B};
constexpr int X = 32, Y = 23; // a column and a row in the middle of the face

int32_t S(int amount) {
    return ShadeColor(Back, static_cast<int16_t>(amount));
}
int32_t M(int32_t x, int32_t y, int percent = 50) {
    return BlendColors(x, y, static_cast<int16_t>(percent));
}
const int32_t E0 = S(34);
const int32_t E4 = S(69);
const int32_t E7 = S(85);
const int32_t E8 = E4;

// Row (column) k of an n-row gradient: (n - k) / n of `from` and k / n of `to`, per channel.
int32_t Mix(int32_t from, int32_t to, int k, int n) {
    const auto channel = [&](int shift) {
        const double f = (from >> shift) & 0xFF;
        const double t = (to >> shift) & 0xFF;
        return static_cast<int>((f * (n - k) + t * k) / n + 0.5);
    };
    return Rgb(channel(0), channel(8), channel(16));
}

struct Probe {
    int x, y;
    int32_t colour;
    int tolerance; // per channel: 0 for exact colours, 1 where single-precision stepping may round differently
};

std::vector<Probe> Exact(std::initializer_list<std::pair<int, int>> points, int32_t colour) {
    std::vector<Probe> probes;
    for (const auto& [x, y] : points) {
        probes.push_back({x, y, colour, 0});
    }
    return probes;
}

// The first and last row of the gradient over rows y0 .. y1-1, at column x.
std::vector<Probe> Rows(int x, int y0, int y1, int32_t from, int32_t to) {
    return {{x, y0, from, 0}, {x, y1 - 1, Mix(from, to, y1 - y0 - 1, y1 - y0), 1}};
}
// The first and last column of the gradient over columns x0 .. x1-1, on row y.
std::vector<Probe> Columns(int y, int x0, int x1, int32_t from, int32_t to) {
    return {{x0, y, from, 0}, {x1 - 1, y, Mix(from, to, x1 - x0 - 1, x1 - x0), 1}};
}

std::vector<Probe> Join(std::initializer_list<std::vector<Probe>> parts) {
    std::vector<Probe> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

int32_t At(const DibCanvas& canvas, int x, int y) {
    return static_cast<int32_t>(canvas.pixel(x, y));
}

::testing::AssertionResult Matches(const DibCanvas& canvas, const std::vector<Probe>& probes) {
    for (const Probe& p : probes) {
        const int32_t got = At(canvas, p.x, p.y);
        for (int shift = 0; shift < 24; shift += 8) {
            if (std::abs(((got >> shift) & 0xFF) - ((p.colour >> shift) & 0xFF)) > p.tolerance) {
                return ::testing::AssertionFailure() << "pixel (" << p.x << ", " << p.y << ") is 0x" << std::hex << got
                                                     << ", expected 0x" << p.colour;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// Every pixel outside the rectangle still has the canvas's fill.
::testing::AssertionResult UntouchedOutside(const DibCanvas& canvas, const RECT& rect) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            if (!inside && At(canvas, x, y) != Sentinel) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") outside the face is 0x" << std::hex << At(canvas, x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SamePixels(const DibCanvas& a, const DibCanvas& b) {
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (At(a, x, y) != At(b, x, y)) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << "): 0x" << std::hex << At(a, x, y) << " vs 0x" << At(b, x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

struct Look {
    int32_t style = 3;
    bool pressed = false;
    bool border = true;
    bool rounded = false;
    bool isDefault = false;
    bool isCancel = false;
    bool focus = false;
    int32_t back = Back;
    int32_t borderColour = Border;
    int32_t outer = Outer;
    bool adaptive = true;
};

void Paint(DibCanvas& canvas, const Look& look, const RECT& rect = Face) {
    DrawXPFrame(canvas.dc(), rect, look.back, look.border, look.borderColour, look.pressed, look.isDefault,
                look.isCancel, look.focus, look.rounded, look.style, look.outer, look.adaptive);
}

// One face style in one state: its body (painted without border), its inner lines (square border)
// and its two corner colours (rounded border).
struct StyleCase {
    int32_t style;
    bool pressed;
    std::vector<Probe> body;
    std::vector<Probe> lines;
    int32_t cornerTop;
    int32_t cornerBottom;
};

// Inside the border: L' = L + 1, T' = T + 1, R' = R - 1, B' = B - 1.
constexpr int Li = L + 1, Ti = T + 1, Ri = R - 1, Bi = B - 1;

std::vector<StyleCase> StyleCases() {
    const int32_t o = M(S(-51), E4, 33); // style 4's band end: (9 + 3) * 100 / 36 = 33 percent
    // Styles without inner lines show their body right inside the border.
    const auto sides = [](int32_t from, int32_t to) {
        return Join({Rows(Li, Ti, Bi, from, to), Rows(Ri - 1, Ti, Bi, from, to)});
    };
    const auto pressedHalves = Join({Rows(X, T, T + 18, S(-17), Back), Rows(X, T + 18, B, S(-17), S(51))});
    return {
        {0, false, Exact({{X, T}, {X, B - 1}, {L, T}, {R - 1, B - 1}}, Back), Exact({{Li, Y}}, Back), M(Border, Back),
         M(Border, Back)},
        {0,
         true,
         Join({Rows(X, T, T + 6, S(-34), Back), Rows(X, B - 5, B, Back, E0), Columns(Y, L, L + 6, S(-34), Back),
               Columns(Y, R - 5, R, Back, E0), Exact({{X, Y}}, Back)}),
         {{Li, Y, Mix(S(-34), Back, 1, 6), 1}},
         M(Border, Back),
         M(Border, Back)},
        {1,
         false,
         Rows(X, T, B, S(51), S(-17)),
         {{Li, Y, Mix(S(51), S(-17), Y - T, 36), 1}},
         M(Border, S(51)),
         M(Border, Back)},
        {1,
         true,
         Rows(X, T, B, S(-17), S(51)),
         {{Li, Y, Mix(S(-17), S(51), Y - T, 36), 1}},
         M(Border, Back),
         M(Border, S(51))},
        {2, false, Join({Rows(X, T, T + 18, S(-17), S(51)), Rows(X, T + 18, B, S(51), S(-17))}),
         Exact({{Li, T + 18}}, S(51)), M(Border, S(-17)), M(Border, S(-17))},
        {2, true, Join({Rows(X, T, T + 18, S(51), S(-17)), Rows(X, T + 18, B, S(-17), S(51))}),
         Exact({{Li, T + 18}}, S(-17)), M(Border, S(51)), M(Border, S(51))},
        {3, false, Join({Rows(X, T, T + 14, S(34), Back), Rows(X, T + 14, B, S(-17), Back)}), sides(S(51), Back),
         M(Border, S(34)), M(Border, Back)},
        {3, true, Join({Rows(X, T, T + 14, S(-17), Back), Rows(X, T + 14, B, S(-17), S(51))}), sides(Back, S(51)),
         M(Border, Back), M(Border, S(51))},
        // The highlight band covers columns L+2 .. R-3 only.
        {4,
         false,
         Join({Rows(L, T, B, S(-51), E4),
               Rows(X, T + 2, T + 12, E4, o),
               {{L + 1, T + 2, Mix(S(-51), E4, 2, 36), 1},
                {R - 2, T + 2, Mix(S(-51), E4, 2, 36), 1},
                {X, T + 12, Mix(S(-51), E4, 12, 36), 1}}}),
         {{Li, Y, Mix(S(-51), E4, Y - T, 36), 1}},
         M(Border, S(-51)),
         M(Border, E4)},
        {4, true,
         Join({Rows(X, T, T + 5, S(-51), Back), Exact({{X, T + 5}, {X, T + 14}}, Back), Rows(X, T + 15, B, Back, E4)}),
         Join({Rows(Li, Ti, Ti + 10, S(-51), Back), Exact({{Li, Ti + 10}}, Back)}), M(Border, S(-51)), M(Border, E4)},
        {5, false, Join({Rows(X, T, T + 18, S(34), Back), Rows(X, T + 18, B, S(-51), Back)}), sides(S(51), Back),
         M(Border, S(51)), M(Border, Back)},
        {5, true, pressedHalves, sides(Back, S(51)), M(Border, Back), M(Border, S(51))},
        {6, false, Join({Rows(X, T, T + 18, S(128), S(32)), Rows(X, T + 18, B, S(-51), Back)}), sides(S(128), Back),
         M(Border, S(128)), M(Border, Back)},
        {6, true, pressedHalves, sides(Back, S(51)), M(Border, Back), M(Border, S(51))},
        // The top inner row is painted over the two columns' first pixels.
        {7, false,
         Join({Rows(X, T, T + 7, White, S(85)), Rows(X, T + 7, T + 18, S(85), Back), Rows(X, T + 18, B, S(-51), E7)}),
         Join({Columns(Ti, Li, Ri, S(85), White),
               {{Li, Ti + 1, Mix(White, S(34), 1, 34), 1},
                {Li, Bi - 1, Mix(White, S(34), 33, 34), 1},
                {Ri - 1, Ti + 1, Mix(White, S(85), 1, 34), 1},
                {Ri - 1, Bi - 1, Mix(White, S(85), 33, 34), 1}}}),
         M(Border, White), M(Border, E7)},
        {7, true, pressedHalves, sides(Back, S(51)), M(Border, Back), M(Border, S(51))},
        {8, false,
         Join({Rows(X, T, T + 4, E8, Back), Exact({{X, T + 4}, {X, B - 5}}, Back), Rows(X, B - 4, B, Back, S(-51))}),
         Join({Rows(Li, Ti, Ti + 10, E8, Back), Rows(Ri - 1, Bi - 10, Bi, Back, S(-51)),
               Exact({{Li, Ti + 10}, {Ri - 1, Bi - 11}}, Back)}),
         M(Border, E8), M(Border, S(-51))},
        {8, true,
         Join({Rows(X, T, T + 4, S(-51), Back), Exact({{X, T + 4}, {X, B - 5}}, Back), Rows(X, B - 4, B, Back, E8)}),
         Join({Rows(Li, Ti, Ti + 10, S(-51), Back), Rows(Ri - 1, Bi - 10, Bi, Back, E8)}), M(Border, S(-51)),
         M(Border, E8)},
    };
}

} // namespace

TEST(XPFrame, EveryStylePaintsItsBodyInnerLinesAndCorners) {
    const std::vector<Probe> border = Exact({{L, T}, {L, Y}, {X, T}, {R - 1, Y}, {X, B - 1}, {R - 1, B - 1}}, Border);
    // The rounded outline leaves the four corner pixels in the outer colour and is softened beside them.
    const std::vector<Probe> rounded = Join({
        Exact({{L, T}, {R - 1, T}, {L, B - 1}, {R - 1, B - 1}}, Outer),
        Exact({{L, Y}, {X, T}, {R - 1, Y}, {X, B - 1}}, Border),
        Exact({{L + 1, T},
               {L, T + 1},
               {R - 2, T},
               {R - 1, T + 1},
               {L + 1, B - 1},
               {L, B - 2},
               {R - 2, B - 1},
               {R - 1, B - 2}},
              M(Border, Back, 30)),
    });
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const StyleCase& c : StyleCases()) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << (c.pressed ? " pressed" : ""));
        Look look{.style = c.style, .pressed = c.pressed, .border = false};

        canvas.Fill(Sentinel);
        Paint(canvas, look);
        EXPECT_TRUE(Matches(canvas, c.body)) << "body";
        EXPECT_TRUE(UntouchedOutside(canvas, Face));

        look.border = true;
        canvas.Fill(Sentinel);
        Paint(canvas, look);
        EXPECT_TRUE(Matches(canvas, border)) << "square border";
        EXPECT_TRUE(Matches(canvas, c.lines)) << "inner lines";

        look.rounded = true;
        canvas.Fill(Sentinel);
        Paint(canvas, look);
        EXPECT_TRUE(Matches(canvas, rounded)) << "rounded border";
        EXPECT_TRUE(Matches(canvas, Exact({{Li, Ti}, {Ri - 1, Ti}}, c.cornerTop))) << "top corners";
        EXPECT_TRUE(Matches(canvas, Exact({{Li, Bi - 1}, {Ri - 1, Bi - 1}}, c.cornerBottom))) << "bottom corners";
        EXPECT_TRUE(UntouchedOutside(canvas, Face));
    }
}

// Rounded, the band starts with a line two pixels shorter at each end and ends with one in o.
TEST(XPFrame, RoundedStyleFourHighlightBand) {
    const int32_t o = M(S(-51), E4, 33);
    const auto body = [](int row) { return Mix(S(-51), E4, row - T, 36); };
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    Paint(canvas, {.style = 4, .border = false, .rounded = true});
    EXPECT_TRUE(Matches(canvas, Join({
                                    Exact({{L + 4, T + 2}, {X, T + 2}, {R - 5, T + 2}}, E4),
                                    Rows(X, T + 3, T + 12, E4, o),
                                    Exact({{L + 3, T + 3}, {R - 4, T + 3}}, E4),
                                    Exact({{L + 4, T + 12}, {X, T + 12}, {R - 5, T + 12}}, o),
                                    {{L + 3, T + 2, body(T + 2), 1},
                                     {R - 4, T + 2, body(T + 2), 1},
                                     {L + 2, T + 3, body(T + 3), 1},
                                     {R - 3, T + 3, body(T + 3), 1},
                                     {L + 3, T + 12, body(T + 12), 1}},
                                })));
}

TEST(XPFrame, StyleMinusOneIsStyleThreePixelForPixel) {
    DibCanvas three(CanvasWidth, CanvasHeight, Sentinel);
    DibCanvas minusOne(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(three.ok() && minusOne.ok());
    for (const bool pressed : {false, true}) {
        for (const bool rounded : {false, true}) {
            SCOPED_TRACE(testing::Message() << "pressed " << pressed << " rounded " << rounded);
            three.Fill(Sentinel);
            minusOne.Fill(Sentinel);
            Paint(three, {.style = 3, .pressed = pressed, .rounded = rounded});
            Paint(minusOne, {.style = -1, .pressed = pressed, .rounded = rounded});
            EXPECT_TRUE(SamePixels(three, minusOne));
        }
    }
}

TEST(XPFrame, DefaultFrameWinsOverCancelFrame) {
    struct Case {
        bool isDefault, isCancel, border;
        int32_t ring; // the ring one pixel in
    };
    const int32_t body = Mix(S(51), S(-17), Y - T, 36);
    const Case cases[] = {
        {true, false, true, 0xECBEA0}, {false, true, true, 0x808080},  {true, true, true, 0xECBEA0},
        {true, true, false, 0xECBEA0}, {false, true, false, 0x808080},
    };
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "default " << c.isDefault << " cancel " << c.isCancel << " border "
                                        << c.border);
        canvas.Fill(Sentinel);
        Paint(canvas,
              {.style = 1, .border = c.border, .rounded = true, .isDefault = c.isDefault, .isCancel = c.isCancel});
        EXPECT_TRUE(
            Matches(canvas, Exact({{Li, Ti}, {Li, Y}, {X, Ti}, {Ri - 1, Y}, {X, Bi - 1}, {Ri - 1, Bi - 1}}, c.ring)));
        EXPECT_TRUE(Matches(canvas, {{Li + 1, Y, body, 1}})); // only a one-pixel frame
    }
    canvas.Fill(Sentinel);
    Paint(canvas, {.style = 1});
    EXPECT_TRUE(Matches(canvas, {{Li, Y, body, 1}})); // no overlay asked for, none drawn
}

// The focus rectangle inverts a dotted ring two pixels in and nothing else.
TEST(XPFrame, FocusRectangleTwoPixelsIn) {
    DibCanvas plain(CanvasWidth, CanvasHeight, Sentinel);
    DibCanvas focused(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(plain.ok() && focused.ok());
    for (const bool border : {false, true}) {
        plain.Fill(Sentinel);
        focused.Fill(Sentinel);
        Paint(plain, {.style = 5, .border = border});
        Paint(focused, {.style = 5, .border = border, .focus = true});
        int changed = 0;
        for (int y = 0; y < CanvasHeight; ++y) {
            for (int x = 0; x < CanvasWidth; ++x) {
                if (At(plain, x, y) == At(focused, x, y)) {
                    continue;
                }
                ++changed;
                const bool onRing = x >= L + 2 && x < R - 2 && y >= T + 2 && y < B - 2 &&
                                    (x == L + 2 || x == R - 3 || y == T + 2 || y == B - 3);
                EXPECT_TRUE(onRing) << "(" << x << ", " << y << ")";
            }
        }
        const int ring = 2 * ((R - L - 4) + (B - T - 4)) - 4;
        EXPECT_GE(changed, ring / 3);
    }
}

TEST(XPFrame, AutomaticBorderAndOuterColours) {
    EXPECT_EQ(AutoBorderColor(-1, 0xFFFFFF), 0x8C8C8C);
    EXPECT_EQ(AutoBorderColor(-1, 0xC0C0C0), 0x7C7C7C);
    EXPECT_EQ(AutoBorderColor(Border, 0xFFFFFF), Border);
    EXPECT_EQ(AutoBorderColor(-1, static_cast<int32_t>(0x8000000F)),
              AutoBorderColor(-1, static_cast<int32_t>(::GetSysColor(COLOR_BTNFACE))));

    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const int32_t back : {White, Rgb(0xC0, 0xC0, 0xC0)}) {
        canvas.Fill(Sentinel);
        Paint(canvas, {.style = 0, .rounded = true, .back = back, .borderColour = -1, .outer = -1});
        const int32_t border = back == White ? 0x8C8C8C : 0x7C7C7C;
        EXPECT_TRUE(Matches(canvas, Exact({{X, T}, {L, Y}}, border)));
        // outer -1: outside the rounded corners is the back colour.
        EXPECT_TRUE(Matches(canvas, Exact({{L, T}, {R - 1, T}, {L, B - 1}, {R - 1, B - 1}}, back)));
    }
}

// System colour codes for back, border and outer paint as the colours they stand for.
TEST(XPFrame, SystemColourCodesPaintTheirColours) {
    const auto code = [](int index) { return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index)); };
    const auto rgb = [](int index) { return static_cast<int32_t>(::GetSysColor(index)); };
    DibCanvas byCode(CanvasWidth, CanvasHeight, Sentinel);
    DibCanvas byRgb(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(byCode.ok() && byRgb.ok());
    for (const int32_t style : {0, 4, 7}) {
        SCOPED_TRACE(style);
        byCode.Fill(Sentinel);
        byRgb.Fill(Sentinel);
        Paint(byCode, {.style = style,
                       .pressed = style == 0,
                       .rounded = true,
                       .back = code(COLOR_BTNFACE),
                       .borderColour = code(COLOR_BTNSHADOW),
                       .outer = code(COLOR_WINDOW)});
        Paint(byRgb, {.style = style,
                      .pressed = style == 0,
                      .rounded = true,
                      .back = rgb(COLOR_BTNFACE),
                      .borderColour = rgb(COLOR_BTNSHADOW),
                      .outer = rgb(COLOR_WINDOW)});
        EXPECT_TRUE(SamePixels(byCode, byRgb));
    }
}

// Styles 0, 4, 7 and 8 brighten their highlights on a dark back only when adaptive.
TEST(XPFrame, AdaptiveHighlightsOnADarkBack) {
    const int32_t dark = Rgb(20, 20, 50); // grey value 23
    struct Case {
        int32_t style;
        bool pressed;
        bool adaptive;
        Probe probe;
    };
    const Case cases[] = {
        // e0 at the bottom of pressed style 0: T(a, 170) adaptive, S(a, 34) fixed.
        {0, true, true, {X, B - 1, Mix(dark, ShadeColor(dark, 147), 4, 5), 1}},
        {0, true, false, {X, B - 1, Mix(dark, ShadeColor(dark, 34), 4, 5), 1}},
        // e7 at the bottom of raised style 7: T(a, 204) adaptive, S(a, 85) fixed.
        {7, false, true, {X, B - 1, Mix(ShadeColor(dark, -51), ShadeColor(dark, 181), 17, 18), 1}},
        {7, false, false, {X, B - 1, Mix(ShadeColor(dark, -51), ShadeColor(dark, 85), 17, 18), 1}},
    };
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " adaptive " << c.adaptive);
        canvas.Fill(Sentinel);
        Paint(canvas, {.style = c.style, .pressed = c.pressed, .border = false, .back = dark, .adaptive = c.adaptive});
        EXPECT_TRUE(Matches(canvas, {c.probe}));
    }
    // A light back (grey value above 170) makes e4 white.
    canvas.Fill(Sentinel);
    const int32_t light = Rgb(230, 230, 230);
    Paint(canvas, {.style = 4, .pressed = true, .border = false, .back = light});
    EXPECT_TRUE(Matches(canvas, {{X, B - 1, Mix(light, White, 20, 21), 1}}));
}

// Faces shorter than the fixed bands and inner lines of some styles (15 rows for pressed style 4, 10
// for style 8's inner lines ...) still paint their whole border, and nothing lands outside the face.
TEST(XPFrame, ShortFacesPaintOnlyInside) {
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const int height : {0, 1, 2, 3, 5, 8, 14}) {
        const RECT face{L, 20, R, 20 + height};
        for (int32_t style = 0; style <= 8; ++style) {
            for (const bool pressed : {false, true}) {
                for (const bool rounded : {false, true}) {
                    SCOPED_TRACE(testing::Message() << "height " << height << " style " << style << " pressed "
                                                    << pressed << " rounded " << rounded);
                    canvas.Fill(Sentinel);
                    Paint(canvas,
                          {.style = style, .pressed = pressed, .rounded = rounded, .isDefault = true, .focus = true},
                          face);
                    ASSERT_TRUE(UntouchedOutside(canvas, face));
                    if (height == 0) {
                        continue;
                    }
                    // The whole border, square; rounded, its straight middle.
                    const int bottom = 20 + height - 1;
                    std::vector<Probe> border = Exact({{X, 20}, {X, bottom}}, Border);
                    for (int x = L; !rounded && x < R; ++x) {
                        border.push_back({x, 20, Border, 0});
                        border.push_back({x, bottom, Border, 0});
                    }
                    for (int y = 20; !rounded && y <= bottom; ++y) {
                        border.push_back({L, y, Border, 0});
                        border.push_back({R - 1, y, Border, 0});
                    }
                    EXPECT_TRUE(Matches(canvas, border));
                }
            }
        }
    }
}

// The painter keeps to the caller's clip region and leaves the DC's selections and clipping as they
// were; over many faces it creates no GDI object that outlives the call.
TEST(XPFrame, LeavesTheDCAsFoundAndLeaksNothing) {
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    const HDC dc = canvas.dc();
    const UniqueRegion clip(::CreateRectRgn(0, 0, X, Y));
    ASSERT_EQ(::SelectClipRgn(dc, clip.get()), SIMPLEREGION);
    const HGDIOBJ pen = ::GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ brush = ::GetCurrentObject(dc, OBJ_BRUSH);

    const auto paintAll = [&] {
        for (const RECT& face : {Face, RECT{L, 20, R, 23}}) {
            for (int32_t style = -1; style <= 8; ++style) {
                for (int flags = 0; flags < 32; ++flags) {
                    DrawXPFrame(dc, face, Back, (flags & 1) != 0, -1, (flags & 2) != 0, (flags & 4) != 0,
                                (flags & 8) != 0, (flags & 4) != 0, (flags & 16) != 0, style, -1, true);
                }
            }
            for (int flags = 0; flags < 4; ++flags) {
                DrawTextBoxFrame(dc, face, Back, -1, (flags & 1) != 0, Outer, (flags & 2) != 0);
            }
        }
    };
    const auto [before, after] = CountsAround(5, [&](int) { paintAll(); });
    EXPECT_EQ(after, before);

    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), brush);
    RECT box{};
    EXPECT_EQ(::GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, X);
    EXPECT_EQ(box.bottom, Y);
    EXPECT_EQ(At(canvas, X, Y), Sentinel); // outside the caller's clip
    EXPECT_EQ(At(canvas, R - 1, B - 1), Sentinel);
    EXPECT_EQ(At(canvas, L, T + 1), Back); // inside it, painted (last by the text box frame)
}

TEST(XPFrame, TextBoxFrameBranches) {
    struct Case {
        const char* name;
        bool rounded;
        int32_t outer;
        bool onlyBottom;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // Only a bottom line, one pixel shorter at each end; rounded makes no difference.
        {"only bottom", true, Outer, true,
         Join({Exact({{L, T}, {X, T}, {L, Y}, {R - 1, Y}, {L, B - 1}, {R - 1, B - 1}, {Li, Y}, {X, Ti}}, Back),
               Exact({{L + 1, B - 1}, {X, B - 1}, {R - 2, B - 1}}, Border)})},
        {"square", false, Outer, false,
         Join(
             {Exact({{L, T}, {X, T}, {L, Y}, {R - 1, B - 1}}, Border), Exact({{Li, Ti}, {Li, Y}, {X, Bi - 1}}, Back)})},
        {"rounded", true, Outer, false,
         Join({Exact({{L, T}, {R - 1, T}, {L, B - 1}, {R - 1, B - 1}}, Outer), Exact({{X, T}, {L, Y}}, Border),
               Exact({{L + 1, T}, {L, T + 1}, {R - 2, B - 1}, {R - 1, B - 2}}, M(Border, Back, 30)),
               Exact({{Li, Ti}, {Ri - 1, Ti}, {Li, Bi - 1}, {Ri - 1, Bi - 1}}, M(Border, Back, 50)),
               Exact({{Li, Y}, {X, Ti}}, Back)})},
        {"rounded, outer -1", true, -1, false, Exact({{L, T}, {R - 1, B - 1}}, Back)},
    };
    DibCanvas canvas(CanvasWidth, CanvasHeight, Sentinel);
    ASSERT_TRUE(canvas.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.Fill(Sentinel);
        DrawTextBoxFrame(canvas.dc(), Face, Back, Border, c.rounded, c.outer, c.onlyBottom);
        EXPECT_TRUE(Matches(canvas, c.probes));
        // The edit window's area two pixels in is left alone.
        EXPECT_EQ(At(canvas, X, Y), Sentinel);
        EXPECT_EQ(At(canvas, L + 2, T + 2), Sentinel);
        EXPECT_TRUE(UntouchedOutside(canvas, Face));
    }
    canvas.Fill(Sentinel);
    DrawTextBoxFrame(canvas.dc(), Face, White, -1, false, -1, false);
    EXPECT_EQ(At(canvas, X, T), 0x8C8C8C);
}
