// Regions against real GDI: masks are real bitmaps, shapes are compared with EqualRgn against regions
// made directly by GDI, windows are real windows.
#include "draw/clsRegions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "support/DibCanvas.h"
#include "support/GdiCount.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF White = RGB(255, 255, 255);

// A screen-compatible bitmap (the kind a memory canvas hands over) with the colour of each pixel,
// not selected into any DC.
UniqueBitmap MaskBitmap(int width, int height, const std::function<COLORREF(int x, int y)>& colourAt) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colourAt(x, y);
            pixels[static_cast<size_t>(y) * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const WindowDC screen(nullptr);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap || ::SetDIBits(screen.get(), bitmap.get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) {
        return {};
    }
    return bitmap;
}

// Black with a red rectangle from (10, 5) to (30, 15): the mask of the examples below.
UniqueBitmap RedRectMask(COLORREF background = Black) {
    return MaskBitmap(100, 50, [=](int x, int y) { return x >= 10 && x < 30 && y >= 5 && y < 15 ? Red : background; });
}

UniqueRegion Rect(int l, int t, int r, int b) {
    return UniqueRegion(::CreateRectRgn(l, t, r, b));
}

UniqueRegion Take(intptr_t handle) {
    return UniqueRegion(reinterpret_cast<HRGN>(handle));
}

::testing::AssertionResult SameRegion(HRGN actual, HRGN expected) {
    if (actual == nullptr || expected == nullptr) {
        return ::testing::AssertionFailure() << "no region";
    }
    if (::EqualRgn(actual, expected)) {
        return ::testing::AssertionSuccess();
    }
    RECT box{};
    ::GetRgnBox(actual, &box);
    return ::testing::AssertionFailure() << "regions differ; actual box (" << box.left << ", " << box.top << ", "
                                         << box.right << ", " << box.bottom << ")";
}

// A plain shown popup window.
class TestWindow {
public:
    TestWindow() {
        static const ATOM cls = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"clsRegionsTestWindow";
            return ::RegisterClassW(&wc);
        }();
        window_.reset(::CreateWindowExW(WS_EX_TOOLWINDOW, MAKEINTATOM(cls), L"", WS_POPUP, 50, 50, 100, 50, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr));
        ::ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(window_.get());
    }
    [[nodiscard]] HWND get() const { return window_.get(); }

    // A copy of the window's region; empty when it has none.
    [[nodiscard]] UniqueRegion Region() const {
        UniqueRegion region = Rect(0, 0, 0, 0);
        if (::GetWindowRgn(get(), region.get()) == ERROR) {
            return {};
        }
        return region;
    }

private:
    UniqueWindow window_;
};

std::filesystem::path TempFile(const wchar_t* name) {
    return std::filesystem::temp_directory_path() / (std::wstring(L"clsRegionsTest-") + name);
}

// ---- RegionFromBitmap -----------------------------------------------------------------------------

TEST(clsRegionsFromBitmap, RedRectangleGivesExactlyThatRectangle) {
    const UniqueBitmap mask = RedRectMask();
    ASSERT_TRUE(mask);
    const clsRegions regions;
    const UniqueRegion region = Take(regions.RegionFromBitmap(mask.get(), nullptr, 0, false, 0, 0, 0, 0));
    EXPECT_TRUE(SameRegion(region.get(), Rect(10, 5, 30, 15).get()));
}

TEST(clsRegionsFromBitmap, AntiRegionIsTheComplement) {
    const UniqueBitmap mask = RedRectMask();
    const clsRegions regions;
    const UniqueRegion region = Take(regions.RegionFromBitmap(mask.get(), nullptr, 0, true, 0, 0, 0, 0));
    const UniqueRegion expected = Rect(0, 0, 100, 50);
    ::CombineRgn(expected.get(), expected.get(), Rect(10, 5, 30, 15).get(), RGN_DIFF);
    EXPECT_TRUE(SameRegion(region.get(), expected.get()));
}

