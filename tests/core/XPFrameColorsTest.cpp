#include "core/XPFrameColors.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int32_t Grey(int level) {
    return Rgb(level, level, level);
}

// Index 15 (button face) is a light grey, every other index a dark blue.
uint32_t FakeSysColor(int index) {
    return static_cast<uint32_t>(index == 15 ? Grey(0xEE) : Rgb(0, 0, 0x40));
}

constexpr int32_t ButtonFace = static_cast<int32_t>(0x8000000F);

TEST(XPFrameColorsTest, AutoBorderColor) {
    struct Case {
        int32_t border;
        int32_t back;
        int32_t expected;
    };
    const Case cases[] = {
        {-1, Grey(255), Grey(0x8C)},              // brought down to grey value 208 first, then -68
        {-1, Grey(0xC0), Grey(0x7C)},             // grey value 192: only the -68
        {-1, Grey(208), Grey(140)},               // exactly 208 is not "above"
        {-1, Rgb(255, 255, 0), Rgb(168, 168, 0)}, // grey value 227: -19, then -68
        {-1, Rgb(10, 20, 30), Rgb(0, 0, 0)},      // clamped at 0
        {-1, ButtonFace, Grey(0xEE - 30 - 68)},   // the system colour's own grey value (238) counts
        {Rgb(1, 2, 3), Grey(255), Rgb(1, 2, 3)},  // an explicit border stays
        {ButtonFace, Grey(255), ButtonFace},      // so does a system colour code other than -1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.border << " on " << c.back);
        EXPECT_EQ(AutoBorderColor(c.border, c.back, FakeSysColor), c.expected);
    }
}

TEST(XPFrameColorsTest, HelperColoursFollowTheBackBrightnessOnlyWhenAdaptive) {
    struct Case {
        int32_t back;
        bool adaptive;
        XPHelperColors expected; // e0, e4, e7, e8
    };
    const int32_t white = Grey(255);
    const Case cases[] = {
        // e0 switches below grey value 64, e7 below 102, e4 and e8 above 170.
        {Grey(63), true, {Grey(170), Grey(204), Grey(204), Grey(204)}},
        {Grey(64), true, {Grey(98), Grey(204), Grey(204), Grey(204)}},
        {Grey(101), true, {Grey(135), Grey(204), Grey(204), Grey(204)}},
        {Grey(102), true, {Grey(136), Grey(204), Grey(187), Grey(204)}},
        {Grey(170), true, {Grey(204), Grey(204), Grey(255), Grey(204)}},
        {Grey(171), true, {Grey(205), white, Grey(255), white}},
        // Fixed shades whatever the brightness.
        {Grey(40), false, {Grey(74), Grey(204), Grey(125), Grey(204)}},
        {Grey(200), false, {Grey(234), Grey(204), Grey(255), Grey(204)}},
        // Shades move all channels alike: blue 0x40 has grey value 7, so +163 to reach 170.
        {static_cast<int32_t>(0x80000001),
         true,
         {Rgb(163, 163, 0xE3), Rgb(197, 197, 255), Rgb(197, 197, 255), Rgb(197, 197, 255)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.back << (c.adaptive ? " adaptive" : " fixed"));
        EXPECT_EQ(XPFrameHelperColors(c.back, c.adaptive, FakeSysColor), c.expected);
    }
}

TEST(XPFrameColorsTest, StyleMinusOneAndUnknownStylesAreStyleThree) {
    const FaceRect face{3, 4, 90, 27};
    for (const bool pressed : {false, true}) {
        for (const bool rounded : {false, true}) {
            const FacePlan three = PlanXPFace(face, 3, pressed, rounded, Grey(0xC0), Grey(0x40), true, FakeSysColor);
            for (const int32_t style : {-1, 9, -2, INT_MAX}) {
                SCOPED_TRACE(testing::Message() << "style " << style << " pressed " << pressed);
                EXPECT_EQ(PlanXPFace(face, style, pressed, rounded, Grey(0xC0), Grey(0x40), true, FakeSysColor), three);
            }
        }
    }
}

// Every style on faces at the ends of the coordinate range: band edges such as B - 5, T + 15 or
// R - 2 saturate instead of overflowing (the sanitizers watch), and an empty face has no band.
TEST(XPFrameColorsTest, ExtremeFacesSaturate) {
    const FaceRect faces[] = {
        {INT_MIN, INT_MIN, INT_MIN + 1, INT_MIN + 1},
        {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX},
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        {5, 5, 5, 5},
    };
    for (const FaceRect& face : faces) {
        for (int32_t style = 0; style <= 8; ++style) {
            for (const bool pressed : {false, true}) {
                for (const bool rounded : {false, true}) {
                    const FacePlan plan = PlanXPFace(face, style, pressed, rounded, Grey(0x80), -1, true, FakeSysColor);
                    EXPECT_GE(plan.bodyCount, 1u);
                    EXPECT_LE(plan.bodyCount, plan.body.size());
                    EXPECT_LE(plan.innerCount, plan.inner.size());
                }
            }
        }
    }
    const FacePlan top =
        PlanXPFace(FaceRect{0, INT_MAX - 1, 10, INT_MAX}, 0, true, false, Grey(0x80), 0, true, FakeSysColor);
    EXPECT_EQ(top.body[3].area, (FaceRect{0, INT_MAX - 1, 10, INT_MAX})); // T + 6 held at INT_MAX
}

// Style 4's highlight band reaches (q + 3) / H of the way from e4 to the dark top, q = H / 4.
TEST(XPFrameColorsTest, StyleFourHighlightBand) {
    const int32_t back = Grey(0x80);
    const XPHelperColors helpers = XPFrameHelperColors(back, true, FakeSysColor);
    const int32_t dark = ShadeColor(back, -51, FakeSysColor);
    struct Case {
        int32_t height;
        int16_t percent;
        size_t bands;
    };
    const Case cases[] = {
        {36, 33, 2}, // q = 9: 1200 / 36 = 33.3
        {40, 32, 2}, // q = 10: 1300 / 40 = 32.5, half to even
        {2, 100, 2}, // q = 0: 150 percent, taken as 100
        {0, 0, 1},   // no rows, no band
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.height);
        const FacePlan plan =
            PlanXPFace(FaceRect{0, 10, 50, 10 + c.height}, 4, false, false, back, 0, true, FakeSysColor);
        ASSERT_EQ(plan.bodyCount, c.bands);
        if (c.bands < 2) {
            continue;
        }
        const FaceBand& band = plan.body[1];
        EXPECT_EQ(band.area, (FaceRect{2, 12, 48, 13 + c.height / 4}));
        EXPECT_EQ(band.from, helpers.e4);
        EXPECT_EQ(band.to, BlendColors(dark, helpers.e4, c.percent, FakeSysColor));
    }
}

} // namespace
