#include "core/GreyOf.h"

#include <gtest/gtest.h>

namespace {

TEST(GreyOfTest, KnownColours) {
    struct Case {
        uint8_t red, green, blue, grey;
    };
    const Case cases[] = {
        {0, 0, 0, 134},
        {255, 255, 255, 211},
        {230, 230, 230, 203},
        {255, 0, 0, 157},
        {0, 255, 0, 179},
        {0, 0, 255, 142},
        {128, 64, 32, 159},
        // 0.3 * 7 + 134.4 and 0.3 * 17 + 134.4 are exact halves: 136.5 -> 136, 139.5 -> 140.
        {7, 7, 7, 136},
        {17, 17, 17, 140},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GreyOf(c.red, c.green, c.blue), c.grey) << int{c.red} << ", " << int{c.green} << ", " << int{c.blue};
    }
}

TEST(GreyOfTest, StaysLightAndKeepsTheOrderOfGreys) {
    int previous = 0;
    for (int c = 0; c <= 255; ++c) {
        const auto v = static_cast<uint8_t>(c);
        const int grey = GreyOf(v, v, v);
        ASSERT_GE(grey, previous) << c;
        previous = grey;
    }
    for (int r = 0; r <= 255; r += 5) {
        for (int g = 0; g <= 255; g += 5) {
            for (int b = 0; b <= 255; b += 5) {
                const int grey = GreyOf(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b));
                ASSERT_TRUE(grey >= 134 && grey <= 211) << r << ", " << g << ", " << b << " -> " << grey;
            }
        }
    }
}

} // namespace
