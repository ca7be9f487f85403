#include "draw/clsRegions.h"
#include "ruler/RulerDrawing.h"
#include "ruler/frmRulers.h"
#include "support/GdiCount.h"
#include "support/RulerReference.h"
#include "support/TestSettings.h"
#include "util/LocaleInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

namespace {

// A 32-bit top-down copy of a bitmap's pixels, as COLORREF values.
class Pixels {
public:
    explicit Pixels(HBITMAP bitmap) {
        BITMAP info{};
        ::GetObjectW(bitmap, sizeof(info), &info);
        width_ = info.bmWidth;
        height_ = info.bmHeight;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 32, BI_RGB};
        std::vector<uint32_t> bgra(static_cast<size_t>(width_) * height_);
        WindowDC screen(nullptr);
        ::GetDIBits(screen.get(), bitmap, 0, height_, bgra.data(), &bi, DIB_RGB_COLORS);
        pixels_.reserve(bgra.size());
        for (uint32_t p : bgra) {
            pixels_.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
        }
    }
    [[nodiscard]] COLORREF at(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    [[nodiscard]] int width() const { return width_; }
    [[nodiscard]] int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<COLORREF> pixels_;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

RulerLook LookOf(int w, int h) {
    RulerLook look;
    look.width = w;
    look.height = h;
    return look;
}

// The visible image with ticks, end marks and readout in blue, so that the black labels stand apart.
::Picture RenderImage(const RulerLook& look) {
    clsMEMDC canvas;
    PaintRulerImage(canvas, look);
    return canvas.Picture();
}

::Picture RenderMask(const RulerLook& look) {
    clsMEMDC canvas;
    PaintRulerMask(canvas, look);
    return canvas.Picture();
}

// The black pixels of `text` drawn with TextOutW at (x, y) in the ruler's font on white.
std::vector<POINT> TextPixelsAt(const wchar_t* text, int x, int y, int w, int h) {
    clsMEMDC canvas;
    canvas.CreateDC(w, h, TRANSPARENT);
    canvas.DrawBackColor(RGB(255, 255, 255));
    clsFontHDC font;
    font.SetFontToDCStdFont(canvas.hDC(), RulerLook{}.font);
    ::TextOutW(canvas.hDC(), x, y, text, static_cast<int>(wcslen(text)));
    font.Destroy();
    const ::Picture picture = canvas.Picture();
    const Pixels pixels(picture.bitmap());
    std::vector<POINT> out;
    for (int py = 0; py < h; ++py) {
        for (int px = 0; px < w; ++px) {
            if (pixels.at(px, py) == RGB(0, 0, 0)) {
                out.push_back({px, py});
            }
        }
    }
    return out;
}

TEST(RulerImage, ScalesLabelsEndMarksAndReadoutAt200) {
    RulerLook look = LookOf(200, 200);
    look.backColor = RGB(200, 200, 200);
    look.foreColor = static_cast<int32_t>(kBlue);
    const ::Picture image = RenderImage(look);
    const Pixels px(image.bitmap());

    // Bars: light in the first row or column, darker towards the inner edge; the corner stays flat.
    EXPECT_EQ(px.at(100, 0), RGB(251, 251, 251));
    EXPECT_EQ(px.at(0, 100), RGB(251, 251, 251));
    EXPECT_EQ(px.at(5, 5), RGB(200, 200, 200));
    EXPECT_LT(GetRValue(px.at(100, 25)), GetRValue(px.at(100, 5)));

    // The label "0" of each bar, exactly where TextOut puts it at (43, 15) and (5, 40).
    for (const auto& [x, y] : {std::pair{43, 15}, std::pair{5, 40}}) {
        const auto expected = TextPixelsAt(L"0", x, y, 200, 200);
        ASSERT_FALSE(expected.empty());
        for (const POINT& p : expected) {
            EXPECT_EQ(px.at(p.x, p.y), RGB(0, 0, 0)) << "label pixel " << p.x << "," << p.y;
        }
    }

    // Ticks of the top bar at 40, 50 ... with major, medium and minor lengths; the vertical ones likewise.
    EXPECT_EQ(px.at(40, 30), kBlue);
    EXPECT_NE(px.at(40, 29), kBlue);
    EXPECT_EQ(px.at(90, 33), kBlue);
    EXPECT_NE(px.at(90, 32), kBlue);
    EXPECT_EQ(px.at(50, 38), kBlue);
    EXPECT_NE(px.at(50, 37), kBlue);
    EXPECT_EQ(px.at(30, 140), kBlue);
    EXPECT_EQ(px.at(38, 150), kBlue);

    // End marks: columns W-2 and W-4 in rows 10-29, rows H-2 and H-4 in columns 10-29.
    for (int i = 10; i < 30; ++i) {
        EXPECT_EQ(px.at(198, i), kBlue);
        EXPECT_EQ(px.at(196, i), kBlue);
        EXPECT_EQ(px.at(i, 198), kBlue);
        EXPECT_EQ(px.at(i, 196), kBlue);
    }
    EXPECT_NE(px.at(198, 9), kBlue);
    EXPECT_NE(px.at(198, 30), kBlue);
    EXPECT_NE(px.at(197, 20), kBlue);

    // The readout "160.00x160.00 px" sits right- and bottom-aligned in (4, 2, 196, 198).
    HDC measure = ::CreateCompatibleDC(nullptr);
    clsFontHDC font;
    font.SetFontToDCStdFont(measure, look.font);
    SIZE extent{};
    ::GetTextExtentPoint32W(measure, L"160.00x160.00 px", 16, &extent);
    font.Destroy();
    ::DeleteDC(measure);
    int minX = 200, maxX = -1, minY = 200, maxY = -1;
    for (int y = 41; y < 200; ++y) {
        for (int x = 41; x < 195; ++x) {
            if (px.at(x, y) == kBlue) {
                minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
        }
    }
    EXPECT_GE(minX, 196 - extent.cx);
    EXPECT_LT(maxX, 196);
    EXPECT_GE(minY, 198 - extent.cy);
    EXPECT_LT(maxY, 198);
    EXPECT_GT(maxX, 196 - 8) << "right-aligned";
    EXPECT_GT(maxY, 198 - 6) << "bottom-aligned";
}

TEST(RulerMask, HoldsTheBarsCornerHalfDashedEdgesAndReadoutOnly) {
    const RulerLook look = LookOf(200, 200);
    const ::Picture mask = RenderMask(look);
    const Pixels px(mask.bitmap());
    int dashOn = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool red = px.at(x, y) == kRed;
            ASSERT_TRUE(red || px.at(x, y) == RGB(0, 0, 0)) << x << "," << y;
            if ((x >= 40 && y < 40) || (x < 40 && y >= 40)) {
                ASSERT_TRUE(red) << "bar pixel " << x << "," << y;
            } else if (x < 40 && y < 40) {
                if (x + y < 39) {
                    ASSERT_FALSE(red) << "upper-left triangle " << x << "," << y;
                } else if (x + y > 41) {
                    ASSERT_TRUE(red) << "lower-right triangle " << x << "," << y;
                }
            } else if (x == 199 || y == 199) {
                dashOn += red;
            } else if (x < 196 - 100 || y < 198 - 16) {
                ASSERT_FALSE(red) << "cut-out " << x << "," << y;
            }
        }
    }
    EXPECT_GT(dashOn, 40) << "dashed edges";
    EXPECT_LT(dashOn, 2 * 160) << "dashed, not solid";

    // The region holds exactly the red pixels.
    clsRegions regions;
    UniqueRegion region(reinterpret_cast<HRGN>(regions.RegionFromBitmap(mask.bitmap(), nullptr, 0, false, 0, 0, 0, 0)));
    ASSERT_TRUE(region);
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(::PtInRegion(region.get(), x, y) != 0, px.at(x, y) == kRed) << x << "," << y;
        }
    }
}

