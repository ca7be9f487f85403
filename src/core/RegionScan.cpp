#include "core/RegionScan.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

bool IsKey(const uint8_t* pixel, PixelKey key) {
    return pixel[0] == key.blue && pixel[1] == key.green && pixel[2] == key.red;
}

// Adds the runs of one row between columns from and to (exclusive); a run still open at `to` ends there.
void ScanSpan(const uint8_t* row, size_t bytesPerPixel, int32_t y, int32_t from, int32_t to, PixelKey key,
              bool antiRegion, std::vector<RowRun>& runs) {
    int32_t start = -1;
    for (int32_t x = from; x < to; ++x) {
        const bool belongs = IsKey(row + bytesPerPixel * static_cast<size_t>(x), key) == antiRegion;
        if (belongs) {
            if (start < 0) {
                start = x;
            }
        } else if (start >= 0) {
            runs.push_back({start, y, x, y + 1});
            start = -1;
        }
    }
    if (start >= 0) {
        runs.push_back({start, y, to, y + 1});
    }
}

} // namespace

std::optional<Exclusion> ClipExclusion(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t width,
                                       int32_t height) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width);
    bottom = std::min(bottom, height);
    if (bottom <= top || right <= left) {
        return std::nullopt;
    }
    return Exclusion{left, top, right, bottom};
}

PixelKey TransparentKey(int32_t transColor, std::span<const uint8_t> pixels, SysColorLookup lookup) {
    if (transColor == -1) {
        if (pixels.size() < 3) {
            return {};
        }
        return {pixels[0], pixels[1], pixels[2]};
    }
    uint32_t colour = static_cast<uint32_t>(transColor);
    if (transColor < 0) {
        // The whole low byte is the index, not just the five bits that name a real system colour;
        // the lookup is the one that has to cope with an index it does not know.
        colour = lookup != nullptr ? lookup(transColor & 0xFF) : 0;
    }
    return {static_cast<uint8_t>(colour >> 16), static_cast<uint8_t>(colour >> 8), static_cast<uint8_t>(colour)};
}

std::vector<RowRun> ScanRowRuns(const ScanRequest& request) {
    const int32_t width = request.width;
    const int32_t height = request.height;
    if (width < 0 || height < 0) {
        throw std::invalid_argument("ScanRowRuns: negative size");
    }
    if (request.bytesPerPixel != 3 && request.bytesPerPixel != 4) {
        throw std::invalid_argument("ScanRowRuns: 3 or 4 bytes per pixel");
    }
    const auto pixelBytes = static_cast<size_t>(request.bytesPerPixel);
    const size_t rowBytes = pixelBytes == 4 ? 4 * static_cast<size_t>(width) : DibRowBytes24(width);
    if (height > 0 && request.pixels.size() / static_cast<size_t>(height) < rowBytes) {
        throw std::invalid_argument("ScanRowRuns: pixel buffer too small");
    }
    const std::optional<Exclusion>& ex = request.exclusion;
    if (ex && !(ex->left >= 0 && ex->left < ex->right && ex->right <= width && ex->top >= 0 && ex->top < ex->bottom &&
                ex->bottom <= height)) {
        throw std::invalid_argument("ScanRowRuns: exclusion not clipped to the bitmap");
    }
    // The last column of the exclusion may be the width itself (it is clipped to the width, not to the
    // last column); the excluded span still stops at the right edge.
    const int32_t spanRight = ex ? static_cast<int32_t>(std::min<int64_t>(int64_t{ex->right} + 1, width)) : 0;

    std::vector<RowRun> runs;
    runs.reserve(3 * static_cast<size_t>(width));
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = request.pixels.data() + static_cast<size_t>(y) * rowBytes;
        if (ex && y >= ex->top && y < ex->bottom) {
            ScanSpan(row, pixelBytes, y, 0, ex->left, request.key, request.antiRegion, runs);
            runs.push_back({ex->left, y, spanRight, y + 1});
            ScanSpan(row, pixelBytes, y, ex->right, width, request.key, request.antiRegion, runs);
        } else {
            ScanSpan(row, pixelBytes, y, 0, width, request.key, request.antiRegion, runs);
        }
    }
    return runs;
}