TEST(clsRegionsFromBitmap, TransparentColourChoices) {
    struct Case {
        const char* name;
        int32_t transColor;
        COLORREF background;
    };
    const Case cases[] = {
        {"-1 takes the top-left pixel", -1, White},
        {"plain COLORREF", static_cast<int32_t>(RGB(0, 128, 255)), RGB(0, 128, 255)},
        {"system colour code", static_cast<int32_t>(0x80000000u | COLOR_WINDOW), ::GetSysColor(COLOR_WINDOW)},
        // An index past the system colour table must not break anything: GetSysColor answers black.
        {"unknown system colour index", static_cast<int32_t>(0x800000FFu), Black},
    };
    const clsRegions regions;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UniqueBitmap mask = RedRectMask(c.background);
        const UniqueRegion region =
            Take(regions.RegionFromBitmap(mask.get(), nullptr, c.transColor, false, 0, 0, 0, 0));
        EXPECT_TRUE(SameRegion(region.get(), Rect(10, 5, 30, 15).get()));
    }
}

TEST(clsRegionsFromBitmap, ExclusionIsTakenWholeAndClippedToTheBitmap) {
    const UniqueBitmap mask = RedRectMask();
    const clsRegions regions;
    struct Case {
        int32_t l, t, r, b;
        RECT added; // the exclusion as it ends up in the region, besides the red rectangle
    };
    const Case cases[] = {
        {50, 20, 59, 30, {50, 20, 60, 30}}, // right is the last column, inclusive
        {90, -5, 500, 3, {90, 0, 100, 3}},  // clipped; never past the right edge
        {20, 10, 40, 12, {20, 10, 41, 12}}, // overlapping the red rectangle
        {60, 30, 60, 40, {0, 0, 0, 0}},     // right == left: no exclusion
        {0, 0, 0, 0, {0, 0, 0, 0}},         // what the program passes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.l << ", " << c.t << ", " << c.r << ", " << c.b);
        const UniqueRegion region = Take(regions.RegionFromBitmap(mask.get(), nullptr, 0, false, c.l, c.t, c.r, c.b));
        const UniqueRegion expected = Rect(10, 5, 30, 15);
        ::CombineRgn(expected.get(), expected.get(),
                     Rect(c.added.left, c.added.top, c.added.right, c.added.bottom).get(), RGN_OR);
        EXPECT_TRUE(SameRegion(region.get(), expected.get()));
    }
}

TEST(clsRegionsFromBitmap, AppliesTheRegionToAWindow) {
    const TestWindow window;
    const clsRegions regions;
    const UniqueBitmap red = RedRectMask();
    ASSERT_NE(regions.RegionFromBitmap(red.get(), window.get(), 0, false, 0, 0, 0, 0), 0);
    EXPECT_TRUE(SameRegion(window.Region().get(), Rect(10, 5, 30, 15).get()));

    // No region pixel: the window loses its region and is rectangular again.
    const UniqueBitmap black = MaskBitmap(100, 50, [](int, int) { return Black; });
    EXPECT_NE(regions.RegionFromBitmap(black.get(), window.get(), 0, false, 0, 0, 0, 0), 0);
    EXPECT_FALSE(window.Region());
    // Without a window that is simply no region.
    EXPECT_EQ(regions.RegionFromBitmap(black.get(), nullptr, 0, false, 0, 0, 0, 0), 0);
}

TEST(clsRegionsFromBitmap, FailuresGiveZeroAndLeaveNothingBehind) {
    const clsRegions regions;
    const UniqueBitmap mask = RedRectMask();
    const TestWindow window;
    ASSERT_NE(regions.RegionFromBitmap(mask.get(), window.get(), 0, false, 0, 0, 0, 0), 0);

    HWND gone = nullptr;
    {
        const TestWindow closed;
        gone = closed.get();
    }
    HBITMAP deleted = nullptr;
    {
        const UniqueBitmap temporary = RedRectMask();
        deleted = temporary.get();
    }

    const uint32_t before = LiveGdiObjectCount();
    EXPECT_EQ(regions.RegionFromBitmap(mask.get(), gone, 0, false, 0, 0, 0, 0), 0);
    EXPECT_EQ(regions.RegionFromBitmap(nullptr, nullptr, 0, false, 0, 0, 0, 0), 0);
    EXPECT_EQ(regions.RegionFromBitmap(deleted, nullptr, 0, false, 0, 0, 0, 0), 0);
    EXPECT_EQ(regions.RegionFromBitmap(deleted, window.get(), 0, false, 0, 0, 0, 0), 0);
    EXPECT_EQ(LiveGdiObjectCount(), before);
    // The window keeps the region it had.
    EXPECT_TRUE(SameRegion(window.Region().get(), Rect(10, 5, 30, 15).get()));
}

