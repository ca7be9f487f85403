#include "core/RegionScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr PixelKey Black{0, 0, 0};
constexpr PixelKey Red{0, 0, 255}; // blue, green, red

// A 24-bit top-down pixel buffer as GetDIBits fills it. The row padding is filled with a byte that
// matches neither colour, so a scanner that strays into it shows up.
class Mask {
public:
    Mask(int32_t width, int32_t height, PixelKey fill = Black)
        : width_(width), height_(height), bytes_(DibRowBytes24(width) * static_cast<size_t>(height), 0xA5) {
        Fill(0, 0, width, height, fill);
    }
    // Rows drawn as text: '#' red, '.' black, 'w' white.
    static Mask FromRows(const std::vector<std::string>& rows) {
        Mask mask(static_cast<int32_t>(rows.at(0).size()), static_cast<int32_t>(rows.size()));
        for (size_t y = 0; y < rows.size(); ++y) {
            for (size_t x = 0; x < rows[y].size(); ++x) {
                const char c = rows[y][x];
                mask.Set(static_cast<int32_t>(x), static_cast<int32_t>(y),
                         c == '#'   ? Red
                         : c == 'w' ? PixelKey{255, 255, 255}
                                    : Black);
            }
        }
        return mask;
    }

    void Set(int32_t x, int32_t y, PixelKey p) {
        uint8_t* px = bytes_.data() + static_cast<size_t>(y) * DibRowBytes24(width_) + 3 * static_cast<size_t>(x);
        px[0] = p.blue;
        px[1] = p.green;
        px[2] = p.red;
    }
    void Fill(int32_t left, int32_t top, int32_t right, int32_t bottom, PixelKey p) {
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) {
                Set(x, y, p);
            }
        }
    }

    [[nodiscard]] ScanRequest Request(PixelKey key, bool anti = false, std::optional<Exclusion> ex = {}) const {
        return {bytes_, width_, height_, key, anti, ex};
    }
    [[nodiscard]] std::span<const uint8_t> bytes() const { return bytes_; }

    // The same pixels as 32-bit rows; the fourth byte of each pixel holds junk, which must be ignored.
    [[nodiscard]] std::vector<uint8_t> Bytes32() const {
        std::vector<uint8_t> out;
        for (int32_t y = 0; y < height_; ++y) {
            for (int32_t x = 0; x < width_; ++x) {
                const uint8_t* px = bytes_.data() + static_cast<size_t>(y) * DibRowBytes24(width_) + 3 * x;
                out.insert(out.end(), {px[0], px[1], px[2], static_cast<uint8_t>(0x5A + x)});
            }
        }
        return out;
    }
    [[nodiscard]] ScanRequest Request32(std::span<const uint8_t> bytes32, PixelKey key, bool anti = false,
                                        std::optional<Exclusion> ex = {}) const {
        return {bytes32, width_, height_, key, anti, ex, 4};
    }

private:
    int32_t width_;
    int32_t height_;
    std::vector<uint8_t> bytes_;
};

std::vector<RowRun> Rows(int32_t left, int32_t right, int32_t top, int32_t bottom) {
    std::vector<RowRun> runs;
    for (int32_t y = top; y < bottom; ++y) {
        runs.push_back({left, y, right, y + 1});
    }
    return runs;
}

} // namespace

