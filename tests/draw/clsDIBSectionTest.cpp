// The DIB section against real GDI: sizes, depths and colour tables as the system reports them,
// pixels copied in and out and read back.
#include "draw/clsDIBSection.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PictureFixtures.h"
#include "core/AppError.h"
#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

constexpr COLORREF Background = RGB(1, 2, 3);

COLORREF PatternAt(int x, int y) {
    return RGB(20 + 10 * x, 40 + 10 * y, 200 - 7 * x - 3 * y);
}

// True when the DIB is width x height and shows expected(x, y) at every pixel (read with GetPixel).
::testing::AssertionResult DibShows(const clsDIBSection& dib, int width, int height,
                                    const std::function<COLORREF(int, int)>& expected) {
    if (dib.Width() != width || dib.Height() != height) {
        return ::testing::AssertionFailure() << "DIB is " << dib.Width() << " x " << dib.Height();
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF p = ::GetPixel(dib.hDC(), x, y);
            if (p != expected(x, y)) {
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is 0x" << std::hex << p
                                                     << ", expected 0x" << expected(x, y);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

// The error a call throws, or "" when it throws none.
template <typename Call> std::string ErrorOf(Call call, std::string* source = nullptr) {
    try {
        call();
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), AppError::kToolkitError);
        if (source) {
            *source = e.Source();
        }
        return e.Description();
    }
    return "";
}

DIBSECTION SectionOf(const clsDIBSection& dib) {
    DIBSECTION section{};
    EXPECT_EQ(::GetObjectW(dib.hDib(), sizeof(section), &section), static_cast<int>(sizeof(section)));
    return section;
}

TEST(clsDIBSection, CreateDCMakesASelectedBottomUpDib) {
    struct Case {
        int32_t width, height, bpp;
        int32_t wantWidth, wantHeight;
    };
    const Case cases[] = {{-1, -1, 32, 2, 2}, {5, 3, 24, 5, 3}, {33, -4, 1, 33, 2}, {7, 7, 8, 7, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " x " << c.bpp);
        clsDIBSection dib;
        dib.CreateDC(c.width, c.height, c.bpp);
        ASSERT_NE(dib.hDC(), nullptr);
        ASSERT_NE(dib.hDib(), nullptr);
        EXPECT_NE(dib.BitsPtr(), nullptr);
        EXPECT_EQ(::GetCurrentObject(dib.hDC(), OBJ_BITMAP), dib.hDib());
        EXPECT_EQ(::GetStretchBltMode(dib.hDC()), COLORONCOLOR);
        EXPECT_EQ(dib.Width(), c.wantWidth);
        EXPECT_EQ(dib.Height(), c.wantHeight);
        EXPECT_EQ(dib.Bpp(), c.bpp);
        const DIBSECTION section = SectionOf(dib);
        EXPECT_EQ(section.dsBmih.biWidth, c.wantWidth);
        EXPECT_EQ(section.dsBmih.biHeight, c.wantHeight); // positive: bottom-up
        EXPECT_EQ(section.dsBmih.biBitCount, c.bpp);
        EXPECT_EQ(section.dsBm.bmBits, dib.BitsPtr());
    }
}

TEST(clsDIBSection, BytesPerScanLineIsTheStoredRowLength) {
    struct Case {
        int32_t width, bpp, bytes;
    };
    const Case cases[] = {{7, 24, 24}, {7, 32, 28}, {33, 1, 8}, {1, 1, 4}, {3, 4, 4}, {9, 8, 12}, {3, 16, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " pixels of " << c.bpp << " bits");
        clsDIBSection dib;
        dib.CreateDC(c.width, 2, c.bpp);
        EXPECT_EQ(dib.BytesPerScanLine(), c.bytes);
        EXPECT_EQ(SectionOf(dib).dsBm.bmWidthBytes, c.bytes);
    }
    EXPECT_EQ(clsDIBSection().BytesPerScanLine(), 0);
}

// The colour table of the DIB as the system holds it.
std::vector<RGBQUAD> TableOf(const clsDIBSection& dib, int count) {
    std::vector<RGBQUAD> table(static_cast<size_t>(count));
    EXPECT_EQ(::GetDIBColorTable(dib.hDC(), 0, static_cast<UINT>(count), table.data()), static_cast<UINT>(count));
    return table;
}

bool Same(const RGBQUAD& q, int red, int green, int blue) {
    return q.rgbRed == red && q.rgbGreen == green && q.rgbBlue == blue && q.rgbReserved == 0;
}

TEST(clsDIBSection, PalettedDepthsTakeTheStandardTableWithoutAPalette) {
    clsDIBSection mono;
    mono.CreateDC(8, 8, 1);
    const std::vector<RGBQUAD> monoTable = TableOf(mono, 2);
    EXPECT_TRUE(Same(monoTable[0], 0, 0, 0));
    EXPECT_TRUE(Same(monoTable[1], 255, 255, 255));
    const clsPalette monoPalette = mono.Palette();
    ASSERT_EQ(monoPalette.Count(), 2);
    EXPECT_EQ(monoPalette.Red(1), 0);
    EXPECT_EQ(monoPalette.Red(2), 255);

    // An empty palette passed in receives the table.
    clsPalette received;
    clsDIBSection sixteen;
    sixteen.CreateDC(4, 4, 4, &received);
    EXPECT_EQ(received.Count(), 16);
    const std::vector<RGBQUAD> table16 = TableOf(sixteen, 16);
    EXPECT_TRUE(Same(table16[1], 128, 0, 0));
    EXPECT_TRUE(Same(table16[9], 255, 0, 0));

    // 256 entries for 8 bits: the 125 halftone colours, then black.
    clsDIBSection eight;
    eight.CreateDC(4, 4, 8);
    const std::vector<RGBQUAD> table256 = TableOf(eight, 256);
    EXPECT_TRUE(Same(table256[1], 64, 0, 0));
    EXPECT_TRUE(Same(table256[124], 255, 255, 255));
    EXPECT_TRUE(Same(table256[125], 0, 0, 0));
    EXPECT_EQ(eight.Palette().Count(), 256);

    // A palette given: its first entries, the rest black; more entries than the depth holds are cut.
    clsPalette three;
    three.Add(10, 20, 30);
    three.Add(40, 50, 60);
    three.Add(70, 80, 90);
    clsDIBSection given;
    given.CreateDC(4, 4, 4, &three);
    const std::vector<RGBQUAD> table3 = TableOf(given, 16);
    EXPECT_TRUE(Same(table3[2], 70, 80, 90));
    EXPECT_TRUE(Same(table3[3], 0, 0, 0));
    given.CreateDC(4, 4, 1, &three);
    EXPECT_EQ(given.Palette().Count(), 2);
    EXPECT_EQ(given.Palette().Blue(2), 60);

    clsDIBSection deep;
    deep.CreateDC(4, 4, 24);
    EXPECT_EQ(deep.Palette().Count(), 0);
}

TEST(clsDIBSection, CreationFailuresAreReported) {
    clsDIBSection dib;
    std::string source;
    // Far beyond any DIB the system makes: the DC is made, the DIB is refused.
    EXPECT_EQ(ErrorOf([&] { dib.CreateDC(60000, 60000, 32); }, &source), "clsDIBSection.CreateDC.hDib not created");
    EXPECT_EQ(source, "clsDIBSection.CreateDC");
    EXPECT_EQ(dib.hDib(), nullptr);

    const UniqueBitmap bitmap = fixtures::MakeBitmap(4, 4, 24, PatternAt);
    clsPalette empty;
    for (const int32_t bpp : {1, 8, 16}) {
        EXPECT_EQ(ErrorOf([&] { dib.CloneFromHBmp(bitmap.get(), bpp, &empty); }, &source), "Palette is required!");
        EXPECT_EQ(source, "clsDIBSection");
        DibCanvas canvas(4, 4, Background);
        EXPECT_EQ(ErrorOf([&] { dib.CloneFromHdc(canvas.dc(), bpp); }), "Palette is required!");
    }

    // A bitmap that another DC holds cannot be selected for the copy.
    DibCanvas holder(4, 4, Background);
    EXPECT_EQ(ErrorOf([&] { dib.CloneFromHBmp(holder.bitmap(), 32); }, &source),
              "clsDIBSection.CloneFromhBmp.Bitmap not selected");
    EXPECT_EQ(source, "clsDIBSection.CloneFromhBmp");
}

TEST(clsDIBSection, CloneFromHBmpCopiesTheBitmap) {
    const UniqueBitmap bitmap = fixtures::MakeBitmap(5, 4, 24, PatternAt);
    clsDIBSection dib;
    dib.CloneFromHBmp(bitmap.get(), 32);
    EXPECT_EQ(dib.Bpp(), 32);
    EXPECT_TRUE(DibShows(dib, 5, 4, PatternAt));

    dib.CloneFromHBmp(bitmap.get(), -1); // its own depth
    EXPECT_EQ(dib.Bpp(), 24);
    EXPECT_TRUE(DibShows(dib, 5, 4, PatternAt));

    // Into 1 bit with a palette: every colour becomes the nearer of black and white.
    const UniqueBitmap blackWhite =
        fixtures::MakeBitmap(4, 1, 24, [](int x, int) { return x % 2 ? RGB(250, 250, 250) : RGB(5, 5, 5); });
    clsPalette mono;
    mono.CreateMono2();
    dib.CloneFromHBmp(blackWhite.get(), 1, &mono);
    EXPECT_TRUE(DibShows(dib, 4, 1, [](int x, int) { return x % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }));

    // Its own DIB: the copy survives the re-creation.
    dib.CloneFromHBmp(bitmap.get(), 32);
    dib.CloneFromHBmp(dib.hDib(), 24);
    EXPECT_EQ(dib.Bpp(), 24);
    EXPECT_TRUE(DibShows(dib, 5, 4, PatternAt));
}

TEST(clsDIBSection, CloneFromHdcCopiesAnArea) {
    DibCanvas source(6, 5, Background);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            ::SetPixelV(source.dc(), x, y, PatternAt(x, y));
        }
    }
    clsDIBSection dib;
    dib.CloneFromHdc(source.dc(), 24, nullptr, 2, 1, 3, 2, SRCCOPY);
    EXPECT_EQ(dib.Bpp(), 24);
    EXPECT_TRUE(DibShows(dib, 3, 2, [](int x, int y) { return PatternAt(x + 2, y + 1); }));

    // A size below 1: the whole bitmap's size; depth -1: its depth.
    dib.CloneFromHdc(source.dc(), -1, nullptr, 0, 0, 0, 3);
    EXPECT_EQ(dib.Bpp(), 32);
    EXPECT_TRUE(DibShows(dib, 6, 5, PatternAt));

    // The raster operation is passed on; the DIB's own DC is a fine source.
    dib.CloneFromHdc(dib.hDC(), 32, nullptr, 1, 1, 2, 2, NOTSRCCOPY);
    EXPECT_TRUE(DibShows(dib, 2, 2, [](int x, int y) { return PatternAt(x + 1, y + 1) ^ 0xFFFFFF; }));
}