// ---- Building from many runs ---------------------------------------------------------------------

// Runs of one or two pixels, several thousand of them, so that the chunked build has several slices.
COLORREF Scatter(int x, int y) {
    return (x * 7 + y * 3) % 5 < 2 ? Red : Black;
}
constexpr int ScatterWidth = 200;
constexpr int ScatterHeight = 60;

std::vector<RowRun> ScatterRuns() {
    std::vector<uint8_t> pixels(DibRowBytes24(ScatterWidth) * ScatterHeight);
    for (int y = 0; y < ScatterHeight; ++y) {
        for (int x = 0; x < ScatterWidth; ++x) {
            pixels[y * DibRowBytes24(ScatterWidth) + 3 * x + 2] = GetRValue(Scatter(x, y));
        }
    }
    return ScanRowRuns({pixels, ScatterWidth, ScatterHeight, PixelKey{0, 0, 0}, false, {}});
}

// Stand-in for an ExtCreateRegion that refuses long lists.
int builds = 0;
UniqueRegion RefusesLongLists(std::span<const RowRun> runs, int32_t width) noexcept {
    ++builds;
    return runs.size() > kRegionChunkStep + 1 ? UniqueRegion{} : BuildRegionFromRuns(runs, width);
}
UniqueRegion RefusesSecondSlice(std::span<const RowRun> runs, int32_t width) noexcept {
    return ++builds == 3 ? UniqueRegion{} : RefusesLongLists(runs, width);
}

TEST(clsRegionsBuild, ChunkedBuildGivesTheSameRegion) {
    const std::vector<RowRun> runs = ScatterRuns();
    ASSERT_GT(runs.size(), 2 * kRegionChunkStep);

    const UniqueBitmap mask = MaskBitmap(ScatterWidth, ScatterHeight, Scatter);
    const UniqueRegion fromBitmap = Take(clsRegions().RegionFromBitmap(mask.get(), nullptr, 0, false, 0, 0, 0, 0));
    const UniqueRegion single = BuildRegionFromRuns(runs, ScatterWidth);
    const UniqueRegion chunked = BuildRegionFromRunsInChunks(runs, ScatterWidth);
    EXPECT_TRUE(SameRegion(fromBitmap.get(), single.get()));
    EXPECT_TRUE(SameRegion(chunked.get(), single.get()));

    // When the one-piece build is refused, the slices are built instead.
    builds = 0;
    const UniqueRegion fallback = BuildRegionWithFallback(runs, ScatterWidth, &RefusesLongLists);
    EXPECT_TRUE(SameRegion(fallback.get(), single.get()));
    EXPECT_EQ(builds, 1 + static_cast<int>(ChunkRanges(runs.size()).size()));
}

