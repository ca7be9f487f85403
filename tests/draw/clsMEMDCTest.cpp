// The memory canvas against real GDI. Pictures are patterned pixel by pixel, copied around and read
// back, either from a 32-bpp DIB section target or with GetPixel from the canvas itself.
#include "draw/clsMEMDC.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/AppError.h"
#include "core/Color.h"
#include "draw/clsFontHDC.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

constexpr int32_t Background = Rgb(1, 2, 3);

// A distinct colour for every position of a small picture.
constexpr int32_t PatternAt(int x, int y) {
    return Rgb(20 + 10 * x, 40 + 10 * y, 200 - 7 * x - 3 * y);
}

void DrawPattern(HDC dc, int width, int height) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            ::SetPixelV(dc, x, y, static_cast<COLORREF>(PatternAt(x, y)));
        }
    }
}

// A width x height canvas holding the pattern.
void MakePatterned(clsMEMDC& canvas, int width, int height, int32_t bkMode = OPAQUE) {
    canvas.CreateDC(width, height, bkMode);
    DrawPattern(canvas.hDC(), width, height);
}

int32_t PixelOf(const clsMEMDC& canvas, int x, int y) {
    return static_cast<int32_t>(::GetPixel(canvas.hDC(), x, y));
}

// True when the canvas is width x height and shows expected(x, y) at every pixel.
template <typename Expected>
::testing::AssertionResult Shows(const clsMEMDC& canvas, int width, int height, Expected expected) {
    if (canvas.Width() != width || canvas.Height() != height) {
        return ::testing::AssertionFailure() << "canvas is " << canvas.Width() << " x " << canvas.Height();
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (PixelOf(canvas, x, y) != expected(x, y)) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex
                                                     << PixelOf(canvas, x, y) << ", expected 0x" << expected(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The pixel of a DIB target as a colour value, comparable with Background and PatternAt().
int32_t At(const DibCanvas& target, int x, int y) {
    return static_cast<int32_t>(target.pixel(x, y));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof(info), &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

TEST(clsMEMDC, CreateDCMakesAReadyCanvasOfTheAskedSize) {
    struct Case {
        int32_t width, height, mode;
        int32_t wantWidth, wantHeight;
    };
    // A negative size becomes 1; 0 is taken as asked.
    const Case cases[] = {
        {10, 20, OPAQUE, 10, 20}, {-5, 3, TRANSPARENT, 1, 3}, {7, -1, OPAQUE, 7, 1}, {0, 4, TRANSPARENT, 0, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        clsMEMDC canvas;
        canvas.CreateDC(c.width, c.height, c.mode);
        ASSERT_NE(canvas.hDC(), nullptr);
        ASSERT_NE(canvas.hBmp(), nullptr);
        EXPECT_EQ(canvas.Width(), c.wantWidth);
        EXPECT_EQ(canvas.Height(), c.wantHeight);
        EXPECT_EQ(::GetCurrentObject(canvas.hDC(), OBJ_BITMAP), canvas.hBmp());
        EXPECT_EQ(canvas.BkMode(), c.mode);
        EXPECT_EQ(::GetStretchBltMode(canvas.hDC()), COLORONCOLOR);
        if (c.wantWidth > 0) {
            const SIZE size = BitmapSize(canvas.hBmp());
            EXPECT_EQ(size.cx, c.wantWidth);
            EXPECT_EQ(size.cy, c.wantHeight);
        }
    }
}

TEST(clsMEMDC, ReCreatingDeletesTheOldContextAndBitmap) {
    clsMEMDC canvas;
    canvas.CreateDC(5, 5);
    const HDC oldDc = canvas.hDC();
    const HBITMAP oldBitmap = canvas.hBmp();
    canvas.CreateDC(6, 6);
    // Wine and Windows both put a generation in a GDI handle, so a recycled slot reads as gone too.
    EXPECT_EQ(::GetObjectType(oldDc), 0u);
    EXPECT_EQ(::GetObjectType(oldBitmap), 0u);
}

TEST(clsMEMDC, AnEmptyCanvasDoesNothing) {
    clsMEMDC canvas;
    EXPECT_EQ(canvas.BkMode(), 0);
    EXPECT_EQ(canvas.BkColor(), 0);
    canvas.BkMode(TRANSPARENT);
    canvas.BkColor(Rgb(1, 2, 3));
    canvas.DrawBackColor(Rgb(255, 0, 0));
    DibCanvas target(4, 4, Background);
    canvas.PaintPicture(target.dc(), 0, 0);
    EXPECT_EQ(At(target, 0, 0), Background);
    EXPECT_EQ(canvas.ReleasehBmp(), nullptr);
    EXPECT_FALSE(canvas.Picture());
    canvas.Destroy();
    canvas.Destroy();
    EXPECT_EQ(canvas.hDC(), nullptr);
}

TEST(clsMEMDC, DestroyEmptiesTheCanvas) {
    clsMEMDC canvas;
    canvas.CreateDC(3, 3);
    canvas.Destroy();
    EXPECT_EQ(canvas.hDC(), nullptr);
    EXPECT_EQ(canvas.hBmp(), nullptr);
    EXPECT_EQ(canvas.Width(), 0);
    EXPECT_EQ(canvas.Height(), 0);
    canvas.Destroy();
}

TEST(clsMEMDC, PaintPictureCopiesOneToOneOrStretches) {
    clsMEMDC canvas;
    MakePatterned(canvas, 4, 3);

    // All sizes -1: the whole canvas, unscaled, at the destination; nothing around it changes.
    DibCanvas whole(10, 10, Background);
    canvas.PaintPicture(whole.dc(), 2, 3, -1, -1, 0, 0, -1, -1, SRCCOPY);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 6;
            ASSERT_EQ(At(whole, x, y), inside ? PatternAt(x - 2, y - 3) : Background) << x << ", " << y;
        }
    }

    // A part of the canvas, same size on both sides.
    DibCanvas part(4, 4, Background);
    canvas.PaintPicture(part.dc(), 0, 0, 2, 2, 1, 1, 2, 2, SRCCOPY);
    EXPECT_EQ(At(part, 0, 0), PatternAt(1, 1));
    EXPECT_EQ(At(part, 1, 1), PatternAt(2, 2));
    EXPECT_EQ(At(part, 2, 2), Background);

    // Twice the canvas's size: every source pixel covers a 2 x 2 block (COLORONCOLOR is the
    // target's mode here too, so no blending).
    DibCanvas doubled(8, 6, Background);
    ::SetStretchBltMode(doubled.dc(), COLORONCOLOR);
    canvas.PaintPicture(doubled.dc(), 0, 0, 8, 6);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(At(doubled, x, y), PatternAt(x / 2, y / 2)) << x << ", " << y;
        }
    }
}

TEST(clsMEMDC, CloneFromHdcCopiesTheAreaWithTheSourceBackgroundMode) {
    DibCanvas source(6, 4, Background);
    DrawPattern(source.dc(), 6, 4);
    ::SetBkMode(source.dc(), TRANSPARENT);

    clsMEMDC canvas;
    canvas.CloneFromHdc(source.dc(), 2, 1, 3, 2, SRCCOPY);
    EXPECT_TRUE(Shows(canvas, 3, 2, [](int x, int y) { return PatternAt(x + 2, y + 1); }));
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);

    // A size below 1 takes the full size of the source's bitmap, from the given origin.
    canvas.CloneFromHdc(source.dc(), 0, 0, 0, 5, SRCCOPY);
    EXPECT_TRUE(Shows(canvas, 6, 4, PatternAt));
    canvas.CloneFromHdc(source.dc(), 1, 0, 3, -1, SRCCOPY);
    ASSERT_EQ(canvas.Width(), 6);
    ASSERT_EQ(canvas.Height(), 4);
    EXPECT_EQ(PixelOf(canvas, 0, 0), PatternAt(1, 0));
    EXPECT_EQ(PixelOf(canvas, 4, 3), PatternAt(5, 3));

    // The raster operation is passed on.
    canvas.CloneFromHdc(source.dc(), 0, 0, 2, 2, NOTSRCCOPY);
    EXPECT_EQ(PixelOf(canvas, 1, 1), PatternAt(1, 1) ^ 0xFFFFFF);
}