TEST(clsDIBSection, CloneFromDibKeepsPixelsAndTable) {
    const UniqueBitmap bitmap = fixtures::MakeBitmap(4, 3, 24, PatternAt);
    clsDIBSection original;
    original.CloneFromHBmp(bitmap.get(), 24);

    clsDIBSection copy;
    copy.CloneFromDib(original);
    EXPECT_EQ(copy.Bpp(), 24);
    EXPECT_TRUE(DibShows(copy, 4, 3, PatternAt));
    copy.CloneFromDib(original, 32);
    EXPECT_EQ(copy.Bpp(), 32);
    EXPECT_TRUE(DibShows(copy, 4, 3, PatternAt));
    copy.CloneFromDib(copy, 24); // itself
    EXPECT_EQ(copy.Bpp(), 24);
    EXPECT_TRUE(DibShows(copy, 4, 3, PatternAt));

    clsPalette two;
    two.Add(200, 0, 0);
    two.Add(0, 0, 200);
    clsDIBSection mono;
    mono.CreateDC(2, 1, 1, &two);
    ::SetPixelV(mono.hDC(), 1, 0, RGB(0, 0, 200));
    copy.CloneFromDib(mono);
    EXPECT_EQ(copy.Palette().Red(1), 200);
    EXPECT_EQ(copy.Palette().Blue(2), 200);
    EXPECT_TRUE(DibShows(copy, 2, 1, [](int x, int) { return x ? RGB(0, 0, 200) : RGB(200, 0, 0); }));
}

