// The drawing shortcuts against real GDI: everything is rendered into a 32-bpp DIB section and the
// pixels are read back.
#include "draw/DrawHelpers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

constexpr int32_t Background = Rgb(1, 2, 3);

// The pixel as a colour value, comparable with Background and Rgb().
int32_t At(const DibCanvas& canvas, int x, int y) {
    return static_cast<int32_t>(canvas.pixel(x, y));
}

// How many pixels differ from Background.
int Painted(const DibCanvas& canvas) {
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            count += At(canvas, x, y) != Background ? 1 : 0;
        }
    }
    return count;
}

// True when exactly the pixels of [left, right) x [top, bottom) are painted, all in colour.
::testing::AssertionResult ExactlyCovers(const DibCanvas& canvas, int left, int top, int right, int bottom,
                                         int32_t colour) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const bool inside = x >= left && x < right && y >= top && y < bottom;
            const int32_t want = inside ? colour : Background;
            if (At(canvas, x, y) != want) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex
                                                     << At(canvas, x, y) << ", expected 0x" << want;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

int Red(int32_t c) {
    return c & 0xFF;
}
int Green(int32_t c) {
    return (c >> 8) & 0xFF;
}
int Blue(int32_t c) {
    return (c >> 16) & 0xFF;
}

} // namespace

// ---- Colours ------------------------------------------------------------------------------------

TEST(DrawColours, SystemColourCodesTranslateThroughGetSysColor) {
    struct Case {
        int32_t code;
        int index;
    };
    const Case cases[] = {
        {static_cast<int32_t>(0x8000000F), COLOR_BTNFACE},
        {static_cast<int32_t>(0x80000005), COLOR_WINDOW},
        {static_cast<int32_t>(0x80000012), COLOR_BTNTEXT},
        // Only the low five bits pick the colour.
        {static_cast<int32_t>(0xFFFFFFEE), COLOR_HIGHLIGHTTEXT},
    };
    DibCanvas canvas(4, 1, Background);
    ASSERT_TRUE(canvas.ok());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        const auto expected = static_cast<int32_t>(::GetSysColor(c.index));
        EXPECT_EQ(TranslateColor(c.code), expected);
        EXPECT_EQ(ShadeColor(c.code, 0), expected);
        // Brushes and pixels get the translated colour, not the code.
        FillOrFrameRectXY(canvas.dc(), 0, 0, 2, 1, c.code, true);
        SetPixelColor(canvas.dc(), 3, 0, c.code);
        EXPECT_EQ(At(canvas, 0, 0), expected);
        EXPECT_EQ(At(canvas, 3, 0), expected);
    }
    EXPECT_EQ(TranslateColor(Rgb(10, 20, 30)), Rgb(10, 20, 30));
}

// ---- Gradients ----------------------------------------------------------------------------------

// The two gradient directions, so that one test can check both.
struct Axis {
    const char* name;
    void (*draw)(HDC, int, int, int, int, int32_t, int32_t);
    bool vertical;
};

const Axis Axes[] = {{"vertical", &GradientVertical, true}, {"horizontal", &GradientHorizontal, false}};

