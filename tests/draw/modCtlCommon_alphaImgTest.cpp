// The picture painter against real GDI: pictures made pixel by pixel are drawn into a DIB canvas and
// every pixel of the canvas is compared with what the box should show.
#include "draw/modCtlCommon_alphaImg.h"

#include <gtest/gtest.h>

#include <functional>

#include "PictureFixtures.h"
#include "core/AppError.h"
#include "core/GreyOf.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

using fixtures::MakeBitmapPicture;

constexpr COLORREF Background = RGB(212, 208, 200);
constexpr COLORREF Grey230 = RGB(230, 230, 230);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

COLORREF PatternAt(int x, int y) {
    return RGB(20 + 10 * x, 40 + 10 * y, 200 - 7 * x - 3 * y);
}

COLORREF Greyed(COLORREF c) {
    const uint8_t g = GreyOf(GetRValue(c), GetGValue(c), GetBValue(c));
    return RGB(g, g, g);
}

// True when every pixel of the canvas is expected(x, y); otherwise the first one that is not.
::testing::AssertionResult CanvasShows(const DibCanvas& canvas, const std::function<COLORREF(int, int)>& expected) {
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixel(x, y) != expected(x, y)) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex
                                                     << canvas.pixel(x, y) << ", expected 0x" << expected(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// What a box shows when the picture's top-left w x h part sits at (left, top) of the canvas: picture
// pixels left out when transparent and equal to key, greyed when disabled; the background elsewhere.
std::function<COLORREF(int, int)> Placed(const std::function<COLORREF(int, int)>& picture, int left, int top, int w,
                                         int h, bool transparent, COLORREF key, bool disabled) {
    return [=](int x, int y) {
        const int px = x - left;
        const int py = y - top;
        if (px < 0 || py < 0 || px >= w || py >= h) {
            return Background;
        }
        const COLORREF c = picture(px, py);
        if (transparent && c == key) {
            return Background;
        }
        return disabled ? Greyed(c) : c;
    };
}

// ---- Bitmaps -------------------------------------------------------------------------------------

// The menu's item picture: 16 x 16, with its top-left grey (230, 230, 230) as the colour to leave out,
// a black pixel, and a pattern elsewhere.
COLORREF MenuPictureAt(int x, int y) {
    if ((x + y) % 3 == 0) {
        return Grey230;
    }
    if (x == 5 && y == 5) {
        return Black;
    }
    return PatternAt(x, y);
}

TEST(DrawPictureInBox, A16x16PictureInA16x18Box) {
    const Picture picture = MakeBitmapPicture(16, 16, 24, MenuPictureAt);
    ASSERT_TRUE(picture);
    struct Case {
        bool transparent, disabled, viaRect;
    };
    // H - h = 2 is even: the picture sits on rows 1 .. 16 of the box in every path.
    const Case cases[] = {
        {true, false, false}, {true, true, false}, {false, false, false}, {false, true, false}, {true, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "transparent " << c.transparent << ", disabled " << c.disabled << ", rect " << c.viaRect);
        DibCanvas canvas(24, 24, Background);
        ASSERT_TRUE(canvas.ok());
        if (c.viaRect) {
            DrawPictureInRect(canvas.dc(), RECT{3, 2, 19, 20}, c.disabled, &picture, c.transparent, 16, 16, 0, 0, -1);
        } else {
            DrawPictureInBox(canvas.dc(), 3, 2, 19, 20, c.disabled, &picture, c.transparent, 16, 16, 0, 0, -1);
        }
        EXPECT_TRUE(CanvasShows(canvas, Placed(MenuPictureAt, 3, 3, 16, 16, c.transparent, Grey230, c.disabled)));
        if (c.disabled) {
            EXPECT_EQ(canvas.pixel(3 + 5, 3 + 5), RGB(134, 134, 134)); // black
            for (int y = 3; y < 19; ++y) {
                for (int x = 3; x < 19; ++x) {
                    const COLORREF p = canvas.pixel(x, y);
                    if (p != Background) {
                        ASSERT_TRUE(GetRValue(p) >= 134 && GetRValue(p) <= 211 && GetGValue(p) == GetRValue(p) &&
                                    GetBValue(p) == GetRValue(p))
                            << x << ", " << y;
                    }
                }
            }
        }
    }
}

// The menu's check tick: a 7 x 7 black tick on white, drawn into an item's 16 x 18 picture box.
COLORREF TickAt(int x, int y) {
    const bool tick = (x < 3 && y == x + 2) || (x >= 2 && y == 6 - x + 2) || (x >= 2 && y == 6 - x + 1);
    return tick ? Black : White;
}

TEST(DrawPictureInBox, The7x7TickSitsLowerInTheTransparentPathWhenTheMarginIsOdd) {
    const Picture tick = MakeBitmapPicture(7, 7, 24, TickAt);
    struct Case {
        bool transparent, disabled;
        int top; // first row of the tick in the box
    };
    // W - w = 9: dx 4. H - h = 11: dy 5, counted from the top in a straight copy, from the bottom
    // (18 - 5 - 7 = 6) when the pixels go through memory.
    const Case cases[] = {{true, false, 6}, {true, true, 6}, {false, true, 6}, {false, false, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "transparent " << c.transparent << ", disabled " << c.disabled);
        DibCanvas canvas(16, 18, Background);
        DrawPictureInBox(canvas.dc(), 0, 0, 16, 18, c.disabled, &tick, c.transparent, 7, 7, 0, 0, -1);
        EXPECT_TRUE(CanvasShows(canvas, Placed(TickAt, 4, c.top, 7, 7, c.transparent, White, c.disabled)));
    }
}

TEST(DrawPictureInBox, ShowsTheTopLeftPartUnscaled) {
    const Picture picture = MakeBitmapPicture(20, 20, 32, PatternAt);
    struct Case {
        int width, height; // asked for
        int w, h, dx, top; // drawn part, and where it lands in the 8 x 6 box at (1, 1)
        bool transparent;
    };
    const Case cases[] = {
        {-1, -1, 8, 6, 0, 0, false},                             // larger than the box: cut to the box
        {-1, -1, 8, 6, 0, 0, true},  {30, 2, 8, 2, 0, 2, false}, // H - h = 4: the same row either way
        {30, 2, 8, 2, 0, 2, true},   {5, 3, 5, 3, 1, 1, false},  // H - h = 3: dy 1 from the top ...
        {5, 3, 5, 3, 1, 2, true},                                // ... or from the bottom
        {0, 3, 0, 0, 0, 0, false},                               // nothing wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << ", transparent " << c.transparent);
        DibCanvas canvas(12, 10, Background);
        // A key no pixel has: the transparent path with everything kept.
        DrawPictureInBox(canvas.dc(), 1, 1, 9, 7, false, &picture, c.transparent, c.width, c.height, 0, 0,
                         static_cast<int32_t>(RGB(255, 0, 255)));
        EXPECT_TRUE(CanvasShows(canvas, Placed(PatternAt, 1 + c.dx, 1 + c.top, c.w, c.h, false, 0, false)));
    }
}

TEST(DrawPictureInBox, TheTransparentColourComesFromTheSamplePointOrTheCaller) {
    // Two colours repeat in the picture: A at (0, 0) and (3, 3), B at (2, 1) and (1, 2).
    const auto at = [](int x, int y) {
        if ((x == 0 && y == 0) || (x == 3 && y == 3)) {
            return RGB(10, 20, 30);
        }
        if ((x == 2 && y == 1) || (x == 1 && y == 2)) {
            return RGB(40, 50, 60);
        }
        return PatternAt(x, y);
    };
    const Picture picture = MakeBitmapPicture(4, 4, 24, at);
    struct Case {
        int sampleX, sampleY;
        int32_t transColor;
        bool anyLeftOut;
        COLORREF key;
    };
    const Case cases[] = {
        {0, 0, -1, true, RGB(10, 20, 30)},
        {2, 1, -1, true, RGB(40, 50, 60)},
        {0, 0, static_cast<int32_t>(RGB(40, 50, 60)), true, RGB(40, 50, 60)}, // the colour wins over the point
        {9, 9, -1, false, 0},                                                 // outside the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.sampleX << ", " << c.sampleY << ", 0x" << std::hex << c.transColor);
        DibCanvas canvas(4, 4, Background);
        DrawPictureInBox(canvas.dc(), 0, 0, 4, 4, false, &picture, true, -1, -1, c.sampleX, c.sampleY, c.transColor);
        EXPECT_TRUE(CanvasShows(canvas, Placed(at, 0, 0, 4, 4, c.anyLeftOut, c.key, false)));
    }
}

TEST(DrawPictureInBox, DrawsNothingWithoutAPictureOrABox) {
    const Picture bitmap = MakeBitmapPicture(4, 4, 24, PatternAt);
    const Picture icon =
        Picture::FromIcon(fixtures::MakeColourIcon(4, PatternAt, [](int, int) { return false; }).release());
    const Picture empty;
    struct Case {
        const Picture* picture;
        int left, top, right, bottom;
    };
    const Case cases[] = {
        {nullptr, 0, 0, 8, 8}, {&empty, 0, 0, 8, 8},                         // no picture
        {&bitmap, 3, 0, 3, 8}, {&bitmap, 0, 3, 8, 3}, {&bitmap, 5, 5, 2, 8}, // no width or height
        {&icon, 3, 0, 3, 8},   {&icon, 0, 5, 8, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom);
        for (const bool transparent : {false, true}) {
            DibCanvas canvas(8, 8, Background);
            DrawPictureInBox(canvas.dc(), c.left, c.top, c.right, c.bottom, false, c.picture, transparent, -1, -1, 0, 0,
                             -1);
            EXPECT_TRUE(CanvasShows(canvas, [](int, int) { return Background; }));
        }
    }
}

// ---- Icons ---------------------------------------------------------------------------------------

bool LeftColumnsUncovered(int x, int) {
    return x < 4;
}

TEST(DrawPictureInBox, ColourIconsFollowTheirMask) {
    const Picture icon = Picture::FromIcon(fixtures::MakeColourIcon(16, PatternAt, LeftColumnsUncovered).release());
    ASSERT_TRUE(icon);
    struct Case {
        int left;
        int width, height; // asked for
        bool transparent, disabled;
        int ox, oy, w, h; // where the icon's top-left part lands
    };
    // A 21 x 21 box at (left, 3): a margin of 5 puts the icon at left + 2.5 and 3 + 2.5 rounded half
    // to even. An 8 x 8 part leaves 13: 6.5 -> 6.
    const Case cases[] = {
        {0, -1, -1, true, false, 2, 6, 16, 16},  {1, -1, -1, true, false, 4, 6, 16, 16},
        {0, -1, -1, false, false, 2, 6, 16, 16}, {0, -1, -1, true, true, 2, 6, 16, 16},
        {0, 8, 8, true, false, 6, 10, 8, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "left " << c.left << ", " << c.width << " x " << c.height
                                          << ", transparent " << c.transparent << ", disabled " << c.disabled);
        DibCanvas canvas(30, 30, Background);
        DrawPictureInBox(canvas.dc(), c.left, 3, c.left + 21, 24, c.disabled, &icon, c.transparent, c.width, c.height,
                         0, 0, -1);
        EXPECT_TRUE(CanvasShows(canvas, [&](int x, int y) {
            const int i = x - c.ox;
            const int j = y - c.oy;
            if (i < 0 || j < 0 || i >= c.w || j >= c.h || (c.transparent && LeftColumnsUncovered(i, j))) {
                return Background;
            }
            return c.disabled ? Greyed(PatternAt(i, j)) : PatternAt(i, j);
        }));
    }
}

TEST(DrawPictureInBox, MonochromeIconsKeepTheirOwnHeight) {
    // 8 wide and 6 high: the image is the lower half of the 8 x 12 mask bitmap, 6 rows, not 8.
    const auto imageWhite = [](int x, int y) { return (x + y) % 2 == 0; };
    const auto maskWhite = [](int x, int) { return x == 0; };
    const Picture icon = Picture::FromIcon(fixtures::MakeMonochromeIcon(8, 6, maskWhite, imageWhite).release());
    ASSERT_TRUE(icon);
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        // Box 8 x 10, icon 6 high: oy = (10 - 6) / 2 = 2.
        DibCanvas canvas(8, 10, Background);
        DrawPictureInBox(canvas.dc(), 0, 0, 8, 10, false, &icon, transparent, -1, -1, 0, 0, -1);
        EXPECT_TRUE(CanvasShows(canvas, [&](int x, int y) {
            const int j = y - 2;
            if (j < 0 || j >= 6 || (transparent && maskWhite(x, j))) {
                return Background;
            }
            return imageWhite(x, j) ? White : Black;
        }));
    }
}

