// Where tips go and how see-through they are.
#include "core/TipLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(TipLayout, BelowAndRightOfTheCursorUnlessThatCrossesTheMonitorsEdge) {
    struct Case {
        const char* what;
        int32_t x, y, w, h;
        TipBounds bounds;
        TipPoint expected;
    };
    const TipBounds screen{0, 0, 1280, 1024};
    const Case cases[] = {
        {"room below and right", 727, 527, 180, 34, screen, {728, 542}},
        {"bottom edge exactly reached", 100, 975, 50, 34, screen, {101, 990}},
        {"one row too low: above, its bottom 5 above the cursor", 100, 976, 50, 34, screen, {101, 937}},
        {"right edge crossed: flush with it", 1200, 100, 100, 20, screen, {1180, 115}},
        {"both at once", 1279, 1023, 100, 20, screen, {1180, 998}},
        // A monitor left of and above the primary one: its own edges count, not the virtual size's.
        {"monitor at negative coordinates", -100, -20, 180, 34, {-1920, -1080, 0, 0}, {-180, -59}},
        {"room on a monitor at negative coordinates", -1900, -1000, 180, 34, {-1920, -1080, 0, 0}, {-1899, -985}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceTip(c.x, c.y, c.w, c.h, c.bounds), c.expected) << c.what;
    }
}

TEST(TipLayout, TransparencyBecomesTheLayeredAlpha) {
    struct Case {
        int32_t percent;
        uint8_t alpha;
    };
    for (const Case c : {Case{0, 255}, Case{50, 127}, Case{10, 229}, Case{100, 0}, Case{-5, 255}, Case{300, 0}}) {
        EXPECT_EQ(TipAlpha(c.percent), c.alpha) << c.percent << " percent";
    }
}

} // namespace