TEST(clsMEMDC, CloningFromItselfKeepsThePicture) {
    clsMEMDC canvas;
    MakePatterned(canvas, 4, 4);
    canvas.CloneFromHdc(canvas.hDC(), 1, 2, 2, 2, SRCCOPY);
    EXPECT_TRUE(Shows(canvas, 2, 2, [](int x, int y) { return PatternAt(x + 1, y + 2); }));

    canvas.CloneFromHBmp(canvas.hBmp(), TRANSPARENT);
    EXPECT_TRUE(Shows(canvas, 2, 2, [](int x, int y) { return PatternAt(x + 1, y + 2); }));
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
}

TEST(clsMEMDC, CloneFromHBmpCopiesTheWholeBitmapAndLeavesItToTheCaller) {
    clsMEMDC source;
    MakePatterned(source, 5, 3);
    const UniqueBitmap bitmap(source.ReleasehBmp());

    {
        clsMEMDC canvas;
        canvas.CloneFromHBmp(bitmap.get(), TRANSPARENT);
        EXPECT_TRUE(Shows(canvas, 5, 3, PatternAt));
        EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
        EXPECT_NE(canvas.hBmp(), bitmap.get());
    }
    // The canvas is gone; the caller's bitmap is still there and selectable (selected nowhere).
    EXPECT_EQ(::GetObjectType(bitmap.get()), static_cast<DWORD>(OBJ_BITMAP));
    const UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    const SelectGuard selection(dc.get(), bitmap.get());
    EXPECT_TRUE(selection.selected());
}