TEST(clsRegionsBuild, MergedBuildGivesTheSameRegion) {
    const std::vector<RowRun> runs = ScatterRuns();
    const uint32_t before = LiveGdiObjectCount();
    // Around the slice size, several levels of merging, and rectangles that are not one row high
    // (which are built as they are).
    const std::vector<RowRun> tall = {{0, 0, 5, 3}, {2, 1, 9, 7}, {20, 4, 30, 5}};
    for (const size_t n : {size_t{1}, kMergedSliceRuns - 1, kMergedSliceRuns, kMergedSliceRuns + 1,
                           5 * kMergedSliceRuns + 3, runs.size()}) {
        const std::span<const RowRun> some = std::span(runs).first(n);
        EXPECT_TRUE(SameRegion(BuildRegionFromRunsMerged(some, ScatterWidth).get(),
                               BuildRegionFromRuns(some, ScatterWidth).get()))
            << n << " runs";
    }
    EXPECT_TRUE(SameRegion(BuildRegionFromRunsMerged(tall, 30).get(), BuildRegionFromRuns(tall, 30).get()));
    // Equal rows: a solid block with a dashed edge, as the ruler's left bar.
    std::vector<RowRun> bar;
    for (int32_t y = 0; y < 1000; ++y) {
        bar.push_back({0, y, 40, y + 1});
        if (y % 7 < 3) {
            bar.push_back({99, y, 100, y + 1});
        }
    }
    EXPECT_TRUE(SameRegion(BuildRegionFromRunsMerged(bar, 100).get(), BuildRegionFromRuns(bar, 100).get()));
    EXPECT_FALSE(BuildRegionFromRunsMerged({}, ScatterWidth));
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

TEST(clsRegionsBuild, FailedBuildsLeaveNoRegion) {
    const std::vector<RowRun> runs = ScatterRuns();
    const uint32_t before = LiveGdiObjectCount();
    builds = 0;
    EXPECT_FALSE(BuildRegionWithFallback(runs, ScatterWidth, &RefusesSecondSlice)); // the first slice is deleted
    EXPECT_FALSE(BuildRegionWithFallback(runs, ScatterWidth,
                                         [](std::span<const RowRun>, int32_t) noexcept { return UniqueRegion{}; }));
    // Up to 2000 runs there is no second attempt.
    builds = 0;
    EXPECT_FALSE(
        BuildRegionWithFallback(std::span(runs).first(kRegionChunkStep), ScatterWidth,
                                [](std::span<const RowRun>, int32_t) noexcept { return ++builds, UniqueRegion{}; }));
    EXPECT_EQ(builds, 1);
    EXPECT_FALSE(BuildRegionFromRuns({}, ScatterWidth));
    EXPECT_EQ(LiveGdiObjectCount(), before);
}

// ---- The toolbox ---------------------------------------------------------------------------------

TEST(clsRegionsToolbox, CreateRegionShapes) {
    const clsRegions regions;
    const POINT triangle[] = {{0, 0}, {20, 0}, {0, 20}};
    const POINT squares[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {20, 20}, {30, 20}, {30, 30}, {20, 30}};
    const INT twoSquares[] = {4, 4};
    const INT tooMany[] = {4, 5};
    const INT negative[] = {4, -4};

    EXPECT_TRUE(SameRegion(regions.CreateRegion(RectShape{{1, 2, 30, 40}}).get(), Rect(1, 2, 30, 40).get()));
    EXPECT_TRUE(SameRegion(regions.CreateRegion(RoundRectShape{{1, 2, 30, 40}, 8, 6}).get(),
                           UniqueRegion(::CreateRoundRectRgn(1, 2, 30, 40, 8, 6)).get()));
    EXPECT_TRUE(SameRegion(regions.CreateRegion(EllipseShape{{1, 2, 30, 40}}).get(),
                           UniqueRegion(::CreateEllipticRgn(1, 2, 30, 40)).get()));
    EXPECT_TRUE(SameRegion(regions.CreateRegion(PolygonShape{triangle, WINDING}).get(),
                           UniqueRegion(::CreatePolygonRgn(triangle, 3, WINDING)).get()));
    const UniqueRegion both = regions.CreateRegion(PolyPolygonShape{squares, twoSquares, ALTERNATE});
    const UniqueRegion expected = Rect(0, 0, 10, 10);
    ::CombineRgn(expected.get(), expected.get(), Rect(20, 20, 30, 30).get(), RGN_OR);
    EXPECT_TRUE(SameRegion(both.get(), expected.get()));

    // Counts that ask for more points than there are, or make no sense, give no region.
    EXPECT_FALSE(regions.CreateRegion(PolyPolygonShape{squares, tooMany, ALTERNATE}));
    EXPECT_FALSE(regions.CreateRegion(PolyPolygonShape{squares, negative, ALTERNATE}));
    EXPECT_FALSE(regions.CreateRegion(PolyPolygonShape{squares, {}, ALTERNATE}));
    EXPECT_FALSE(regions.CreateRegion(PolygonShape{{}, ALTERNATE}));
}

TEST(clsRegionsToolbox, Queries) {
    const clsRegions regions;
    const UniqueRegion box = Rect(10, 20, 30, 40);
    const UniqueRegion empty = Rect(0, 0, 0, 0);
    const UniqueBrush brush(::CreateSolidBrush(Red));

    EXPECT_TRUE(regions.IsRegion(box.get()));
    EXPECT_FALSE(regions.IsRegion(brush.get()));
    EXPECT_FALSE(regions.IsRegion(nullptr));
    EXPECT_TRUE(regions.IsNullRegion(empty.get()));
    EXPECT_FALSE(regions.IsNullRegion(box.get()));

    RECT bounds{};
    EXPECT_EQ(regions.RegionBounds(box.get(), bounds), SIMPLEREGION);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.bottom, 40);

    EXPECT_TRUE(regions.PointInRegion(box.get(), 10, 20));
    EXPECT_FALSE(regions.PointInRegion(box.get(), 30, 20)); // right edge excluded
    const RECT touching{29, 39, 50, 50};
    const RECT outside{30, 0, 50, 50};
    EXPECT_TRUE(regions.RectInRegion(box.get(), &touching));
    EXPECT_FALSE(regions.RectInRegion(box.get(), &outside));
    EXPECT_TRUE(regions.RectInRegion(box.get(), nullptr, 0, 0, 11, 21)); // from the four values

    EXPECT_NE(regions.AreReqionsEqual(box.get(), Rect(10, 20, 30, 40).get()), 0);
    EXPECT_EQ(regions.AreReqionsEqual(box.get(), empty.get()), 0);

    EXPECT_EQ(regions.RegionSizeBytes(box.get()), 32u + 16u);
    EXPECT_EQ(regions.RegionSizeBytes(nullptr), 0u);
}

