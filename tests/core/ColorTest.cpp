#include "core/Color.h"

#include <gtest/gtest.h>

namespace {

// Stand-in for the system colour table: index 5 is a known colour, the others encode their index.
uint32_t FakeSysColor(int index) {
    return index == 5 ? static_cast<uint32_t>(Rgb(250, 10, 128)) : static_cast<uint32_t>(Rgb(index, 0, 0));
}

constexpr int32_t SysColor(int index) {
    return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index));
}

TEST(ColorTest, RgbUsesTheColorRefLayout) {
    static_assert(Rgb(0x12, 0x34, 0x56) == 0x563412);
    static_assert(Rgb(255, 255, 255) == 0xFFFFFF);
    static_assert(Rgb(0x1FF, -1, 0) == 0x00FFFF); // each channel cut to its low byte
}

TEST(ColorTest, SystemColourCodesGoThroughTheLookup) {
    EXPECT_EQ(TranslateColor(Rgb(1, 2, 3), nullptr), Rgb(1, 2, 3));
    EXPECT_EQ(TranslateColor(0, nullptr), 0);
    EXPECT_EQ(TranslateColor(SysColor(5), FakeSysColor), Rgb(250, 10, 128));
    EXPECT_EQ(TranslateColor(SysColor(0x25), FakeSysColor), Rgb(250, 10, 128)); // only the low five bits
    EXPECT_EQ(TranslateColor(-1, FakeSysColor), Rgb(31, 0, 0));

    const ColorChannels c = SplitColor(SysColor(5), FakeSysColor);
    EXPECT_EQ(c.red, 250);
    EXPECT_EQ(c.green, 10);
    EXPECT_EQ(c.blue, 128);
    const ColorChannels high = SplitColor(0x7F010203, nullptr); // bits above blue are ignored
    EXPECT_EQ(high.red, 3);
    EXPECT_EQ(high.green, 2);
    EXPECT_EQ(high.blue, 1);
}

TEST(ColorTest, ClampByte) {
    const std::pair<int16_t, int16_t> cases[] = {{-32768, 0}, {-1, 0},    {0, 0},      {17, 17},
                                                 {255, 255},  {256, 255}, {32767, 255}};
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(ClampByte(value), expected) << value;
    }
}

TEST(ColorTest, ShadeColorMovesEachChannelAndClamps) {
    struct Case {
        int32_t colour;
        int16_t amount;
        int32_t expected;
    };
    const Case cases[] = {
        {Rgb(250, 10, 128), 51, Rgb(255, 61, 179)},
        {Rgb(250, 10, 128), -17, Rgb(233, 0, 111)},
        {SysColor(5), 51, Rgb(255, 61, 179)}, // shades what the lookup gives
        {Rgb(100, 100, 100), 0, Rgb(100, 100, 100)},
        // Extreme amounts saturate instead of overflowing a 16-bit sum.
        {Rgb(255, 255, 255), 32767, Rgb(255, 255, 255)},
        {Rgb(0, 128, 255), 32767, Rgb(255, 255, 255)},
        {Rgb(0, 128, 255), -32768, Rgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShadeColor(c.colour, c.amount, FakeSysColor), c.expected) << std::hex << c.colour << " " << c.amount;
    }
}

TEST(ColorTest, BlendColorsWeighsByClampedPercent) {
    const int32_t black = Rgb(0, 0, 0);
    const int32_t white = Rgb(255, 255, 255);
    struct Case {
        int32_t a, b;
        int16_t percent;
        int32_t expected;
    };
    const Case cases[] = {
        {black, white, 50, Rgb(128, 128, 128)},  // 127.5 rounds to the even 128
        {black, white, 25, Rgb(64, 64, 64)},     // 63.75
        {black, Rgb(5, 3, 1), 50, Rgb(2, 2, 0)}, // 2.5, 1.5 and 0.5: halves go to the even neighbour
        {black, white, 0, black},
        {black, white, 100, white},
        {black, white, -5, black},
        {black, white, 150, white},
        {black, white, -32768, black},
        {Rgb(10, 20, 30), Rgb(110, 220, 130), 10, Rgb(20, 40, 40)},
        {SysColor(5), white, 0, Rgb(250, 10, 128)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlendColors(c.a, c.b, c.percent, FakeSysColor), c.expected) << c.percent;
    }
}

TEST(ColorTest, LuminanceAndShadingTowardsIt) {
    EXPECT_EQ(ColorLuminance(Rgb(255, 255, 255), nullptr), 255);
    EXPECT_EQ(ColorLuminance(Rgb(255, 0, 0), nullptr), 76); // 76.5 rounds to the even 76
    EXPECT_EQ(ColorLuminance(Rgb(0, 255, 0), nullptr), 150);
    EXPECT_EQ(ColorLuminance(Rgb(0, 0, 255), nullptr), 28);
    EXPECT_EQ(ColorLuminance(SysColor(5), FakeSysColor), 95);

    EXPECT_EQ(ShadeToLuminance(Rgb(100, 100, 100), 200, nullptr), Rgb(200, 200, 200));
    EXPECT_EQ(ShadeToLuminance(Rgb(250, 10, 128), 95, nullptr), Rgb(250, 10, 128));
    EXPECT_EQ(ShadeToLuminance(Rgb(250, 10, 128), 85, nullptr), Rgb(240, 0, 118));
    // Targets far outside 0..255 are accepted and saturate.
    EXPECT_EQ(ShadeToLuminance(Rgb(250, 10, 128), -32768, nullptr), Rgb(0, 0, 0));
    EXPECT_EQ(ShadeToLuminance(Rgb(250, 10, 128), 32767, nullptr), Rgb(255, 255, 255));
}

// Forty rows from light to dark, stepping the weight the way the gradient painter does: the first
// row is exactly the start colour, the last 1/40 of it and 39/40 of the end colour.
TEST(ColorTest, GradientRowsRunFromTheStartTowardsTheEnd) {
    const ColorChannels light{200, 240, 120};
    const ColorChannels dark{40, 0, 80};
    const int rows = 40;
    const float step = 1.0f / static_cast<float>(rows);
    float w = 1.0f;
    ColorChannels first{}, last{};
    for (int k = 0; k < rows; ++k) {
        const ColorChannels c = GradientRowColor(light, dark, w);
        if (k == 0) {
            first = c;
        }
        last = c;
        w -= step;
        if (w < 0) {
            w = 0;
        }
    }
    EXPECT_EQ(first.red, 200);
    EXPECT_EQ(first.green, 240);
    EXPECT_EQ(first.blue, 120);
    EXPECT_EQ(last.red, 44);  // 200/40 + 40*39/40
    EXPECT_EQ(last.green, 6); // 240/40
    EXPECT_EQ(last.blue, 81); // 120/40 + 80*39/40

    const ColorChannels mid = GradientRowColor({255, 255, 255}, {0, 0, 0}, 0.5f);
    EXPECT_EQ(mid.red, 128); // 127.5, half to even
    const ColorChannels end = GradientRowColor({255, 255, 255}, {0, 1, 2}, 0.0f);
    EXPECT_EQ(end.red, 0);
    EXPECT_EQ(end.green, 1);
    EXPECT_EQ(end.blue, 2);
}

// The tests run the library with its assertions on (the shipped program is built without them): a
// system colour code without a lookup is a programming error that stops here rather than reading
// through a null function.
TEST(ColorDeathTest, ASystemColourWithoutALookupStopsAtItsAssertion) {
    EXPECT_DEATH((void)TranslateColor(static_cast<int32_t>(0x80000005u), nullptr), "needs a lookup");
}

} // namespace
