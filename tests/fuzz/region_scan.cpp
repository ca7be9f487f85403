// The region row scanner: any pixels, sizes, key and exclusion give runs (or a refusal) without
// reading out of bounds, and the runs, their union and their bands all cover exactly the region pixels.
#include "FuzzCheck.h"
#include "core/RegionScan.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

// Reads the input front to back; past its end every value is 0.
class Reader {
public:
    explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    int32_t Small() { return static_cast<int8_t>(Byte()); }
    std::span<const uint8_t> Rest() { return bytes_.subspan(std::min(at_, bytes_.size())); }

private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

// Which pixels of a width x height grid the rectangles cover; false when one lies outside the grid.
FUZZ_NO_FEEDBACK bool Cover(std::span<const RowRun> rects, int32_t width, int32_t height,
                            std::vector<uint8_t>& covered) {
    covered.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (const RowRun& r : rects) {
        if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height || r.left >= r.right || r.top >= r.bottom) {
            return false;
        }
        for (int32_t y = r.top; y < r.bottom; ++y) {
            for (int32_t x = r.left; x < r.right; ++x) {
                covered[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = 1;
            }
        }
    }
    return true;
}

// The pixels the region must hold, row by row: those that differ from the key (or equal it, for an
// anti-region), and every pixel of the excluded span.
FUZZ_NO_FEEDBACK void RegionPixels(const ScanRequest& request, size_t rowBytes, std::vector<uint8_t>& expected) {
    const int32_t width = request.width;
    const int32_t height = request.height;
    const size_t pixelBytes = static_cast<size_t>(request.bytesPerPixel);
    expected.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p =
                request.pixels.data() + static_cast<size_t>(y) * rowBytes + pixelBytes * static_cast<size_t>(x);
            const bool isKey = p[0] == request.key.blue && p[1] == request.key.green && p[2] == request.key.red;
            const Exclusion* ex = request.exclusion ? &*request.exclusion : nullptr;
            const bool excluded = ex && y >= ex->top && y < ex->bottom && x >= ex->left && x <= ex->right;
            expected[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                (isKey == request.antiRegion) || excluded;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in({data, size});
    const int32_t width = in.Byte() % 24;
    int32_t height = in.Byte() % 24;
    const uint8_t flags = in.Byte();
    const PixelKey key{in.Byte(), in.Byte(), in.Byte()};
    const int32_t left = in.Small(), top = in.Small(), right = in.Small(), bottom = in.Small();
    ScanRequest request;
    request.pixels = in.Rest();
    request.bytesPerPixel = (flags & 1) ? 4 : 3;
    const size_t rowBytes = request.bytesPerPixel == 4 ? 4 * static_cast<size_t>(width) : DibRowBytes24(width);
    if (!(flags & 0x80) && rowBytes > 0) {
        // Mostly no more rows than the pixels hold, so that most inputs get past the size check.
        height = static_cast<int32_t>(std::min(static_cast<size_t>(height), request.pixels.size() / rowBytes));
    }
    request.width = width;
    request.height = height;
    request.antiRegion = (flags & 2) != 0;
    request.key = key;
    if (flags & 4) {
        request.exclusion = ClipExclusion(left, top, right, bottom, width, height);
    } else if (flags & 8) {
        request.exclusion = Exclusion{left, top, right, bottom}; // unclipped: may be refused
    }

    std::vector<RowRun> runs;
    try {
        runs = ScanRowRuns(request);
    } catch (const std::invalid_argument&) {
        return 0;
    }

    // The grids are kept from one input to the next: only their contents change.
    static std::vector<uint8_t> expected;
    static std::vector<uint8_t> covered;
    RegionPixels(request, rowBytes, expected);
    FUZZ_CHECK(Cover(runs, width, height, covered) && covered == expected);
    const std::span<const RowRun> lists[] = {runs, runs};
    const std::vector<RowRun> merged = UnionOfRuns(lists);
    FUZZ_CHECK(Cover(merged, width, height, covered) && covered == expected);
    FUZZ_CHECK(merged.size() <= runs.size());
    const std::vector<RowRun> bands = CoalesceRows(merged);
    FUZZ_CHECK(Cover(bands, width, height, covered) && covered == expected);
    FUZZ_CHECK(bands.size() <= merged.size());

    const std::vector<RowRun> regionData = MakeRegionData(bands, width);
    FUZZ_CHECK(regionData.size() == bands.size() + 2);
    const size_t step = (flags >> 4) & 7;
    size_t next = 0;
    for (const ChunkRange& chunk : ChunkRanges(runs.size(), step)) {
        FUZZ_CHECK(chunk.first <= next && chunk.first <= chunk.last && chunk.last < runs.size());
        next = chunk.last + 1;
    }
    FUZZ_CHECK(next == runs.size());
    return 0;
}