TEST(clsRegionsToolbox, ChangingRegions) {
    const clsRegions regions;

    // CombineRegions hands the sources over when asked, deleting a source that is given twice once.
    const UniqueRegion dest = Rect(0, 0, 0, 0);
    const HRGN a = ::CreateRectRgn(0, 0, 10, 10);
    const HRGN b = ::CreateRectRgn(20, 0, 30, 10);
    EXPECT_EQ(regions.CombineRegions(dest.get(), a, b, RGN_OR, true), COMPLEXREGION);
    EXPECT_FALSE(regions.IsRegion(a));
    EXPECT_FALSE(regions.IsRegion(b));
    const HRGN c = ::CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(regions.CombineRegions(dest.get(), c, c, RGN_AND, true), SIMPLEREGION);
    EXPECT_FALSE(regions.IsRegion(c));
    // The destination itself is never deleted.
    const HRGN d = ::CreateRectRgn(0, 0, 5, 5);
    EXPECT_EQ(regions.CombineRegions(dest.get(), dest.get(), d, RGN_OR, true), SIMPLEREGION);
    EXPECT_TRUE(regions.IsRegion(dest.get()));
    EXPECT_FALSE(regions.IsRegion(d));
    EXPECT_TRUE(SameRegion(dest.get(), Rect(0, 0, 10, 10).get()));

    const RECT r{5, 6, 7, 8};
    EXPECT_NE(regions.ConvertRgnToRectangle(dest.get(), &r), 0);
    EXPECT_TRUE(SameRegion(dest.get(), Rect(5, 6, 7, 8).get()));
    EXPECT_NE(regions.ConvertRgnToRectangle(dest.get(), nullptr, 1, 2, 3, 4), 0);
    EXPECT_TRUE(SameRegion(dest.get(), Rect(1, 2, 3, 4).get()));
    EXPECT_EQ(regions.ConvertRgnToRectangle(nullptr, &r), 0);

    EXPECT_EQ(regions.MoveRegion(dest.get(), 10, -1), SIMPLEREGION);
    EXPECT_TRUE(SameRegion(dest.get(), Rect(11, 1, 13, 3).get()));

    HRGN doomed = ::CreateRectRgn(0, 0, 1, 1);
    EXPECT_NE(regions.DestroyRegion(doomed), 0);
    EXPECT_EQ(regions.DestroyRegion(doomed), 0); // no longer a region
}