void PrintTo(const RowRun& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

TEST(RegionScanTest, RedRectangleOnBlackGivesOneRunPerRow) {
    Mask mask(100, 50);
    mask.Fill(10, 5, 30, 15, Red);
    EXPECT_EQ(ScanRowRuns(mask.Request(Black)), Rows(10, 30, 5, 15));
}

TEST(RegionScanTest, AntiRegionIsTheComplementInScanOrder) {
    Mask mask(100, 50);
    mask.Fill(10, 5, 30, 15, Red);
    std::vector<RowRun> expected = Rows(0, 100, 0, 5);
    for (int32_t y = 5; y < 15; ++y) {
        expected.push_back({0, y, 10, y + 1});
        expected.push_back({30, y, 100, y + 1});
    }
    const std::vector<RowRun> bottom = Rows(0, 100, 15, 50);
    expected.insert(expected.end(), bottom.begin(), bottom.end());
    EXPECT_EQ(ScanRowRuns(mask.Request(Black, true)), expected);
}

TEST(RegionScanTest, RunsOfSmallMasks) {
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        std::vector<RowRun> expected;
    };
    const Case cases[] = {
        {"run open at the row end is closed there", {"...####", "#######"}, {{3, 0, 7, 1}, {0, 1, 7, 2}}},
        {"several runs in a row", {"#.##..#.#"}, {{0, 0, 1, 1}, {2, 0, 4, 1}, {6, 0, 7, 1}, {8, 0, 9, 1}}},
        {"runs are not merged across rows", {".##.", ".##."}, {{1, 0, 3, 1}, {1, 1, 3, 2}}},
        {"an empty mask has no runs", {"....", "...."}, {}},
        {"other colours count as region", {".w#."}, {{1, 0, 3, 1}}},
        // Widths 1, 2, 3 and 5 need 1, 2, 3 and 1 padding bytes per row.
        {"width 1", {"#", ".", "#"}, {{0, 0, 1, 1}, {0, 2, 1, 3}}},
        {"width 2", {"##", ".#"}, {{0, 0, 2, 1}, {1, 1, 2, 2}}},
        {"width 3", {"#.#", "###"}, {{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 3, 2}}},
        {"width 5", {"..###", "#####"}, {{2, 0, 5, 1}, {0, 1, 5, 2}}},
    };
    for (const Case& c : cases) {
        const Mask mask = Mask::FromRows(c.rows);
        EXPECT_EQ(ScanRowRuns(mask.Request(Black)), c.expected) << c.name;
        const std::vector<uint8_t> bytes32 = mask.Bytes32();
        EXPECT_EQ(ScanRowRuns(mask.Request32(bytes32, Black)), c.expected) << c.name << ", 32-bit rows";
    }
}

TEST(RegionScanTest, EmptyBitmapHasNoRuns) {
    EXPECT_TRUE(ScanRowRuns({{}, 0, 0, Black, false, {}}).empty());
    EXPECT_TRUE(ScanRowRuns({{}, 10, 0, Black, false, {}}).empty());
}

