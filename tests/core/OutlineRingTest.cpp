// The measuring outline's shape: a two-pixel ring with the inside cut out.
#include "core/OutlineRing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every pixel of a width x height window: is it part of the shape?
std::vector<std::vector<bool>> Paint(const std::vector<RowRun>& runs, int w, int h) {
    std::vector<std::vector<bool>> on(h, std::vector<bool>(w, false));
    for (const RowRun& r : runs) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                EXPECT_FALSE(on[y][x]) << "runs overlap at " << x << "," << y;
                on[y][x] = true;
            }
        }
    }
    return on;
}

TEST(OutlineRing, KeepsTwoPixelsAlongEveryEdgeAndCutsOutTheRest) {
    struct Case {
        int w, h;
    };
    for (const Case c : {Case{400, 260}, Case{5, 5}, Case{6, 40}, Case{1280, 1024}}) {
        const auto on = Paint(OutlineRingRuns(c.w, c.h), c.w, c.h);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                const bool ring = x < 2 || y < 2 || x >= c.w - 2 || y >= c.h - 2;
                ASSERT_EQ(on[y][x], ring) << c.w << "x" << c.h << " at " << x << "," << y;
            }
        }
    }
}

TEST(OutlineRing, TinyWindowsAreSolidAndEmptyOnesHaveNoShape) {
    const auto on = Paint(OutlineRingRuns(4, 3), 4, 3);
    for (const auto& row : on) {
        for (bool pixel : row) {
            EXPECT_TRUE(pixel);
        }
    }
    EXPECT_TRUE(OutlineRingRuns(0, 10).empty());
    EXPECT_TRUE(OutlineRingRuns(10, -1).empty());
}

} // namespace