TEST(DrawGradient, RowsRunFromTheFirstColourTowardsTheSecond) {
    constexpr int32_t Light = Rgb(250, 200, 100);
    constexpr int32_t Dark = Rgb(10, 40, 90);
    constexpr int Rows = 40;
    for (const Axis& axis : Axes) {
        SCOPED_TRACE(axis.name);
        DibCanvas canvas(48, 48, Background);
        ASSERT_TRUE(canvas.ok());
        // Rows 4 .. 43 (columns 4 .. 43 horizontally), spanning 2 .. 9 across.
        if (axis.vertical) {
            axis.draw(canvas.dc(), 2, 4, 10, 4 + Rows, Light, Dark);
        } else {
            axis.draw(canvas.dc(), 4, 2, 4 + Rows, 10, Light, Dark);
        }
        const auto pixel = [&](int along, int across) {
            return axis.vertical ? At(canvas, across, along) : At(canvas, along, across);
        };
        EXPECT_EQ(pixel(4, 2), Light);
        // The last row is 1/40 of the light colour and 39/40 of the dark one; the dark one is never reached.
        const auto last = [](int from, int to) { return static_cast<int>(std::lrint((from + 39.0 * to) / 40.0)); };
        EXPECT_EQ(pixel(4 + Rows - 1, 2), Rgb(last(250, 10), last(200, 40), last(100, 90)));
        int previousRed = 256;
        for (int k = 0; k < Rows; ++k) {
            SCOPED_TRACE(k);
            const int32_t row = pixel(4 + k, 2);
            // Each row is one colour from its start to one before its end; nothing beyond.
            EXPECT_EQ(pixel(4 + k, 9), row);
            EXPECT_EQ(pixel(4 + k, 1), Background);
            EXPECT_EQ(pixel(4 + k, 10), Background);
            const double w = 1.0 - static_cast<double>(k) / Rows;
            EXPECT_NEAR(Red(row), 250 * w + 10 * (1 - w), 1.0);
            EXPECT_NEAR(Green(row), 200 * w + 40 * (1 - w), 1.0);
            EXPECT_NEAR(Blue(row), 100 * w + 90 * (1 - w), 1.0);
            EXPECT_LT(Red(row), previousRed);
            previousRed = Red(row);
        }
        EXPECT_EQ(pixel(3, 2), Background);
        EXPECT_EQ(pixel(4 + Rows, 2), Background);
    }
}

TEST(DrawGradient, DegenerateExtents) {
    const int32_t from = Rgb(200, 0, 0);
    const int32_t to = Rgb(0, 0, 200);
    DibCanvas canvas(16, 16, Background);
    ASSERT_TRUE(canvas.ok());

    // No rows (or columns), or fewer than none: nothing at all.
    GradientVertical(canvas.dc(), 2, 5, 12, 5, from, to);
    GradientVertical(canvas.dc(), 2, 9, 12, 5, from, to);
    GradientHorizontal(canvas.dc(), 5, 2, 5, 12, from, to);
    GradientHorizontal(canvas.dc(), 9, 2, 5, 12, from, to);
    EXPECT_EQ(Painted(canvas), 0);

    // No width: one pixel per row, at the left column.
    GradientVertical(canvas.dc(), 3, 2, 3, 10, from, to);
    EXPECT_EQ(Painted(canvas), 8);
    EXPECT_EQ(At(canvas, 3, 2), from);
    EXPECT_NE(At(canvas, 3, 9), Background);

    // No height: one pixel per column, at the top row.
    canvas.Fill(Background);
    GradientHorizontal(canvas.dc(), 2, 7, 12, 7, from, to);
    EXPECT_EQ(Painted(canvas), 10);
    EXPECT_EQ(At(canvas, 2, 7), from);
    EXPECT_NE(At(canvas, 11, 7), Background);
}

TEST(DrawGradient, RowsOutsideTheCanvasStillCountTowardsTheColours) {
    const int32_t from = Rgb(255, 255, 255);
    const int32_t to = Rgb(0, 60, 120);
    DibCanvas full(4, 64, Background);
    DibCanvas lower(4, 32, Background);
    ASSERT_TRUE(full.ok() && lower.ok());
    GradientVertical(full.dc(), 0, 0, 4, 64, from, to);
    // The same 64 rows with the upper half above the canvas.
    GradientVertical(lower.dc(), 0, -32, 4, 32, from, to);
    for (int y = 0; y < 32; ++y) {
        EXPECT_EQ(At(lower, 1, y), At(full, 1, y + 32)) << "row " << y;
    }
}

