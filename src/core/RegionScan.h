#pragma once
// The portable half of building a window shape from a mask: the row scanner that turns a 24-bit
// top-down pixel buffer into one rectangle per horizontal run of region pixels, and the bookkeeping
// of the region data (header and chunks) that the platform's region call consumes. The Win32 side
// (clsRegions) only reads the pixels and hands these rectangles over.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/Color.h"

// One rectangle of region data: right and bottom exclusive, laid out like the platform's RECT so a
// list of them can go into the region data as it is.
struct RowRun {
    int32_t left, top, right, bottom;
    friend bool operator==(const RowRun&, const RowRun&) = default;
};
static_assert(sizeof(RowRun) == 16);

// A colour in the pixel buffer's byte order (blue, green, red).
struct PixelKey {
    uint8_t blue, green, red;
    friend bool operator==(const PixelKey&, const PixelKey&) = default;
};

// Bytes per row of a 24-bit device-independent bitmap: three per pixel, padded to a multiple of four.
// A negative width counts as 0.
[[nodiscard]] constexpr size_t DibRowBytes24(int32_t width) {
    return width <= 0 ? 0 : (3 * static_cast<size_t>(width) + 3) / 4 * 4;
}

// An exclusion rectangle after clipping: columns left .. right (right inclusive, as the caller gives
// it) in rows top .. bottom - 1. Its pixels are not tested; every excluded row gets the span from
// left to right + 1 (never past the bitmap's right edge) as one rectangle.
struct Exclusion {
    int32_t left, top, right, bottom;
    friend bool operator==(const Exclusion&, const Exclusion&) = default;
};

// Clips the caller's exclusion rectangle to a width x height bitmap: left and top below 0 become 0,
// right beyond the width becomes the width, bottom beyond the height becomes the height. Nothing is
// excluded (nullopt) when afterwards bottom <= top or right <= left.
[[nodiscard]] std::optional<Exclusion> ClipExclusion(int32_t left, int32_t top, int32_t right, int32_t bottom,
                                                     int32_t width, int32_t height);

// The colour that is not part of the region, in buffer byte order: -1 takes the first pixel of the
// top row (black for an empty buffer); another negative value is the system colour
// lookup(transColor & 0xFF), so the lookup sees indexes 0 .. 255 and must answer any of them (the
// platform answers 0 for an index it does not know); anything else is a COLORREF.
[[nodiscard]] PixelKey TransparentKey(int32_t transColor, std::span<const uint8_t> pixels, SysColorLookup lookup);

// What one scan works on. The buffer holds height rows, top row first: with 3 bytes per pixel rows of
// DibRowBytes24(width) bytes (blue, green, red; what RegionFromBitmap reads), with 4 rows of 4 x width
// bytes (blue, green, red and a byte that is ignored; a 32-bit DIB section's own memory).
struct ScanRequest {
    std::span<const uint8_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
    PixelKey key{};
    // false: the region holds every pixel that differs from key; true: exactly the pixels equal to it.
    bool antiRegion = false;
    std::optional<Exclusion> exclusion;
    int32_t bytesPerPixel = 3; // 3 or 4
};

// The signature of a row scanner, so a faster one can replace the straightforward one.
using RowScanner = std::vector<RowRun> (*)(const ScanRequest&);

// Scans every row left to right and returns one rectangle (x0, y, x1, y + 1) per run of region
// pixels, in scan order. Rows of an exclusion get: the runs left of exclusion.left, the excluded span,
// then the runs of a second scan from column exclusion.right to the right edge. That second scan
// starts inside the excluded span (at its last column), so a run there may overlap the span; the
// region is the union of its rectangles, so the shape is the same.
// Throws std::invalid_argument when the buffer is smaller than the sizes say or bytesPerPixel is
// neither 3 nor 4.
[[nodiscard]] std::vector<RowRun> ScanRowRuns(const ScanRequest& request);

// The runs of the union of several masks of one size, from each mask's own runs: per row, runs that
// overlap or touch become one. Each list must be in scan order (rows top to bottom; within a row,
// runs may come in any order and may overlap, as an exclusion's can) and hold rectangles one row
// high with left < right. The result is what ScanRowRuns gives for the union mask: per row, the
// maximal runs left to right. This lets a mask drawn in separate parts give the same runs as the
// whole mask, without the whole mask ever being drawn or scanned.
// Throws std::invalid_argument for a list that breaks these rules.
[[nodiscard]] std::vector<RowRun> UnionOfRuns(std::span<const std::span<const RowRun>> lists);

// The same shape in fewer rectangles: consecutive rows with the same runs (the same lefts and rights
// in the same order) become one band of taller rectangles, the way GDI keeps a region. The runs must
// be one row high and in scan order (as ScanRowRuns and UnionOfRuns give them); the bands come out
// in that order. A ruler's left bar, 2000 rows of one run, becomes a few hundred bands.
// Throws std::invalid_argument for runs that are not one row high or not in scan order.
[[nodiscard]] std::vector<RowRun> CoalesceRows(std::span<const RowRun> runs);
// The same for runs that need not keep those rules (a caller's own list): nullopt when they break them.
[[nodiscard]] std::optional<std::vector<RowRun>> TryCoalesceRows(std::span<const RowRun> runs);

// ---- Region data --------------------------------------------------------------------------------

// The 32-byte header of rectangle region data (the platform's RGNDATAHEADER).
struct RegionDataHeader {
    uint32_t size;      // of the header: 32
    uint32_t type;      // 1: rectangles
    uint32_t count;     // number of rectangles
    uint32_t rectBytes; // count x 16
    RowRun bounds;      // left 0, top of the first rectangle, right = width, bottom of the last
};
static_assert(sizeof(RegionDataHeader) == 32);

inline constexpr uint32_t kRegionHeaderSize = 32;
inline constexpr uint32_t kRegionTypeRectangles = 1;

// The header for a slice of the scanner's list (rectangles in scan order, so the first has the
// smallest top and the last the largest bottom). An empty slice gives count 0 and empty bounds.
// Throws std::length_error when the rectangle bytes do not fit in 32 bits.
[[nodiscard]] RegionDataHeader MakeRegionHeader(std::span<const RowRun> slice, int32_t width);

// The complete region data for a slice: the header in the first two entries, then the rectangles.
// Kept as RowRun entries so the block is aligned for the platform call.
[[nodiscard]] std::vector<RowRun> MakeRegionData(std::span<const RowRun> slice, int32_t width);

// Region data with many rectangles is built in slices of this many steps.
inline constexpr size_t kRegionChunkStep = 2000;

// One slice of the list: indexes first .. last, both inclusive.
struct ChunkRange {
    size_t first, last;
    friend bool operator==(const ChunkRange&, const ChunkRange&) = default;
};

// The slices for count rectangles: first = 0, step, 2 x step ...; each ends at min(first + step,
// count - 1), so neighbours share one rectangle (harmless in a union). The slicing stops with the
// slice that reaches the last rectangle, so no slice repeats only the shared one. No slices for
// count 0; step 0 counts as 1.
[[nodiscard]] std::vector<ChunkRange> ChunkRanges(size_t count, size_t step = kRegionChunkStep);