// ---- The window's redraw path against the straightforward renderer above --------------------------

constexpr ScaleUnit kUnits[] = {ScaleUnit::Points, ScaleUnit::Pixels, ScaleUnit::Inches, ScaleUnit::Centimeters,
                                ScaleUnit::Millimeters};
// The default window; odd sizes; one about a full-HD screen, whose bottom edge has hundreds of dashes;
// sizes around the bar thickness; tiny ones, where the readout's box turns inside out. Larger sizes
// come first, so that the kept image below is painted over (not replaced) for several of the others.
constexpr SIZE kSizes[] = {{1961, 1121}, {1001, 777}, {430, 330}, {201, 199}, {120, 39},
                           {39, 120},    {41, 41},    {40, 40},   {7, 3},     {1, 1}};

// Calls check with every unit at every size, in that order, the cases taking turns at 100, 150, 125
// and 200 percent (other bar thicknesses, fonts, tick positions, labels and readouts). Failures name
// the case.
template <typename Check> void ForEachLook(Check check) {
    constexpr int kDpis[] = {96, 144, 120, 192};
    int index = 0;
    for (const ScaleUnit unit : kUnits) {
        for (const SIZE size : kSizes) {
            RulerLook look = LookOf(size.cx, size.cy);
            look.unit = unit;
            look.dpi = kDpis[index++ % 4];
            look.pixelsPerInchX = look.pixelsPerInchY = look.dpi;
            SCOPED_TRACE(testing::Message() << size.cx << "x" << size.cy << " unit " << static_cast<int>(unit) << " at "
                                            << look.pixelsPerInchX << " dpi");
            check(look);
        }
    }
}