TEST(clsRegionsToolbox, StretchRegion) {
    const clsRegions regions;
    const UniqueRegion box = Rect(10, 10, 20, 20);
    EXPECT_TRUE(SameRegion(regions.StretchRegion(box.get(), 10, 5, false).get(), Rect(10, 10, 30, 25).get()));

    // An L stays an L: every edge is scaled about the top-left corner.
    const UniqueRegion ell = Rect(0, 0, 10, 2);
    ::CombineRgn(ell.get(), ell.get(), Rect(0, 0, 2, 10).get(), RGN_OR);
    const UniqueRegion expected = Rect(0, 0, 20, 4);
    ::CombineRgn(expected.get(), expected.get(), Rect(0, 0, 4, 20).get(), RGN_OR);
    EXPECT_TRUE(SameRegion(regions.StretchRegion(ell.get(), 10, 10, false).get(), expected.get()));

    EXPECT_FALSE(regions.StretchRegion(box.get(), -10, 0, false)); // nothing left
    EXPECT_TRUE(regions.IsNullRegion(regions.StretchRegion(Rect(0, 0, 0, 0).get(), 5, 5, false).get()));

    const HRGN original = ::CreateRectRgn(0, 0, 4, 4);
    const UniqueRegion grown = regions.StretchRegion(original, -2, -2, true);
    EXPECT_TRUE(SameRegion(grown.get(), Rect(0, 0, 2, 2).get()));
    EXPECT_FALSE(regions.IsRegion(original));
}

TEST(clsRegionsToolbox, RegionIntersect) {
    const clsRegions regions;
    const UniqueRegion box = Rect(0, 0, 10, 10);
    UniqueRegion common;
    // The region moved by (5, 5) against the rectangle moved by (-2, 0).
    EXPECT_TRUE(regions.RegionIntersect({box.get(), 5, 5}, {RECT{10, 10, 30, 30}, -2, 0}, &common));
    EXPECT_TRUE(SameRegion(common.get(), Rect(8, 10, 15, 15).get()));
    EXPECT_TRUE(SameRegion(box.get(), Rect(0, 0, 10, 10).get())); // not moved itself

    EXPECT_FALSE(regions.RegionIntersect({box.get()}, {RECT{10, 0, 20, 10}}, &common)); // edges only touch
    EXPECT_FALSE(common);
    EXPECT_TRUE(regions.RegionIntersect({box.get()}, {RECT{10, 0, 20, 10}, -1, 0}));
}

TEST(clsRegionsToolbox, RegionDataRoundTrips) {
    const clsRegions regions;
    const UniqueRegion ell = Rect(0, 0, 10, 2);
    ::CombineRgn(ell.get(), ell.get(), Rect(0, 0, 2, 10).get(), RGN_OR);

    const std::vector<RECT> rects = regions.ExtractRegionRectangles(ell.get());
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].right, 10);
    EXPECT_EQ(rects[1].bottom, 10);

    const std::vector<uint8_t> bytes = regions.GetRegionBytes(ell.get(), false);
    ASSERT_EQ(bytes.size(), 32u + 2 * 16u);
    EXPECT_TRUE(SameRegion(regions.ImportRegion(RegionDataSource{bytes}).get(), ell.get()));

    // Region data that claims more than it holds, or is no rectangle data, is refused.
    std::vector<uint8_t> truncated = bytes;
    truncated.resize(bytes.size() - 1);
    std::vector<uint8_t> wrongType = bytes;
    wrongType[4] = 2;
    std::vector<uint8_t> wrongSize = bytes;
    wrongSize[0] = 40;
    std::vector<uint8_t> hugeCount = bytes;
    hugeCount[8] = hugeCount[9] = hugeCount[10] = hugeCount[11] = 0xFF;
    for (const auto* bad : {&truncated, &wrongType, &wrongSize, &hugeCount}) {
        EXPECT_FALSE(regions.ImportRegion(RegionDataSource{*bad}));
    }
    EXPECT_FALSE(regions.ImportRegion(RegionDataSource{std::span(bytes).first(20)}));

    // No rectangles: no bytes. Handing the region over deletes it.
    EXPECT_TRUE(regions.GetRegionBytes(Rect(0, 0, 0, 0).get(), false).empty());
    const HRGN handed = ::CreateRectRgn(0, 0, 3, 3);
    EXPECT_EQ(regions.GetRegionBytes(handed, true).size(), 48u);
    EXPECT_FALSE(regions.IsRegion(handed));
    EXPECT_TRUE(regions.ExtractRegionRectangles(nullptr).empty());

    // A copy is a region of its own.
    const UniqueRegion copy = regions.ImportRegion(RegionCopySource{ell.get()});
    EXPECT_TRUE(SameRegion(copy.get(), ell.get()));
    ::OffsetRgn(copy.get(), 1, 1);
    EXPECT_FALSE(::EqualRgn(copy.get(), ell.get()));
}