TEST(IconToDibs, CopiesBothBitmapsAtTheirOwnDepth) {
    const UniqueIcon colourIcon = fixtures::MakeColourIcon(16, PatternAt, LeftColumnsUncovered);
    IconDibs colour;
    ASSERT_TRUE(IconToDibs(colourIcon.get(), colour));
    EXPECT_TRUE(colour.isIcon);
    EXPECT_EQ(colour.mask.Bpp(), 1);
    EXPECT_EQ(colour.mask.Width(), 16);
    EXPECT_EQ(colour.mask.Height(), 16);
    const clsPalette maskTable = colour.mask.Palette();
    ASSERT_EQ(maskTable.Count(), 2);
    EXPECT_EQ(maskTable.Red(1), 0);
    EXPECT_EQ(maskTable.Red(2), 255);
    EXPECT_GE(colour.colour.Bpp(), 24);
    EXPECT_EQ(::GetPixel(colour.colour.hDC(), 7, 3), PatternAt(7, 3));
    EXPECT_EQ(::GetPixel(colour.mask.hDC(), 0, 0), White);
    EXPECT_EQ(::GetPixel(colour.mask.hDC(), 4, 0), Black);

    const UniqueIcon cursor = fixtures::MakeColourIcon(16, PatternAt, LeftColumnsUncovered, false, 3, 5);
    IconDibs hot;
    ASSERT_TRUE(IconToDibs(cursor.get(), hot));
    EXPECT_FALSE(hot.isIcon);
    EXPECT_EQ(hot.hotspotX, 3u);
    EXPECT_EQ(hot.hotspotY, 5u);

    const UniqueIcon mono = fixtures::MakeMonochromeIcon(8, 6, LeftColumnsUncovered, LeftColumnsUncovered);
    IconDibs monochrome;
    ASSERT_TRUE(IconToDibs(mono.get(), monochrome));
    EXPECT_EQ(monochrome.colour.hDib(), nullptr);
    EXPECT_EQ(monochrome.mask.Width(), 8);
    EXPECT_EQ(monochrome.mask.Height(), 12);

    IconDibs none;
    EXPECT_FALSE(IconToDibs(nullptr, none));
    EXPECT_EQ(none.mask.hDib(), nullptr);
}