TEST(DrawGradient, HugeExtentsReturnAndPaintWhatIsVisible) {
    const int32_t from = Rgb(255, 0, 0);
    const int32_t to = Rgb(0, 0, 255);
    // Far more rows than a 16-bit counter holds, and the widest range a RECT can describe. Only the
    // visible rows are drawn, so this returns promptly with the canvas fully painted.
    const int extents[][2] = {{0, 100000}, {-70000, 70000}, {INT_MIN, INT_MAX}};
    for (const auto& extent : extents) {
        SCOPED_TRACE(extent[0]);
        DibCanvas canvas(8, 8, Background);
        ASSERT_TRUE(canvas.ok());
        GradientVertical(canvas.dc(), 0, extent[0], 8, extent[1], from, to);
        EXPECT_EQ(Painted(canvas), 64);
        canvas.Fill(Background);
        GradientHorizontal(canvas.dc(), extent[0], 0, extent[1], 8, from, to);
        EXPECT_EQ(Painted(canvas), 64);
    }
}

// ---- Shapes -------------------------------------------------------------------------------------

TEST(DrawShapes, LineLeavesOutItsEndPointAndRestoresThePen) {
    DibCanvas canvas(16, 16, Background);
    ASSERT_TRUE(canvas.ok());
    const HGDIOBJ penBefore = ::GetCurrentObject(canvas.dc(), OBJ_PEN);
    DrawLine(canvas.dc(), 2, 5, 10, 5, Rgb(0, 128, 0), 1, PS_SOLID);
    EXPECT_TRUE(ExactlyCovers(canvas, 2, 5, 10, 6, Rgb(0, 128, 0)));
    EXPECT_EQ(::GetCurrentObject(canvas.dc(), OBJ_PEN), penBefore);

    // The null pen style draws nothing.
    canvas.Fill(Background);
    DrawLine(canvas.dc(), 2, 5, 10, 5, Rgb(0, 128, 0), 1, PS_NULL);
    EXPECT_EQ(Painted(canvas), 0);
}

TEST(DrawShapes, FillPaintsTheInsideFramePaintsTheOutline) {
    const int32_t colour = Rgb(200, 30, 60);
    DibCanvas canvas(12, 12, Background);
    ASSERT_TRUE(canvas.ok());
    FillOrFrameRectXY(canvas.dc(), 2, 3, 9, 10, colour, true);
    EXPECT_TRUE(ExactlyCovers(canvas, 2, 3, 9, 10, colour));

    canvas.Fill(Background);
    FillOrFrameRect(canvas.dc(), RECT{2, 3, 9, 10}, colour, false);
    // Every pixel on the border of [2, 9) x [3, 10), none inside or outside.
    EXPECT_EQ(Painted(canvas), 2 * 7 + 2 * 5);
    EXPECT_EQ(At(canvas, 2, 3), colour);
    EXPECT_EQ(At(canvas, 8, 9), colour);
    EXPECT_EQ(At(canvas, 5, 6), Background);
    EXPECT_EQ(At(canvas, 9, 10), Background);
}

TEST(DrawShapes, RoundRectCoversTheSameAreaWithOrWithoutAFrame) {
    const int32_t fill = Rgb(20, 90, 200);
    const int32_t frame = Rgb(250, 250, 0);
    DibCanvas canvas(16, 16, Background);
    ASSERT_TRUE(canvas.ok());
    const HGDIOBJ penBefore = ::GetCurrentObject(canvas.dc(), OBJ_PEN);
    const HGDIOBJ brushBefore = ::GetCurrentObject(canvas.dc(), OBJ_BRUSH);

    // Without a pen the shape is grown by one so the fill reaches the same right and bottom edge.
    DrawRoundRect(canvas.dc(), 2, 3, 12, 11, true, fill, frame, 0, PS_SOLID, 0);
    EXPECT_TRUE(ExactlyCovers(canvas, 2, 3, 12, 11, fill));

    canvas.Fill(Background);
    DrawRoundRectRect(canvas.dc(), RECT{2, 3, 12, 11}, true, fill, frame, 1, PS_SOLID, 0);
    EXPECT_EQ(At(canvas, 2, 3), frame);
    EXPECT_EQ(At(canvas, 11, 10), frame);
    EXPECT_EQ(At(canvas, 6, 6), fill);
    EXPECT_EQ(At(canvas, 12, 10), Background);
    EXPECT_EQ(At(canvas, 11, 11), Background);

    // Unfilled: the outline only.
    canvas.Fill(Background);
    DrawRoundRect(canvas.dc(), 2, 3, 12, 11, false, fill, frame, 1, PS_SOLID, 0);
    EXPECT_EQ(At(canvas, 2, 3), frame);
    EXPECT_EQ(At(canvas, 6, 6), Background);

    // Rounded corners leave the corner pixel out.
    canvas.Fill(Background);
    DrawRoundRect(canvas.dc(), 2, 3, 12, 11, true, fill, frame, 0, PS_SOLID, 6);
    EXPECT_EQ(At(canvas, 2, 3), Background);
    EXPECT_EQ(At(canvas, 7, 3), fill);

    EXPECT_EQ(::GetCurrentObject(canvas.dc(), OBJ_PEN), penBefore);
    EXPECT_EQ(::GetCurrentObject(canvas.dc(), OBJ_BRUSH), brushBefore);
}