TEST(clsDIBSection, PaintPictureCopiesOneToOneOrStretches) {
    const UniqueBitmap bitmap = fixtures::MakeBitmap(16, 16, 24, PatternAt);
    clsDIBSection dib;
    dib.CloneFromHBmp(bitmap.get(), 32);

    DibCanvas same(20, 20, Background);
    dib.PaintPicture(same.dc(), 2, 3, 16, 16, 0, 0, -1, -1, SRCCOPY);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 2 && x < 18 && y >= 3 && y < 19;
            ASSERT_EQ(same.pixel(x, y), inside ? PatternAt(x - 2, y - 3) : Background) << x << ", " << y;
        }
    }

    // Twice the size: every pixel covers a 2 x 2 block.
    DibCanvas doubled(32, 32, Background);
    ::SetStretchBltMode(doubled.dc(), COLORONCOLOR);
    dib.PaintPicture(doubled.dc(), 0, 0, 32, 32, 0, 0, -1, -1, SRCCOPY);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(doubled.pixel(x, y), PatternAt(x / 2, y / 2)) << x << ", " << y;
        }
    }

    // A part, same size on both sides.
    DibCanvas part(4, 4, Background);
    dib.PaintPicture(part.dc(), 0, 0, 2, 2, 5, 6, 2, 2, SRCCOPY);
    EXPECT_EQ(part.pixel(1, 1), PatternAt(6, 7));
    EXPECT_EQ(part.pixel(2, 2), Background);
}