TEST(RegionScanTest, TransparentKey) {
    // The lookup stands in for GetSysColor; it must be asked for the whole low byte.
    static int asked = -1;
    const SysColorLookup lookup = [](int index) -> uint32_t {
        asked = index;
        return 0x00332211; // COLORREF: red 0x11, green 0x22, blue 0x33
    };
    const uint8_t topLeft[] = {0x0A, 0x0B, 0x0C, 0x77};

    EXPECT_EQ(TransparentKey(-1, topLeft, lookup), (PixelKey{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(TransparentKey(-1, {}, lookup), Black);
    EXPECT_EQ(TransparentKey(0x00FF8040, topLeft, lookup), (PixelKey{0xFF, 0x80, 0x40})); // red and blue swap
    EXPECT_EQ(TransparentKey(0, topLeft, lookup), Black);

    EXPECT_EQ(TransparentKey(static_cast<int32_t>(0x80000005u), topLeft, lookup), (PixelKey{0x33, 0x22, 0x11}));
    EXPECT_EQ(asked, 5);
    EXPECT_EQ(TransparentKey(static_cast<int32_t>(0x800000FFu), topLeft, lookup), (PixelKey{0x33, 0x22, 0x11}));
    EXPECT_EQ(asked, 0xFF);
    EXPECT_EQ(TransparentKey(-2, topLeft, lookup), (PixelKey{0x33, 0x22, 0x11}));
    EXPECT_EQ(asked, 0xFE);
}

TEST(RegionScanTest, TopLeftPixelAsTransparentColour) {
    const Mask mask = Mask::FromRows({"ww#.", "w.ww"});
    const PixelKey key = TransparentKey(-1, mask.bytes(), nullptr);
    EXPECT_EQ(key, (PixelKey{255, 255, 255}));
    EXPECT_EQ(ScanRowRuns(mask.Request(key)), (std::vector<RowRun>{{2, 0, 4, 1}, {1, 1, 2, 2}}));
}

TEST(RegionScanTest, ClipExclusion) {
    struct Case {
        int32_t l, t, r, b;
        std::optional<Exclusion> expected;
    };
    // A 100 x 50 bitmap.
    const Case cases[] = {
        {10, 5, 30, 15, Exclusion{10, 5, 30, 15}},
        {-5, -7, 30, 15, Exclusion{0, 0, 30, 15}},
        {10, 5, 500, 500, Exclusion{10, 5, 100, 50}},
        {-1, -1, 101, 51, Exclusion{0, 0, 100, 50}},
        {0, 0, 0, 0, std::nullopt},      // what the program passes: no exclusion
        {10, 5, 10, 15, std::nullopt},   // right == left
        {10, 5, 9, 15, std::nullopt},    // right < left
        {10, 15, 30, 15, std::nullopt},  // bottom == top
        {10, 5, 30, -3, std::nullopt},   // bottom above the bitmap
        {100, 5, 130, 15, std::nullopt}, // starts at the right edge: right clips to 100 == left
        {10, 50, 30, 80, std::nullopt},  // starts below the bitmap
        {-30, 5, -10, 15, std::nullopt}, // left of the bitmap: left clips to 0, right stays < 0
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, Exclusion{0, 0, 100, 50}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClipExclusion(c.l, c.t, c.r, c.b, 100, 50), c.expected)
            << c.l << ", " << c.t << ", " << c.r << ", " << c.b;
    }
}

TEST(RegionScanTest, ExcludedRowsGetTheSpanWhole) {
    // Columns 2 .. 4 (4 inclusive) of rows 1 and 2 are excluded. Their pixels are not tested except
    // the last column, where the second scan of the row starts.
    const Mask mask = Mask::FromRows({
        "..#.....",
        ".##.....", // a run crossing the left edge of the exclusion is closed there
        "...##.#.", // the run starting in the last excluded column overlaps the span
        "........",
    });
    const std::vector<RowRun> expected = {
        {2, 0, 3, 1},                             // row 0 at full width
        {1, 1, 2, 2}, {2, 1, 5, 2},               // row 1: left part, span
        {2, 2, 5, 3}, {4, 2, 5, 3}, {6, 2, 7, 3}, // row 2: span, second scan from column 4
    };
    EXPECT_EQ(ScanRowRuns(mask.Request(Black, false, Exclusion{2, 1, 4, 3})), expected);
    const std::vector<uint8_t> bytes32 = mask.Bytes32();
    EXPECT_EQ(ScanRowRuns(mask.Request32(bytes32, Black, false, Exclusion{2, 1, 4, 3})), expected);
}

TEST(RegionScanTest, ExcludedSpanStopsAtTheRightEdge) {
    // Clipping leaves the last excluded column at the width; the span must not reach past the bitmap.
    const Mask mask = Mask::FromRows({"#.....", "#.....", "......"});
    const std::optional<Exclusion> ex = ClipExclusion(3, 1, 1000, 2, 6, 3);
    ASSERT_EQ(ex, (Exclusion{3, 1, 6, 2}));
    EXPECT_EQ(ScanRowRuns(mask.Request(Black, false, ex)),
              (std::vector<RowRun>{{0, 0, 1, 1}, {0, 1, 1, 2}, {3, 1, 6, 2}}));
    // The anti-region takes the span whole as well.
    EXPECT_EQ(ScanRowRuns(mask.Request(Black, true, ex)),
              (std::vector<RowRun>{{1, 0, 6, 1}, {1, 1, 3, 2}, {3, 1, 6, 2}, {0, 2, 6, 3}}));
}

TEST(RegionScanTest, RejectsInconsistentInput) {
    const std::vector<uint8_t> small(DibRowBytes24(5) * 3 - 1);
    EXPECT_THROW((void)ScanRowRuns({small, 5, 3, Black, false, {}}), std::invalid_argument);
    EXPECT_THROW((void)ScanRowRuns({small, -1, 1, Black, false, {}}), std::invalid_argument);
    const Mask mask(5, 3);
    EXPECT_THROW((void)ScanRowRuns(mask.Request(Black, false, Exclusion{-1, 0, 2, 2})), std::invalid_argument);
    EXPECT_THROW((void)ScanRowRuns(mask.Request(Black, false, Exclusion{0, 0, 6, 2})), std::invalid_argument);
    EXPECT_THROW((void)ScanRowRuns(mask.Request(Black, false, Exclusion{0, 2, 2, 4})), std::invalid_argument);
    // 32-bit rows are longer: the 24-bit buffer is too small for them; other pixel sizes are refused.
    EXPECT_THROW((void)ScanRowRuns(mask.Request32(mask.bytes(), Black)), std::invalid_argument);
    const std::vector<uint8_t> bytes32 = mask.Bytes32();
    EXPECT_THROW((void)ScanRowRuns({bytes32, 5, 3, Black, false, {}, 2}), std::invalid_argument);
}

TEST(RegionScanTest, UnionOfRunsMergesPerRow) {
    struct Case {
        const char* name;
        std::vector<std::vector<RowRun>> lists;
        std::vector<RowRun> expected;
    };
    const Case cases[] = {
        {"no lists", {}, {}},
        {"empty lists", {{}, {}}, {}},
        {"touching runs become one", {{{0, 0, 2, 1}}, {{2, 0, 5, 1}}}, {{0, 0, 5, 1}}},
        {"a gap of one pixel stays", {{{0, 0, 2, 1}}, {{3, 0, 5, 1}}}, {{0, 0, 2, 1}, {3, 0, 5, 1}}},
        {"nested and overlapping", {{{0, 0, 10, 1}}, {{2, 0, 4, 1}, {8, 0, 12, 1}}}, {{0, 0, 12, 1}}},
        {"overlap within one list", {{{4, 0, 9, 1}, {2, 0, 5, 1}}}, {{2, 0, 9, 1}}},
        {"out of order beside another list",
         {{{6, 0, 8, 1}, {0, 0, 2, 1}}, {{1, 0, 3, 1}}},
         {{0, 0, 3, 1}, {6, 0, 8, 1}}},
        {"rows interleave across lists",
         {{{0, 1, 1, 2}, {5, 3, 6, 4}}, {{7, 0, 8, 1}, {3, 3, 4, 4}}},
         {{7, 0, 8, 1}, {0, 1, 1, 2}, {3, 3, 4, 4}, {5, 3, 6, 4}}},
    };
    for (const Case& c : cases) {
        std::vector<std::span<const RowRun>> spans(c.lists.begin(), c.lists.end());
        EXPECT_EQ(UnionOfRuns(spans), c.expected) << c.name;
    }

    const std::vector<std::vector<RowRun>> bad = {
        {{2, 0, 2, 1}},               // empty run
        {{0, 0, 2, 2}},               // two rows high
        {{0, 1, 2, 2}, {0, 0, 2, 1}}, // rows out of order
    };
    for (const std::vector<RowRun>& list : bad) {
        const std::span<const RowRun> one[] = {list};
        EXPECT_THROW((void)UnionOfRuns(one), std::invalid_argument);
    }
}

TEST(RegionScanTest, UnionOfRunsEqualsTheRunsOfTheUnionMask) {
    // Three layers of scattered pixels and bars, separately scanned, against the scan of all three
    // drawn onto one mask; odd widths exercise the row padding.
    std::minstd_rand engine; // default-seeded: the same cases on every run
    const auto random = [&](uint32_t below) { return static_cast<uint32_t>(engine() % below); };
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{7, 5}, std::pair{33, 20}, std::pair{101, 40}}) {
        Mask all(width, height);
        std::vector<std::vector<RowRun>> layers;
        for (int layer = 0; layer < 3; ++layer) {
            Mask mask(width, height);
            for (uint32_t i = 0, n = random(4) + 1; i < n; ++i) {
                const auto x = static_cast<int32_t>(random(static_cast<uint32_t>(width)));
                const auto y = static_cast<int32_t>(random(static_cast<uint32_t>(height)));
                const auto w = static_cast<int32_t>(random(static_cast<uint32_t>(width - x)) + 1);
                mask.Fill(x, y, x + w, std::min(height, y + 3), Red);
                all.Fill(x, y, x + w, std::min(height, y + 3), Red);
            }
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    if (random(5) == 0) {
                        mask.Set(x, y, Red);
                        all.Set(x, y, Red);
                    }
                }
            }
            layers.push_back(ScanRowRuns(mask.Request(Black)));
        }
        const std::vector<std::span<const RowRun>> spans(layers.begin(), layers.end());
        EXPECT_EQ(UnionOfRuns(spans), ScanRowRuns(all.Request(Black))) << width << "x" << height;
    }
}