// Where two bitmaps first differ in the top-left w x h; empty when they do not.
std::string FirstDifference(const Pixels& actual, const Pixels& expected, int w, int h) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (actual.at(x, y) != expected.at(x, y)) {
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
            }
        }
    }
    return {};
}

TEST(RulerRedraw, KeptImageIsPixelForPixelTheReference) {
    RulerImage kept; // painted over and over, across sizes and units, as the window paints its own
    ForEachLook([&](const RulerLook& look) {
        const ::Picture reference = RenderImage(look);
        kept.Paint(look);
        const Pixels expected(reference.bitmap());
        const Pixels actual(kept.bitmap());
        ASSERT_GE(actual.width(), look.width);
        ASSERT_GE(actual.height(), look.height);
        EXPECT_EQ(FirstDifference(actual, expected, look.width, look.height), "");
    });
}

// The window's image and shape are kept from one redraw to the next, and only what can differ is drawn
// again: a drag that grows and shrinks each way and along one edge at a time (the readout moving,
// labels coming and going), then changes of unit, resolution and colours at one size, each drawn
// over the last.
TEST(RulerRedraw, RedrawnStepByStepImageAndShapeAreTheReference) {
    struct Step {
        int w, h;
        ScaleUnit unit = ScaleUnit::Pixels;
        int dpi = 96;
        int32_t back = LookOf(0, 0).backColor;
        int32_t fore = LookOf(0, 0).foreColor;
    };
    constexpr auto kBlueGrey = static_cast<int32_t>(RGB(90, 120, 200));
    constexpr auto kBlue = static_cast<int32_t>(RGB(0, 0, 255));
    const Step steps[] = {
        {430, 330},
        {434, 332},
        {470, 332},
        {470, 371},
        {452, 350},
        {120, 39},
        {640, 480},
        {640, 480, ScaleUnit::Inches},
        {640, 480, ScaleUnit::Inches, 144},
        {600, 500, ScaleUnit::Inches, 144, kBlueGrey},
        {601, 500, ScaleUnit::Inches, 144, kBlueGrey, kBlue},
        {601, 499, ScaleUnit::Inches, 144, kBlueGrey, kBlue},
        {39, 120},
        {1001, 777, ScaleUnit::Millimeters},
    };
    const clsRegions reference(&ScanRowRuns, &BuildRegionFromRuns);
    RulerImage image;
    RulerShape shape;
    for (const Step& step : steps) {
        RulerLook look = LookOf(step.w, step.h);
        look.unit = step.unit;
        look.dpi = step.dpi;
        look.pixelsPerInchX = look.pixelsPerInchY = step.dpi;
        look.backColor = step.back;
        look.foreColor = step.fore;
        SCOPED_TRACE(testing::Message() << step.w << "x" << step.h << " unit " << static_cast<int>(step.unit) << " at "
                                        << step.dpi << " dpi, colours " << std::hex << step.back << " " << step.fore);
        image.Paint(look);
        EXPECT_EQ(image.size().cx, step.w);
        EXPECT_EQ(image.size().cy, step.h);
        const ::Picture expectedImage = RenderImage(look);
        EXPECT_EQ(FirstDifference(Pixels(image.bitmap()), Pixels(expectedImage.bitmap()), step.w, step.h), "");

        const ::Picture mask = RenderMask(look);
        const auto expectedRuns = reference.RunsFromBitmap(mask.bitmap(), MaskCutColor, false, 0, 0, 0, 0);
        const auto runs = shape.Runs(look);
        ASSERT_TRUE(expectedRuns && runs);
        EXPECT_EQ(*runs, *expectedRuns);
    }
}

TEST(RulerRedraw, KeptImageIsReplacedOnlyWhenTooSmallOrFarTooLarge) {
    RulerImage kept;
    const auto paint = [&](int w, int h) {
        kept.Paint(LookOf(w, h));
        return kept.bitmap();
    };
    const HBITMAP first = paint(430, 330);
    EXPECT_EQ(paint(440, 340), first) << "a few pixels larger: the eighth to spare";
    EXPECT_EQ(paint(300, 200), first) << "smaller, but not four times";
    EXPECT_NE(paint(500, 340), first) << "wider than the bitmap";
    const HBITMAP second = kept.bitmap();
    EXPECT_NE(paint(100, 100), second) << "far too large";
}