// ---- The byte view -------------------------------------------------------------------------------

TEST(pvBuildSA3D, ViewsRowsFromTheBottom) {
    clsDIBSection dib;
    dib.CreateDC(3, 2, 32);
    dib.DrawBackColor(static_cast<int32_t>(Black));
    ::SetPixelV(dib.hDC(), 2, 1, RGB(1, 2, 3)); // bottom row, last column: still in GDI's batch
    const DibByteView view = pvBuildSA3D(dib);
    EXPECT_EQ(view.Rows(), 2);
    EXPECT_EQ(view.Columns(), 3);
    EXPECT_EQ(view(0, 2, 0), 3); // blue
    EXPECT_EQ(view(0, 2, 1), 2);
    EXPECT_EQ(view(0, 2, 2), 1); // red
    view(1, 0, 2) = 200;         // top row, first column: red
    EXPECT_EQ(::GetPixel(dib.hDC(), 0, 0), RGB(200, 0, 0));

    for (const int bpp : {24, 8}) {
        clsDIBSection other;
        other.CreateDC(3, 2, bpp);
        try {
            (void)pvBuildSA3D(other);
            ADD_FAILURE() << bpp << " bpp was accepted";
        } catch (const AppError& e) {
            EXPECT_EQ(e.Number(), AppError::kToolkitError);
            EXPECT_EQ(e.Source(), "pvBuildSA3D");
            EXPECT_EQ(e.Description(), "Cannot create Safe Array for this DIB bpp");
        }
    }
}

