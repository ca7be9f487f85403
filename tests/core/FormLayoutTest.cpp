// The fixed forms' layout arithmetic: DPI scaling, the help window's first-run place beside the ruler,
// a label box fitted to its text, and the version numbers read from a version resource.
#include "core/FileVersion.h"
#include "core/FormLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

std::ostream& operator<<(std::ostream& out, const LayoutBox& b) {
    return out << "(" << b.left << "," << b.top << " " << b.width << "x" << b.height << ")";
}
std::ostream& operator<<(std::ostream& out, const LayoutPoint& p) {
    return out << "(" << p.x << "," << p.y << ")";
}

namespace {

TEST(FormLayout, DesignedNumbersScaleByDpiOver96HalvesToEven) {
    struct Case {
        int32_t value, dpi, expected;
    };
    const Case cases[] = {
        {404, 96, 404}, {404, 144, 606}, {287, 144, 430}, // 430.5
        {1, 144, 2},                                      // 1.5
        {3, 144, 4},                                      // 4.5
        {5, 120, 6},    {13, 192, 26},   {-3, 144, -4},   // -4.5
        {10, 0, 10},                                      // no DPI known: the design's
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleToDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    }
}

TEST(FormLayout, BoxesScaleByTheirEdgesSoNeighboursStayNeighbours) {
    EXPECT_EQ(ScaleToDpi(LayoutBox{120, 8, 271, 181}, 96), (LayoutBox{120, 8, 271, 181}));
    EXPECT_EQ(ScaleToDpi(LayoutBox{120, 8, 271, 181}, 144), (LayoutBox{180, 12, 406, 272}));
    // Two one-pixel boxes side by side at 96 DPI: at 144 the first is 2 wide, the second 1, still touching.
    const LayoutBox first = ScaleToDpi(LayoutBox{0, 0, 1, 1}, 144);
    const LayoutBox second = ScaleToDpi(LayoutBox{1, 0, 1, 1}, 144);
    EXPECT_EQ(first.right(), second.left);
    EXPECT_EQ(first.width + second.width, 3);
}

bool Overlap(const LayoutBox& a, const LayoutBox& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}
bool Inside(const LayoutBox& inner, const LayoutBox& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

TEST(FormLayout, TheHelpWindowGoesBesideTheRulerElseBelowItAlwaysOnTheWorkArea) {
    struct Case {
        const char* what;
        LayoutBox work, ruler;
        LayoutPoint expected;
        bool clear; // the ruler does not cover the window
    };
    constexpr int32_t w = 410, h = 316, gap = 8;
    const LayoutBox screen{0, 0, 1280, 1024};
    const Case cases[] = {
        {"the first-run ruler centred on 1280 x 1024: right of it", screen, {425, 347, 430, 330}, {863, 354}, true},
        {"exactly room on the right", screen, {0, 347, 862, 330}, {870, 354}, true},
        {"one pixel short on the right: left of it", screen, {420, 347, 443, 330}, {2, 354}, true},
        {"a ruler near the top: level with it as far as the work area allows",
         screen,
         {425, 0, 430, 100},
         {863, 0},
         true},
        {"no room beside a wide ruler: below it, centred under it", screen, {100, 100, 1000, 300}, {395, 408}, true},
        {"below a ruler partly off the screen: pushed back onto the work area",
         screen,
         {-600, 100, 1500, 300},
         {0, 408},
         true},
        {"a wide ruler at the bottom: above it", screen, {100, 600, 1000, 424}, {395, 276}, true},
        {"no room anywhere: centred on the work area", {0, 0, 1024, 768}, {297, 219, 430, 330}, {307, 226}, false},
        {"a monitor left of the primary one, below a taskbar",
         {-1920, 40, 1920, 1040},
         {-1500, 300, 430, 330},
         {-1062, 307},
         true},
    };
    for (const Case& c : cases) {
        const LayoutPoint p = PlaceClearOf(c.work, c.ruler, w, h, gap);
        EXPECT_EQ(p, c.expected) << c.what;
        const LayoutBox window{p.x, p.y, w, h};
        EXPECT_TRUE(Inside(window, c.work)) << c.what << ": " << window;
        if (c.clear) {
            EXPECT_FALSE(Overlap(window, c.ruler)) << c.what << ": " << window;
        }
    }
}

TEST(FormLayout, ALabelTooNarrowForItsTextGrowsAndStaysInTheForm) {
    struct Case {
        const char* what;
        int32_t textWidth, textHeight;
        LayoutBox expected;
    };
    const LayoutBox designed{244, 44, 35, 13};
    const Case cases[] = {
        {"room to the right: keeps its left edge", 58, 13, {244, 44, 58, 13}},
        {"ends exactly at the margin", 62, 13, {244, 44, 62, 13}},
        {"would cross the margin: moves left", 70, 16, {236, 44, 70, 16}},
        {"wider than the form: from its left edge", 400, 13, {0, 44, 400, 13}},
        {"a short text keeps the designed box", 20, 10, {244, 44, 35, 13}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitLabelToText(designed, c.textWidth, c.textHeight, 310, 4), c.expected) << c.what;
    }
}

// A version resource as the resource compiler lays it out: the block's lengths and type, its key
// "VS_VERSION_INFO" in UTF-16 with its terminator, padding to 32 bits, then the fixed file information.
std::vector<uint8_t> VersionResource(uint32_t high, uint32_t low) {
    std::vector<uint8_t> bytes = {0x5C, 0x03, 0x34, 0x00, 0x00, 0x00};
    for (const char c : std::string("VS_VERSION_INFO")) {
        bytes.push_back(static_cast<uint8_t>(c));
        bytes.push_back(0);
    }
    bytes.insert(bytes.end(), {0, 0, 0, 0}); // terminator and padding: the record starts at 40
    for (const uint32_t word : {0xFEEF04BDu, 0x00010000u, high, low, high, low, 0x3Fu, 0u, 0x40004u, 1u, 0u, 0u, 0u}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(word >> shift));
        }
    }
    return bytes;
}

TEST(FormLayout, TheFileVersionComesFromTheFixedInformationOfTheResource) {
    const std::vector<uint8_t> ours = VersionResource(0x00010001, 0x0000000A);
    ASSERT_EQ(ours.size(), 92u);
    EXPECT_EQ(FindFileVersion(ours), (FileVersion{1, 1, 0, 10}));
    EXPECT_EQ(FindFileVersion(VersionResource(0xFFFF0002, 0x00070009)), (FileVersion{65535, 2, 7, 9}));

    const std::span<const uint8_t> all(ours);
    EXPECT_EQ(FindFileVersion(all.first(56)), (FileVersion{1, 1, 0, 10})) << "the version words are all it needs";
    EXPECT_EQ(FindFileVersion(all.first(55)), std::nullopt) << "cut inside the low version word";
    EXPECT_EQ(FindFileVersion(all.first(40)), std::nullopt) << "no record";
    EXPECT_EQ(FindFileVersion({}), std::nullopt);

    std::vector<uint8_t> shifted(ours);
    shifted.insert(shifted.begin() + 6, 0xAA); // the signature now sits off a 32-bit boundary
    EXPECT_EQ(FindFileVersion(shifted), std::nullopt);
}

TEST(FormLayout, TheVersionTextLeavesOutTheBuildNumber) {
    EXPECT_EQ(VersionText({1, 1, 0, 10}), L"Version 1.1.10");
    EXPECT_EQ(VersionText({65535, 0, 7, 65535}), L"Version 65535.0.65535");
}

} // namespace