TEST(clsMEMDC, ResizeCutKeepsTheTopLeftAndTheBackgroundMode) {
    clsMEMDC canvas;
    MakePatterned(canvas, 4, 3, TRANSPARENT);

    canvas.ResizeCutDC(6, 5, OPAQUE);
    ASSERT_EQ(canvas.Width(), 6);
    ASSERT_EQ(canvas.Height(), 5);
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(PixelOf(canvas, x, y), PatternAt(x, y)) << x << ", " << y;
        }
    }

    canvas.ResizeCutDC(2, 2, OPAQUE);
    EXPECT_TRUE(Shows(canvas, 2, 2, PatternAt));

    // A size below 1 keeps both sizes and the picture.
    canvas.ResizeCutDC(0, 9, OPAQUE);
    EXPECT_TRUE(Shows(canvas, 2, 2, PatternAt));
    canvas.ResizeCutDC(9, -3, OPAQUE);
    EXPECT_TRUE(Shows(canvas, 2, 2, PatternAt));
}

TEST(clsMEMDC, ResizeAdaptStretchesThePictureOverTheNewSize) {
    clsMEMDC canvas;
    MakePatterned(canvas, 2, 3, TRANSPARENT);
    canvas.ResizeAdaptDC(4, 6, OPAQUE);
    EXPECT_TRUE(Shows(canvas, 4, 6, [](int x, int y) { return PatternAt(x / 2, y / 2); }));
    EXPECT_EQ(canvas.BkMode(), TRANSPARENT);
}

TEST(clsMEMDC, ResizingAnEmptyCanvasCreatesIt) {
    clsMEMDC cut;
    cut.ResizeCutDC(-2, 7, TRANSPARENT);
    EXPECT_EQ(cut.Width(), 1);
    EXPECT_EQ(cut.Height(), 7);
    EXPECT_EQ(cut.BkMode(), TRANSPARENT);

    clsMEMDC adapt;
    adapt.ResizeAdaptDC(3, 2, TRANSPARENT);
    EXPECT_EQ(adapt.Width(), 3);
    EXPECT_EQ(adapt.Height(), 2);
    EXPECT_EQ(adapt.BkMode(), TRANSPARENT);
}

TEST(clsMEMDC, ReleasehBmpHandsTheBitmapOver) {
    clsMEMDC canvas;
    MakePatterned(canvas, 3, 2);
    const UniqueBitmap bitmap(canvas.ReleasehBmp());
    ASSERT_NE(bitmap.get(), nullptr);
    EXPECT_EQ(canvas.hDC(), nullptr);
    EXPECT_EQ(canvas.hBmp(), nullptr);
    canvas.Destroy();
    EXPECT_EQ(::GetObjectType(bitmap.get()), static_cast<DWORD>(OBJ_BITMAP));

    // Not selected anywhere any more, with the picture intact.
    clsMEMDC copy;
    copy.CloneFromHBmp(bitmap.get(), OPAQUE);
    EXPECT_TRUE(Shows(copy, 3, 2, PatternAt));
}

TEST(clsMEMDC, PictureOwnsTheBitmapFromThenOn) {
    clsMEMDC canvas;
    MakePatterned(canvas, 3, 2);
    const HBITMAP handle = canvas.hBmp();

    ::Picture picture = canvas.Picture();
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.kind(), ::Picture::Kind::Bitmap);
    EXPECT_EQ(picture.bitmap(), handle);
    EXPECT_EQ(canvas.hDC(), nullptr);
    EXPECT_EQ(canvas.hBmp(), nullptr);

    // The canvas has nothing left to give or to delete.
    EXPECT_FALSE(canvas.Picture());
    canvas.Destroy();
    EXPECT_EQ(::GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));

    picture.reset();
    EXPECT_EQ(::GetObjectType(handle), 0u);
}