std::vector<RowRun> UnionOfRuns(std::span<const std::span<const RowRun>> lists) {
    size_t total = 0;
    for (const std::span<const RowRun> list : lists) {
        for (size_t i = 0; i < list.size(); ++i) {
            const RowRun& r = list[i];
            if (r.left >= r.right || int64_t{r.top} + 1 != r.bottom || (i > 0 && r.top < list[i - 1].top)) {
                throw std::invalid_argument("UnionOfRuns: not one-row runs in scan order");
            }
        }
        total += list.size();
    }
    std::vector<RowRun> merged;
    merged.reserve(total);
    std::vector<size_t> next(lists.size(), 0);
    std::vector<RowRun> row; // the runs of the row being merged, from every list
    for (;;) {
        // The next row that any list has runs in.
        bool any = false;
        int32_t y = 0;
        for (size_t k = 0; k < lists.size(); ++k) {
            if (next[k] < lists[k].size() && (!any || lists[k][next[k]].top < y)) {
                y = lists[k][next[k]].top;
                any = true;
            }
        }
        if (!any) {
            return merged;
        }
        row.clear();
        for (size_t k = 0; k < lists.size(); ++k) {
            for (; next[k] < lists[k].size() && lists[k][next[k]].top == y; ++next[k]) {
                row.push_back(lists[k][next[k]]);
            }
        }
        std::sort(row.begin(), row.end(), [](const RowRun& a, const RowRun& b) { return a.left < b.left; });
        RowRun current = row.front();
        for (size_t i = 1; i < row.size(); ++i) {
            if (row[i].left <= current.right) {
                current.right = std::max(current.right, row[i].right);
            } else {
                merged.push_back(current);
                current = row[i];
            }
        }
        merged.push_back(current);
    }
}

std::vector<RowRun> CoalesceRows(std::span<const RowRun> runs) {
    std::optional<std::vector<RowRun>> bands = TryCoalesceRows(runs);
    if (!bands) {
        throw std::invalid_argument("CoalesceRows: runs must be one row high and in scan order");
    }
    return std::move(*bands);
}

std::optional<std::vector<RowRun>> TryCoalesceRows(std::span<const RowRun> runs) {
    std::vector<RowRun> bands;
    bands.reserve(runs.size());
    size_t band = 0; // where the last band starts in `bands`
    for (size_t first = 0; first < runs.size();) {
        const int32_t y = runs[first].top;
        size_t end = first;
        for (; end < runs.size() && runs[end].top == y; ++end) {
            if (int64_t{runs[end].top} + 1 != runs[end].bottom) {
                return std::nullopt;
            }
        }
        if (end < runs.size() && runs[end].top < y) {
            return std::nullopt;
        }
        const size_t count = end - first;
        const bool extends =
            !bands.empty() && bands.back().bottom == y && bands.size() - band == count &&
            std::equal(runs.begin() + static_cast<ptrdiff_t>(first), runs.begin() + static_cast<ptrdiff_t>(end),
                       bands.begin() + static_cast<ptrdiff_t>(band),
                       [](const RowRun& a, const RowRun& b) { return a.left == b.left && a.right == b.right; });
        if (extends) {
            for (size_t i = band; i < bands.size(); ++i) {
                bands[i].bottom = y + 1;
            }
        } else {
            band = bands.size();
            bands.insert(bands.end(), runs.begin() + static_cast<ptrdiff_t>(first),
                         runs.begin() + static_cast<ptrdiff_t>(end));
        }
        first = end;
    }
    return bands;
}

RegionDataHeader MakeRegionHeader(std::span<const RowRun> slice, int32_t width) {
    if (slice.size() > std::numeric_limits<uint32_t>::max() / sizeof(RowRun)) {
        throw std::length_error("MakeRegionHeader: too many rectangles for one region");
    }
    const auto count = static_cast<uint32_t>(slice.size());
    RegionDataHeader header{kRegionHeaderSize, kRegionTypeRectangles, count,
                            count * static_cast<uint32_t>(sizeof(RowRun)), RowRun{0, 0, 0, 0}};
    if (!slice.empty()) {
        header.bounds = {0, slice.front().top, width, slice.back().bottom};
    }
    return header;
}

std::vector<RowRun> MakeRegionData(std::span<const RowRun> slice, int32_t width) {
    const RegionDataHeader header = MakeRegionHeader(slice, width);
    std::vector<RowRun> data(slice.size() + 2);
    std::memcpy(data.data(), &header, sizeof(header));
    std::copy(slice.begin(), slice.end(), data.begin() + 2);
    return data;
}

std::vector<ChunkRange> ChunkRanges(size_t count, size_t step) {
    std::vector<ChunkRange> chunks;
    if (count == 0) {
        return chunks;
    }
    step = std::max<size_t>(step, 1);
    const size_t last = count - 1;
    for (size_t first = 0;; first += step) {
        const size_t end = last - first > step ? first + step : last;
        chunks.push_back({first, end});
        if (end == last) {
            break;
        }
    }
    return chunks;
}
