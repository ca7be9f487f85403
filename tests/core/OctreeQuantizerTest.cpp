#include "core/OctreeQuantizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

int Distance(const PaletteColor& a, const PaletteColor& b) {
    return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
}

int DistanceToPalette(const PaletteColor& colour, const std::vector<PaletteColor>& palette) {
    int best = 766;
    for (const PaletteColor& entry : palette) {
        best = std::min(best, Distance(colour, entry));
    }
    return best;
}

TEST(OctreeQuantizerTest, FewColoursComeBackExactly) {
    const std::vector<PaletteColor> colours = {{0, 0, 0}, {255, 255, 255}, {12, 200, 7}, {12, 200, 8}};
    OctreeQuantizer quantizer(8);
    for (int repeat = 0; repeat < 3; ++repeat) {
        for (const PaletteColor& c : colours) {
            quantizer.Add(c.red, c.green, c.blue);
        }
    }
    const std::vector<PaletteColor> palette = quantizer.Palette(16);
    ASSERT_EQ(palette.size(), colours.size());
    for (const PaletteColor& c : colours) {
        EXPECT_EQ(DistanceToPalette(c, palette), 0) << int{c.red} << ", " << int{c.green} << ", " << int{c.blue};
    }
    // Asking again gives the same answer: the collected colours are not consumed.
    EXPECT_EQ(quantizer.Palette(16), palette);
}

TEST(OctreeQuantizerTest, ClustersMergeIntoTheirAverages) {
    // Two tight groups of colours, many pixels each, and a small budget: one entry per group, at the
    // group's mean, whatever the depth.
    for (const int levels : {8, 5, 3}) {
        SCOPED_TRACE(levels);
        OctreeQuantizer quantizer(levels);
        for (int i = 0; i < 4; ++i) {
            quantizer.Add(static_cast<uint8_t>(8 + i), 10, static_cast<uint8_t>(12 - i)); // mean 9.5, 10, 10.5
            quantizer.Add(static_cast<uint8_t>(240 + i), 200, 30);                        // mean 241.5, 200, 30
        }
        const std::vector<PaletteColor> palette = quantizer.Palette(2);
        ASSERT_EQ(palette.size(), 2u);
        EXPECT_LE(DistanceToPalette({10, 10, 10}, palette), 1);
        EXPECT_LE(DistanceToPalette({242, 200, 30}, palette), 1);
    }
}

TEST(OctreeQuantizerTest, ManyColoursStayWithinTheBudgetAndNearTheirEntry) {
    OctreeQuantizer quantizer(8);
    std::vector<PaletteColor> inputs;
    for (int r = 0; r < 256; r += 17) {
        for (int g = 0; g < 256; g += 17) {
            for (int b = 0; b < 256; b += 51) {
                inputs.push_back({static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b)});
                quantizer.Add(inputs.back().red, inputs.back().green, inputs.back().blue);
            }
        }
    }
    for (const int budget : {1, 7, 64, 200}) {
        SCOPED_TRACE(budget);
        const std::vector<PaletteColor> palette = quantizer.Palette(budget);
        ASSERT_FALSE(palette.empty());
        EXPECT_LE(palette.size(), static_cast<size_t>(budget));
        // Merging stops at the level where the budget is met, so a bigger budget keeps finer cells.
        int worst = 0;
        for (const PaletteColor& c : inputs) {
            worst = std::max(worst, DistanceToPalette(c, palette));
        }
        if (budget >= 64) {
            EXPECT_LE(worst, 3 * 64) << "a colour is farther than one level-2 cell from its entry";
        }
    }
    // One colour: the average of all of them.
    const std::vector<PaletteColor> one = quantizer.Palette(1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (PaletteColor{128, 128, 128}));
}

TEST(OctreeQuantizerTest, NothingToAnswer) {
    OctreeQuantizer empty(4);
    EXPECT_TRUE(empty.Palette(16).empty());
    OctreeQuantizer filled(0); // kept to one level
    filled.Add(1, 2, 3);
    EXPECT_TRUE(filled.Palette(0).empty());
    EXPECT_EQ(filled.Palette(1), (std::vector<PaletteColor>{{1, 2, 3}}));
}

} // namespace