TEST(DrawShapes, DrawingLeavesNoGdiObjectsBehind) {
    DibCanvas canvas(32, 32, Background);
    ASSERT_TRUE(canvas.ok());
    const auto drawEverything = [&] {
        FillOrFrameRectXY(canvas.dc(), 0, 0, 8, 8, Rgb(1, 1, 1), true);
        FillOrFrameRectXY(canvas.dc(), 0, 0, 8, 8, Rgb(1, 1, 1), false);
        DrawLine(canvas.dc(), 0, 0, 9, 9, static_cast<int32_t>(0x80000008), 2, PS_DASH);
        GradientVertical(canvas.dc(), 0, 0, 32, 20, Rgb(0, 0, 0), Rgb(255, 255, 255));
        GradientHorizontal(canvas.dc(), 0, 0, 20, 32, Rgb(0, 0, 0), Rgb(255, 255, 255));
        DrawRoundRect(canvas.dc(), 1, 1, 30, 30, true, Rgb(5, 5, 5), Rgb(6, 6, 6), 2, PS_SOLID, 4);
        DrawRoundRect(canvas.dc(), 1, 1, 30, 30, false, Rgb(5, 5, 5), Rgb(6, 6, 6), 0, PS_SOLID, 4);
        DrawColoredTextXY(canvas.dc(), L"Gg", 0, 0, 32, 32, Rgb(9, 9, 9), DT_LEFT);
    };
    const auto [before, after] = CountsAround(20, [&](int) { drawEverything(); });
    EXPECT_EQ(after, before);
}

// ---- Text ---------------------------------------------------------------------------------------

TEST(DrawTextOutput, MeasuringGivesTheExtentOfTheText) {
    DibCanvas canvas(8, 8, Background);
    ASSERT_TRUE(canvas.ok());
    EXPECT_EQ(MeasureText(canvas.dc(), L"", 0).cx, 0);

    const SIZE one = MeasureText(canvas.dc(), L"W", 0);
    const SIZE two = MeasureText(canvas.dc(), L"WW", 0);
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(one.cy, 0);
    EXPECT_EQ(two.cy, one.cy);
    EXPECT_GT(two.cx, one.cx);
    // A line break does not count when measuring one line.
    EXPECT_EQ(MeasureText(canvas.dc(), L"W\r\nW", 0).cy, one.cy);

    // Wrapped into a rectangle a word wide, three words take three lines.
    const SIZE word = MeasureText(canvas.dc(), L"WWW", 0);
    const SIZE wrapped = MeasureTextInRect(canvas.dc(), L"WWW WWW WWW", 10, 20, 10 + word.cx + 2, 200, 0);
    EXPECT_EQ(wrapped.cy, 3 * one.cy);
    EXPECT_LE(wrapped.cx, word.cx + 2);
}