// ---- Resources -----------------------------------------------------------------------------------

TEST(DrawPictureInBox, LeavesNoGdiObjectBehindAndSwallowsFailures) {
    const Picture bitmap = MakeBitmapPicture(16, 16, 24, MenuPictureAt);
    const Picture icon = Picture::FromIcon(fixtures::MakeColourIcon(16, PatternAt, LeftColumnsUncovered).release());
    // A "bitmap" that is a brush: nothing can be read from it (the picture deletes it all the same).
    const Picture stale = Picture::FromBitmap(reinterpret_cast<HBITMAP>(::CreateSolidBrush(RGB(1, 1, 1))));
    DibCanvas canvas(24, 24, Background);

    const auto drawAll = [&] {
        DrawPictureInBox(canvas.dc(), 0, 0, 16, 18, false, &bitmap, true, 16, 16, 0, 0, -1);
        DrawPictureInBox(canvas.dc(), 0, 0, 16, 18, true, &bitmap, false, 16, 16, 0, 0, -1);
        DrawPictureInBox(canvas.dc(), 0, 0, 16, 18, false, &bitmap, false, 16, 16, 0, 0, -1);
        DrawPictureInBox(canvas.dc(), 0, 0, 16, 16, true, &icon, true, -1, -1, 0, 0, -1);
        DrawPictureInBox(canvas.dc(), 4, 4, 20, 20, false, &stale, true, -1, -1, 0, 0, -1);
        // A box too large for any DIB: the background's DC is made, its bitmap is refused.
        DrawPictureInBox(canvas.dc(), 0, 0, 60000, 60000, false, &bitmap, true, -1, -1, 0, 0, -1);
    };
    const auto [before, after] = CountsAround(1000, [&](int) { drawAll(); });
    EXPECT_EQ(after, before);

    // The failing calls drew nothing.
    canvas.Fill(Background);
    DrawPictureInBox(canvas.dc(), 4, 4, 20, 20, false, &stale, true, -1, -1, 0, 0, -1);
    DrawPictureInBox(canvas.dc(), 0, 0, 60000, 60000, false, &bitmap, true, -1, -1, 0, 0, -1);
    EXPECT_TRUE(CanvasShows(canvas, [](int, int) { return Background; }));
}

} // namespace