TEST(clsRegionsToolbox, SaveAndImportFile) {
    const clsRegions regions;
    const std::filesystem::path path = TempFile(L"ell.rgn");
    const std::filesystem::path emptyPath = TempFile(L"empty.rgn");
    std::filesystem::remove(path);
    std::filesystem::remove(emptyPath);

    const UniqueRegion ell = Rect(0, 0, 10, 2);
    ::CombineRgn(ell.get(), ell.get(), Rect(0, 0, 2, 10).get(), RGN_OR);
    ASSERT_TRUE(regions.SaveRegionToFile(ell.get(), path));
    EXPECT_EQ(std::filesystem::file_size(path), 64u);
    EXPECT_TRUE(SameRegion(regions.ImportRegion(RegionFileSource{path}).get(), ell.get()));

    // Without overwrite an existing file stays as it is.
    EXPECT_FALSE(regions.SaveRegionToFile(Rect(0, 0, 1, 1).get(), path, false));
    EXPECT_TRUE(SameRegion(regions.ImportRegion(RegionFileSource{path}).get(), ell.get()));
    EXPECT_TRUE(regions.SaveRegionToFile(Rect(0, 0, 1, 1).get(), path, true));
    EXPECT_TRUE(SameRegion(regions.ImportRegion(RegionFileSource{path}).get(), Rect(0, 0, 1, 1).get()));

    // An empty region survives the trip as an empty region.
    ASSERT_TRUE(regions.SaveRegionToFile(Rect(0, 0, 0, 0).get(), emptyPath));
    const UniqueRegion empty = regions.ImportRegion(RegionFileSource{emptyPath});
    ASSERT_TRUE(empty);
    EXPECT_TRUE(regions.IsNullRegion(empty.get()));

    EXPECT_FALSE(regions.SaveRegionToFile(nullptr, TempFile(L"none.rgn")));
    EXPECT_FALSE(std::filesystem::exists(TempFile(L"none.rgn")));
    EXPECT_FALSE(regions.ImportRegion(RegionFileSource{TempFile(L"missing.rgn")}));
    std::filesystem::remove(path);
    std::filesystem::remove(emptyPath);
}

TEST(clsRegionsToolbox, CachedRegionIsOwned) {
    HRGN first = ::CreateRectRgn(0, 0, 1, 1);
    HRGN second = ::CreateRectRgn(0, 0, 2, 2);
    HRGN third = ::CreateRectRgn(0, 0, 3, 3);
    {
        clsRegions regions;
        EXPECT_EQ(regions.GetCachedRegion(), nullptr);
        regions.SetCachedRegion(first, false);
        regions.SetCachedRegion(first, true); // the same one again: kept
        EXPECT_TRUE(regions.IsRegion(first));
        regions.SetCachedRegion(second, true);
        EXPECT_FALSE(regions.IsRegion(first));
        regions.SetCachedRegion(third, false); // let go of, not deleted
        EXPECT_TRUE(regions.IsRegion(second));
        EXPECT_EQ(regions.GetCachedRegion(), third);
    }
    EXPECT_FALSE(::GetObjectType(third) == OBJ_REGION);
    ::DeleteObject(second);
}