TEST(RulerRedraw, ShapeRunsAndRegionAreTheReferenceOnes) {
    const clsRegions reference(&ScanRowRuns, &BuildRegionFromRuns);
    const clsRegions regions;
    RulerShape shape; // asked again and again, across sizes and units, as the window asks its own
    ForEachLook([&](const RulerLook& look) {
        const ::Picture mask = RenderMask(look);
        const auto expected = reference.RunsFromBitmap(mask.bitmap(), MaskCutColor, false, 0, 0, 0, 0);
        const auto runs = shape.Runs(look);
        ASSERT_TRUE(expected && runs);
        EXPECT_EQ(*runs, *expected);

        const UniqueRegion wanted(reinterpret_cast<HRGN>(
            reference.RegionFromBitmap(mask.bitmap(), nullptr, MaskCutColor, false, 0, 0, 0, 0)));
        const UniqueRegion made(reinterpret_cast<HRGN>(regions.RegionFromRuns(*runs, look.width, nullptr)));
        ASSERT_TRUE(wanted && made);
        EXPECT_TRUE(::EqualRgn(made.get(), wanted.get()));
    });
}

class FakeMenu final : public RulerHost {
public:
    UnitChecks units;
    UnitChecks UnitCheckMarks() const override { return units; }
    bool TransparencyChecked() const override { return false; }
    void OpenMenu(POINT) override {}
};

TEST(RulerWindow, ShapedToItsMaskAndRedrawnWithoutLeaks) {
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ::SetWindowPos(ruler.hwnd(), nullptr, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(ruler.hwnd(), region.get()), ERROR);
    EXPECT_TRUE(::PtInRegion(region.get(), 100, 20));
    EXPECT_TRUE(::PtInRegion(region.get(), 35, 35));
    EXPECT_FALSE(::PtInRegion(region.get(), 5, 5));
    EXPECT_FALSE(::PtInRegion(region.get(), 100, 100));
    {
        // Exactly the region of the whole mask.
        RulerLook look = LookOf(200, 200);
        look.pixelsPerInchX = look.pixelsPerInchY = ::GetDpiForWindow(ruler.hwnd());
        look.decimalSeparator = UserDecimalSeparator();
        const ::Picture mask = RenderMask(look);
        const UniqueRegion wanted(
            reinterpret_cast<HRGN>(clsRegions().RegionFromBitmap(mask.bitmap(), nullptr, 0, false, 0, 0, 0, 0)));
        EXPECT_TRUE(::EqualRgn(region.get(), wanted.get()));
    }

    // A unit change reshapes the window: the readout's glyphs change.
    menu.units.inches = true;
    ruler.CreateRulers();
    UniqueRegion inches(::CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(::GetWindowRgn(ruler.hwnd(), inches.get()), ERROR);
    EXPECT_FALSE(::EqualRgn(region.get(), inches.get()));

    const uint32_t before = LiveGdiObjectCount();
    for (int i = 0; i < 1000; ++i) {
        ruler.CreateRulers();
    }
    PumpPendingMessages();
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

// A shown ruler resized 10,000 times through changing sizes, each size change redrawn through WM_SIZE
// and painted: growing and shrinking each way, so that the kept image is painted over, and replaced
// when too small or far too large. The counts are printed for the record.
TEST(RulerWindow, TenThousandRedrawsAtChangingSizesLeaveNoGdiOrUserObjects) {
    TestSettings settings;
    FakeMenu menu;
    frmRulers ruler(menu, settings.store());
    ASSERT_TRUE(ruler.Load());
    ruler.Show();
    // Its far ends off the screen's bottom right, so that the part on the screen keeps one size: Wine
    // then keeps the window's screen buffer instead of making a new one per size, which would take
    // longer than the redraw itself.
    constexpr int kOnScreenWidth = 280;
    constexpr int kOnScreenHeight = 224;
    ::SetWindowPos(ruler.hwnd(), nullptr, ::GetSystemMetrics(SM_CXSCREEN) - kOnScreenWidth,
                   ::GetSystemMetrics(SM_CYSCREEN) - kOnScreenHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const auto redrawAt = [&](int i) {
        const int w = kOnScreenWidth + 20 + (i * 37) % 300;
        const int h = kOnScreenHeight + 20 + (i * 53) % 200;
        ::SetWindowPos(ruler.hwnd(), nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPendingMessages();
    };
    constexpr int kRedraws = 10000;
    const auto [before, after] = CountsAround(kRedraws, redrawAt);
    std::cout << "Ruler redrawn " << kRedraws << " times at changing sizes: " << before << " before, " << after
              << " after\n";
    RecordProperty("GdiObjectsBefore", static_cast<int>(before.gdi));
    RecordProperty("GdiObjectsAfter", static_cast<int>(after.gdi));
    RecordProperty("UserObjectsBefore", static_cast<int>(before.user));
    RecordProperty("UserObjectsAfter", static_cast<int>(after.user));
    EXPECT_EQ(after, before);
}

} // namespace