// The bands back as one-row runs, in scan order.
std::vector<RowRun> RowsOfBands(const std::vector<RowRun>& bands) {
    std::vector<RowRun> rows;
    for (size_t first = 0; first < bands.size();) {
        size_t end = first;
        while (end < bands.size() && bands[end].top == bands[first].top) {
            ++end;
        }
        for (int32_t y = bands[first].top; y < bands[first].bottom; ++y) {
            for (size_t i = first; i < end; ++i) {
                rows.push_back({bands[i].left, y, bands[i].right, y + 1});
            }
        }
        first = end;
    }
    return rows;
}

TEST(RegionScanTest, CoalesceRowsJoinsOnlyEqualNeighbouringRows) {
    struct Case {
        const char* name;
        std::vector<RowRun> runs, expected;
    };
    const Case cases[] = {
        {"nothing", {}, {}},
        {"equal rows", {{0, 3, 4, 4}, {6, 3, 9, 4}, {0, 4, 4, 5}, {6, 4, 9, 5}}, {{0, 3, 4, 5}, {6, 3, 9, 5}}},
        {"a row apart", {{0, 3, 4, 4}, {0, 5, 4, 6}}, {{0, 3, 4, 4}, {0, 5, 4, 6}}},
        {"one run more", {{0, 0, 4, 1}, {0, 1, 4, 2}, {6, 1, 7, 2}}, {{0, 0, 4, 1}, {0, 1, 4, 2}, {6, 1, 7, 2}}},
        {"a different right", {{0, 0, 4, 1}, {0, 1, 5, 2}, {0, 2, 5, 3}}, {{0, 0, 4, 1}, {0, 1, 5, 3}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CoalesceRows(c.runs), c.expected) << c.name;
    }
    EXPECT_THROW((void)CoalesceRows(std::vector<RowRun>{{0, 0, 4, 2}}), std::invalid_argument);
    EXPECT_THROW((void)CoalesceRows(std::vector<RowRun>{{0, 1, 4, 2}, {0, 0, 4, 1}}), std::invalid_argument);

    // A mask with long stretches of equal rows, broken by dashes on its right edge, gives the same rows
    // back and far fewer rectangles.
    Mask mask(60, 90);
    mask.Fill(0, 0, 10, 90, Red);
    for (int32_t y = 0; y < 90; y += 7) {
        mask.Fill(59, y, 60, std::min(y + 3, 90), Red);
    }
    const std::vector<RowRun> runs = ScanRowRuns(mask.Request(Black));
    const std::vector<RowRun> bands = CoalesceRows(runs);
    EXPECT_EQ(RowsOfBands(bands), runs);
    EXPECT_LT(bands.size(), runs.size() / 3);
}

TEST(RegionScanTest, DibRowBytes) {
    const std::pair<int32_t, size_t> cases[] = {{-3, 0}, {0, 0}, {1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {100, 300}};
    for (const auto& [width, bytes] : cases) {
        EXPECT_EQ(DibRowBytes24(width), bytes) << width;
    }
}

TEST(RegionScanTest, RegionDataHeaderAndBlock) {
    const std::vector<RowRun> runs = {{10, 5, 30, 6}, {0, 6, 4, 7}, {12, 9, 13, 10}, {2, 11, 3, 12}};
    const std::span<const RowRun> slice = std::span(runs).subspan(1, 2);

    const RegionDataHeader header = MakeRegionHeader(slice, 100);
    EXPECT_EQ(header.size, 32u);
    EXPECT_EQ(header.type, 1u);
    EXPECT_EQ(header.count, 2u);
    EXPECT_EQ(header.rectBytes, 32u);
    EXPECT_EQ(header.bounds, (RowRun{0, 6, 100, 10}));

    const std::vector<RowRun> block = MakeRegionData(slice, 100);
    ASSERT_EQ(block.size(), 4u);
    EXPECT_EQ(std::memcmp(block.data(), &header, sizeof(header)), 0);
    EXPECT_EQ(block[2], runs[1]);
    EXPECT_EQ(block[3], runs[2]);

    const RegionDataHeader none = MakeRegionHeader({}, 100);
    EXPECT_EQ(none.count, 0u);
    EXPECT_EQ(none.rectBytes, 0u);
    EXPECT_EQ(MakeRegionData({}, 100).size(), 2u);
}

TEST(RegionScanTest, ChunkRanges) {
    struct Case {
        size_t count;
        std::vector<ChunkRange> expected;
    };
    const Case cases[] = {
        {0, {}},
        {1, {{0, 0}}},
        {2000, {{0, 1999}}},
        {2001, {{0, 2000}}},
        {2002, {{0, 2000}, {2000, 2001}}},
        {4001, {{0, 2000}, {2000, 4000}}},
        {6000, {{0, 2000}, {2000, 4000}, {4000, 5999}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChunkRanges(c.count), c.expected) << c.count;
    }
    EXPECT_EQ(ChunkRanges(5, 2), (std::vector<ChunkRange>{{0, 2}, {2, 4}}));
    EXPECT_EQ(ChunkRanges(3, 0), (std::vector<ChunkRange>{{0, 1}, {1, 2}}));
    EXPECT_EQ(ChunkRanges(3, SIZE_MAX), (std::vector<ChunkRange>{{0, 2}}));
}

} // namespace