TEST(DrawTextOutput, ColouredTextKeepsItsColourInTheDc) {
    const int32_t highlight = static_cast<int32_t>(0x80000000 | COLOR_HIGHLIGHT);
    const auto expected = static_cast<int32_t>(::GetSysColor(COLOR_HIGHLIGHT));
    DibCanvas canvas(40, 30, Background);
    ASSERT_TRUE(canvas.ok());
    ::SetBkMode(canvas.dc(), TRANSPARENT);
    DrawColoredText(canvas.dc(), L"\x2588\x2588", RECT{0, 0, 40, 30}, highlight, DT_LEFT | DT_TOP);
    EXPECT_EQ(static_cast<int32_t>(::GetTextColor(canvas.dc())), expected);
    EXPECT_GT(Painted(canvas), 0);

    // Text output uses the colour left in the DC.
    canvas.Fill(Background);
    DrawTextAt(canvas.dc(), L"WW", 0, 0);
    bool found = false;
    for (int y = 0; y < 30 && !found; ++y) {
        for (int x = 0; x < 40 && !found; ++x) {
            found = At(canvas, x, y) == expected;
        }
    }
    EXPECT_TRUE(found);
}

// ---- Words, keys, characters --------------------------------------------------------------------

TEST(DrawUtilities, WordsSplitAndJoinAsSigned16BitHalves) {
    struct Case {
        int32_t value;
        int16_t low, high;
    };
    const Case cases[] = {
        {0x00010002, 2, 1},
        {static_cast<int32_t>(0xFFFF8000), INT16_MIN, -1},
        {0x7FFFFFFF, -1, INT16_MAX},
        {static_cast<int32_t>(0x80000000), 0, INT16_MIN},
        {-1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(LowWord(c.value), c.low);
        EXPECT_EQ(HighWord(c.value), c.high);
        EXPECT_EQ(MakeLong(c.low, c.high), c.value);
    }
}

TEST(DrawUtilities, CharactersAndTheirCodes) {
    EXPECT_EQ(CharCode(L"A?"), 65);
    EXPECT_EQ(CharCode(L"\xFFFF"), 65535);
    EXPECT_EQ(CharCode(L""), 0);
    EXPECT_EQ(CharFromCode(65), L"A");
    EXPECT_EQ(CharFromCode(-1), L"\xFFFF");
    EXPECT_EQ(CharFromCode(-32768), L"\x8000");
    for (const int32_t code : {0, 1, 0x20AC, 0xD800, 0xFFFF}) {
        const std::wstring text = CharFromCode(code);
        ASSERT_EQ(text.size(), 1u);
        EXPECT_EQ(CharCode(text), code);
    }
}

TEST(DrawUtilities, TextAndItsUtf16LeBytes) {
    const std::wstring text = L"A\x00E9\x20AC";
    const std::vector<uint8_t> bytes = StringToBytes(text);
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x41, 0x00, 0xE9, 0x00, 0xAC, 0x20}));
    EXPECT_EQ(BytesToString(bytes), text);
    EXPECT_TRUE(StringToBytes(L"").empty());
    // Half a code unit at the end cannot make a character.
    const uint8_t odd[] = {0x41, 0x00, 0x42};
    EXPECT_EQ(BytesToString(odd), L"A");
}

// Holds a key down through SendInput for as long as it lives.
class HeldKey {
public:
    explicit HeldKey(WORD key) : key_(key) { Send(0); }
    HeldKey(const HeldKey&) = delete;
    HeldKey& operator=(const HeldKey&) = delete;
    ~HeldKey() { Send(KEYEVENTF_KEYUP); }

private:
    void Send(DWORD flags) const {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key_;
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof(input));
    }
    WORD key_;
};

TEST(DrawUtilities, ShiftStateAddsUpTheHeldModifiers) {
    ASSERT_EQ(ShiftState(), 0);
    {
        const HeldKey ctrl(VK_CONTROL);
        EXPECT_TRUE(IsKeyDown(VK_CONTROL));
        EXPECT_EQ(ShiftState(), 2);
        const HeldKey shift(VK_SHIFT);
        EXPECT_EQ(ShiftState(), 3);
    }
    EXPECT_FALSE(IsKeyDown(VK_CONTROL));
    EXPECT_EQ(ShiftState(), 0);
}