TEST(clsMEMDC, BackAndTextBackgroundColoursTranslateSystemColourCodes) {
    struct Case {
        int32_t colour;
        COLORREF expected;
    };
    const Case cases[] = {
        {Rgb(10, 20, 30), RGB(10, 20, 30)},
        {static_cast<int32_t>(0x8000000F), ::GetSysColor(COLOR_BTNFACE)},
        {static_cast<int32_t>(0x80000012), ::GetSysColor(COLOR_BTNTEXT)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.colour);
        clsMEMDC canvas;
        canvas.CreateDC(5, 4);
        canvas.DrawBackColor(c.colour);
        const auto expected = static_cast<int32_t>(c.expected);
        EXPECT_TRUE(Shows(canvas, 5, 4, [&](int, int) { return expected; }));

        canvas.BkColor(c.colour);
        EXPECT_EQ(canvas.BkColor(), expected);
        EXPECT_EQ(::GetBkColor(canvas.hDC()), c.expected);
    }
}

// The error's number, source and description, or a failure when nothing or something else is thrown.
template <typename Operation>
::testing::AssertionResult ThrowsToolkitError(Operation operation, const std::string& source,
                                              const std::string& description) {
    try {
        operation();
    } catch (const AppError& error) {
        if (error.Number() != 0x80040001u || error.Source() != source || error.Description() != description) {
            return ::testing::AssertionFailure() << "threw 0x" << std::hex << error.Number() << " \"" << error.Source()
                                                 << "\" \"" << error.Description() << "\"";
        }
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

TEST(clsMEMDC, CreationFailuresRaiseToolkitErrors) {
    clsMEMDC canvas;
    EXPECT_TRUE(ThrowsToolkitError([&] { canvas.CreateDC(INT_MAX, INT_MAX); }, "clsMemDC.CreateDC",
                                   "clsMemDC.CreateDC.hBmp not created"));
    // The DC made before the failure stays with the canvas until Destroy.
    EXPECT_NE(canvas.hDC(), nullptr);
    EXPECT_EQ(canvas.hBmp(), nullptr);
    const HDC dc = canvas.hDC();
    canvas.Destroy();
    EXPECT_EQ(::GetObjectType(dc), 0u);

    // A bitmap that is selected into another DC cannot be selected for the copy.
    DibCanvas selectedElsewhere(2, 2, Background);
    EXPECT_TRUE(ThrowsToolkitError([&] { canvas.CloneFromHBmp(selectedElsewhere.bitmap(), OPAQUE); },
                                   "clsMemDC.CloneFromhBmp", "clsMemDC.CloneFromhBmp.Bitmap not selected"));
    EXPECT_TRUE(ThrowsToolkitError([&] { canvas.CloneFromHBmp(nullptr, OPAQUE); }, "clsMemDC.CloneFromhBmp",
                                   "clsMemDC.CloneFromhBmp.Bitmap not selected"));
}

TEST(clsMEMDC, CanvasesAndFontsLeaveNoGdiObjectsBehind) {
    DibCanvas target(16, 16, Background);
    DrawPattern(target.dc(), 16, 16);
    const auto exercise = [&] {
        clsMEMDC canvas;
        canvas.CreateDC(16, 12, TRANSPARENT);
        canvas.DrawBackColor(static_cast<int32_t>(0x8000000F));
        {
            clsFontHDC font;
            font.SetFontToDC(canvas.hDC(), L"MS Sans Serif", 8, 0, true, false, false, false, 0, -2, false);
            ::TextOutW(canvas.hDC(), 0, 0, L"12", 2);
        }
        canvas.ResizeCutDC(20, 20);
        canvas.ResizeAdaptDC(8, 8);
        canvas.CloneFromHdc(target.dc(), 1, 1, 0, 0);
        canvas.CloneFromHdc(canvas.hDC(), 1, 1, 4, 4);
        canvas.PaintPicture(target.dc(), 0, 0, 32, 32);
        const UniqueBitmap bitmap(canvas.ReleasehBmp());
        canvas.CloneFromHBmp(bitmap.get(), OPAQUE);
        const ::Picture picture = canvas.Picture();
        canvas.CreateDC(4, 4);
        try {
            canvas.CreateDC(INT_MAX, 2);
        } catch (const AppError&) {
        }
        try {
            canvas.CloneFromHBmp(target.bitmap(), OPAQUE);
        } catch (const AppError&) {
        }
    };
    // One round first, so that whatever the system sets up once on first use is not counted.
    exercise();
    const uint32_t before = LiveGdiObjectCount();
    ASSERT_GT(before, 0u);
    for (int i = 0; i < 200; ++i) {
        exercise();
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

} // namespace