TEST(clsRegionsToolbox, DrawingContexts) {
    const clsRegions regions;
    const DibCanvas canvas(40, 20, Black);
    const UniqueRegion box = Rect(2, 2, 8, 8);

    EXPECT_NE(regions.PaintRegion(box.get(), canvas.dc(), RegionPaintAction::Fill, 0, Red), 0);
    EXPECT_EQ(canvas.pixel(2, 2), Red);
    EXPECT_EQ(canvas.pixel(8, 8), Black);
    EXPECT_NE(regions.PaintRegion(box.get(), canvas.dc(), RegionPaintAction::FillAndFrame, White, Red), 0);
    EXPECT_EQ(canvas.pixel(2, 5), White);
    EXPECT_EQ(canvas.pixel(4, 5), Red);
    EXPECT_NE(regions.PaintRegion(box.get(), canvas.dc(), RegionPaintAction::Invert, 0, 0), 0);
    EXPECT_EQ(canvas.pixel(4, 5), RGB(0, 255, 255));
    const HBRUSH frame = ::CreateSolidBrush(RGB(0, 0, 255));
    const HBRUSH fill = ::CreateSolidBrush(RGB(0, 255, 0));
    EXPECT_NE(regions.PaintRegion(box.get(), canvas.dc(), RegionPaintAction::FillAndFrame, 0, 0, frame, fill, true), 0);
    EXPECT_EQ(canvas.pixel(2, 5), RGB(0, 0, 255));
    EXPECT_EQ(canvas.pixel(4, 5), RGB(0, 255, 0));
    EXPECT_EQ(::GetObjectType(frame), 0u); // handed over and deleted
    EXPECT_EQ(::GetObjectType(fill), 0u);
    {
        const UniqueBrush brush(::CreateSolidBrush(White));
        const SelectGuard select(canvas.dc(), brush.get());
        EXPECT_NE(regions.PaintRegion(box.get(), canvas.dc(), RegionPaintAction::Paint, 0, 0), 0);
    }
    EXPECT_EQ(canvas.pixel(4, 5), White);

    // The clipping region: set, moved, queried, removed.
    EXPECT_FALSE(regions.PointInRegion(canvas.dc(), 3, 3)); // no clipping region yet
    EXPECT_EQ(regions.SetClipRegionToDC(canvas.dc(), box.get()), SIMPLEREGION);
    EXPECT_TRUE(regions.PointInRegion(canvas.dc(), 3, 3));
    EXPECT_EQ(regions.MoveRegion(canvas.dc(), 20, 0), SIMPLEREGION);
    EXPECT_FALSE(regions.PointInRegion(canvas.dc(), 3, 3));
    EXPECT_TRUE(regions.PointInRegion(canvas.dc(), 23, 3));
    EXPECT_TRUE(regions.RectInRegion(canvas.dc(), nullptr, 0, 0, 23, 3));
    EXPECT_FALSE(regions.RectInRegion(canvas.dc(), nullptr, 0, 0, 22, 20));
    EXPECT_NE(regions.SetClipRegionToDC(canvas.dc(), nullptr), ERROR);
    EXPECT_FALSE(regions.PointInRegion(canvas.dc(), 23, 3));

    const int previous = regions.PolyFillMode(FillModeAction::Get, canvas.dc());
    EXPECT_EQ(regions.PolyFillMode(FillModeAction::Set, canvas.dc(), WINDING), previous);
    EXPECT_EQ(regions.PolyFillMode(FillModeAction::Get, canvas.dc()), WINDING);
}

TEST(clsRegionsToolbox, Windows) {
    const clsRegions regions;
    const TestWindow window;

    UniqueRegion shape = Rect(0, 0, 40, 20);
    ASSERT_NE(regions.SetRegionToWindow(shape.get(), window.get(), true), 0);
    (void)shape.release(); // the window's now
    EXPECT_TRUE(SameRegion(regions.ImportRegion(WindowRegionSource{window.get()}).get(), Rect(0, 0, 40, 20).get()));
    ASSERT_NE(regions.SetRegionToWindow(nullptr, window.get(), true), 0);
    EXPECT_FALSE(regions.ImportRegion(WindowRegionSource{window.get()})); // no window region

    ::ValidateRect(window.get(), nullptr);
    const UniqueRegion part = Rect(5, 5, 10, 10);
    EXPECT_NE(regions.ValidateInvalidateRgn(window.get(), part.get(), UpdateRegionAction::Invalidate), 0);
    RECT update{};
    EXPECT_TRUE(::GetUpdateRect(window.get(), &update, FALSE));
    EXPECT_EQ(update.left, 5);
    EXPECT_EQ(update.bottom, 10);
    EXPECT_NE(regions.ValidateInvalidateRgn(window.get(), part.get(), UpdateRegionAction::Validate), 0);
    EXPECT_FALSE(::GetUpdateRect(window.get(), &update, FALSE));
}

} // namespace