TEST(clsDIBSection, DestroyAndHandOver) {
    clsDIBSection dib;
    dib.CreateDC(4, 3, 32);
    const HDC dc = dib.hDC();
    const HBITMAP bitmap = dib.hDib();
    dib.Destroy();
    EXPECT_EQ(dib.hDC(), nullptr);
    EXPECT_EQ(dib.hDib(), nullptr);
    EXPECT_EQ(dib.BitsPtr(), nullptr);
    EXPECT_EQ(::GetObjectType(dc), 0u);
    EXPECT_EQ(::GetObjectType(bitmap), 0u);
    // The size and depth of the last creation stay.
    EXPECT_EQ(dib.Width(), 4);
    EXPECT_EQ(dib.Height(), 3);
    EXPECT_EQ(dib.Bpp(), 32);
    dib.Destroy();

    dib.CreateDC(4, 3, 32);
    dib.DrawBackColor(static_cast<int32_t>(RGB(9, 8, 7)));
    const HBITMAP released = dib.ReleasehDib();
    ASSERT_NE(released, nullptr);
    EXPECT_EQ(dib.hDib(), nullptr);
    EXPECT_EQ(dib.hDC(), nullptr);
    {
        // It is the caller's now, and free to be selected elsewhere.
        const UniqueBitmap owned(released);
        const UniqueMemoryDC other(::CreateCompatibleDC(nullptr));
        const SelectGuard selection(other.get(), owned.get());
        ASSERT_TRUE(selection.selected());
        EXPECT_EQ(::GetPixel(other.get(), 3, 2), RGB(9, 8, 7));
    }

    dib.CreateDC(2, 2, 24);
    const HBITMAP inside = dib.hDib();
    ::Picture picture = dib.Picture();
    EXPECT_EQ(picture.kind(), ::Picture::Kind::Bitmap);
    EXPECT_EQ(picture.bitmap(), inside);
    EXPECT_EQ(dib.hDib(), nullptr);
    EXPECT_FALSE(dib.Picture());
    EXPECT_EQ(dib.ReleasehDib(), nullptr);
}

TEST(clsDIBSection, BackgroundAndFill) {
    clsDIBSection dib;
    // Nothing happens without a DC.
    dib.BkMode(TRANSPARENT);
    dib.BkColor(static_cast<int32_t>(RGB(1, 1, 1)));
    dib.DrawBackColor(0);
    DibCanvas target(2, 2, Background);
    dib.PaintPicture(target.dc());
    EXPECT_EQ(target.pixel(0, 0), Background);
    EXPECT_EQ(dib.BkMode(), 0);
    EXPECT_EQ(dib.BkColor(), 0);

    dib.CreateDC(3, 2, 32);
    dib.BkMode(TRANSPARENT);
    EXPECT_EQ(dib.BkMode(), TRANSPARENT);
    dib.BkColor(static_cast<int32_t>(0x80000000u | COLOR_WINDOW)); // a system colour code
    EXPECT_EQ(dib.BkColor(), static_cast<int32_t>(::GetSysColor(COLOR_WINDOW)));
    dib.DrawBackColor(static_cast<int32_t>(RGB(40, 50, 60)));
    EXPECT_TRUE(DibShows(dib, 3, 2, [](int, int) { return RGB(40, 50, 60); }));
}

TEST(clsDIBSection, LeavesNoGdiObjectBehind) {
    const UniqueBitmap bitmap = fixtures::MakeBitmap(8, 8, 24, PatternAt);
    DibCanvas canvas(8, 8, Background);
    const auto cycle = [&] {
        clsDIBSection dib;
        dib.CreateDC(8, 8, 8);
        dib.CloneFromHBmp(bitmap.get(), 32);
        dib.CloneFromHdc(canvas.dc(), 24, nullptr, 0, 0, 4, 4);
        dib.CloneFromDib(dib, 1);
        (void)ErrorOf([&] { dib.CreateDC(60000, 60000, 32); });
        (void)ErrorOf([&] { dib.CloneFromHBmp(canvas.bitmap(), 32); });
        dib.CreateDC(2, 2, 32);
    };
    cycle();
    const uint32_t before = LiveGdiObjectCount();
    for (int i = 0; i < 200; ++i) {
        cycle();
    }
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

} // namespace
