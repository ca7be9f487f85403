#include "core/RulerScale.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(RulerScaleTest, RoundsAsMulDivAndFallsBackToTheDesignResolution) {
    struct Case {
        int value, dpi, expected;
    };
    const Case cases[] = {
        {40, 96, 40}, {40, 144, 60}, {7, 144, 11},  {5, 144, 8},   {15, 144, 23}, {2, 120, 3},
        {3, 120, 4},  {-5, 144, -8}, {10, 120, 13}, {40, 168, 70}, {0, 144, 0},   {1, 48, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaleByDpi(c.value, c.dpi), c.expected) << c.value << " at " << c.dpi;
    }
    for (const int bad : {0, -96, 23, 1921, 1 << 30}) {
        EXPECT_EQ(UsableDpi(bad), 96) << bad;
    }
    EXPECT_EQ(UsableDpi(288), 288);
    EXPECT_EQ(FontPixelsAt(8, 96), 11);
    EXPECT_EQ(FontPixelsAt(8, 144), 16);
    EXPECT_EQ(FontPixelsAt(8, 192), 21);
}

// Every drawn size at the four common scalings; at 96 the design sizes themselves.
TEST(RulerScaleTest, MetricsAtCommonScalings) {
    struct Case {
        int dpi;
        RulerMetrics expected;
    };
    // dpi, bar, major/medium/minor tick starts, top label offset and row, left label column, end mark
    // from/to/near/far, readout margins, sizing zone, ball size and offset.
    const Case cases[] = {
        {96, {96, 40, 30, 33, 38, 3, 15, 5, 10, 30, 2, 4, 4, 2, 5, 15, 20}},
        {120, {120, 50, 37, 41, 47, 4, 19, 6, 13, 37, 3, 5, 5, 3, 6, 19, 25}},
        {144, {144, 60, 45, 49, 57, 5, 23, 8, 15, 45, 3, 6, 6, 3, 8, 23, 29}},
        {192, {192, 80, 60, 66, 76, 6, 30, 10, 20, 60, 4, 8, 8, 4, 10, 30, 40}},
        {0, {96, 40, 30, 33, 38, 3, 15, 5, 10, 30, 2, 4, 4, 2, 5, 15, 20}},
    };
    for (const Case& c : cases) {
        const RulerMetrics m = RulerMetricsAt(c.dpi);
        const RulerMetrics& e = c.expected;
        SCOPED_TRACE(testing::Message() << c.dpi << " dpi");
        EXPECT_EQ(m.dpi, e.dpi);
        EXPECT_EQ(m.bar, e.bar);
        EXPECT_EQ(m.majorStart, e.majorStart);
        EXPECT_EQ(m.mediumStart, e.mediumStart);
        EXPECT_EQ(m.minorStart, e.minorStart);
        EXPECT_EQ(m.topLabelOffset, e.topLabelOffset);
        EXPECT_EQ(m.topLabelRow, e.topLabelRow);
        EXPECT_EQ(m.leftLabelColumn, e.leftLabelColumn);
        EXPECT_EQ(m.endMarkFrom, e.endMarkFrom);
        EXPECT_EQ(m.endMarkTo, e.endMarkTo);
        EXPECT_EQ(m.endMarkNear, e.endMarkNear);
        EXPECT_EQ(m.endMarkFar, e.endMarkFar);
        EXPECT_EQ(m.readoutMarginX, e.readoutMarginX);
        EXPECT_EQ(m.readoutMarginY, e.readoutMarginY);
        EXPECT_EQ(m.sizingZone, e.sizingZone);
        EXPECT_EQ(m.ballSize, e.ballSize);
        EXPECT_EQ(m.ballOffset, e.ballOffset);
        // The ball's disc stays inside the kept lower-right half of the corner square (its centre
        // at least a radius from the diagonal x + y = bar), clear of both bars.
        const double centre = m.ballOffset + m.ballSize / 2.0;
        EXPECT_GE((2 * centre - m.bar) / std::sqrt(2.0), m.ballSize / 2.0);
        EXPECT_LT(m.ballOffset + m.ballSize, m.bar);
    }
}

} // namespace
