#include "core/RegionScan.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

// A colour as one number, so that a pixel is matched against the key with one comparison.
uint32_t ColourOf(const uint8_t* pixel) {
    return uint32_t{pixel[0]} | (uint32_t{pixel[1]} << 8) | (uint32_t{pixel[2]} << 16);
}

// Adds the runs of one row between columns from and to (exclusive); a run still open at `to` ends there.
void ScanSpan(const uint8_t* row, size_t bytesPerPixel, int32_t y, int32_t from, int32_t to, PixelKey key,
              bool antiRegion, std::vector<RowRun>& runs) {
    const uint32_t keyColour = uint32_t{key.blue} | (uint32_t{key.green} << 8) | (uint32_t{key.red} << 16);
    const auto belongs = [&](const uint8_t* pixel) { return (ColourOf(pixel) == keyColour) == antiRegion; };
    const uint8_t* pixel = row + bytesPerPixel * static_cast<size_t>(from);
    const uint8_t* const end = row + bytesPerPixel * static_cast<size_t>(to);
    int32_t x = from;
    while (pixel != end) {
        // Past the pixels outside the region, then along the run.
        for (; pixel != end && !belongs(pixel); pixel += bytesPerPixel) {
            ++x;
        }
        if (pixel == end) {
            return;
        }
        const int32_t start = x;
        for (; pixel != end && belongs(pixel); pixel += bytesPerPixel) {
            ++x;
        }
        runs.push_back({start, y, x, y + 1});
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
        total += list.size();
    }
    std::vector<RowRun> merged;
    merged.reserve(total);
    const auto byLeft = [](const RowRun& a, const RowRun& b) { return a.left < b.left; };
    // Where each list stands: its runs from `at` to `end` are still to be merged, those up to `rowEnd` lie
    // in the row being merged.
    struct Cursor {
        const RowRun* at;
        const RowRun* rowEnd;
        const RowRun* end;
    };
    std::vector<Cursor> cursors;
    cursors.reserve(lists.size());
    for (const std::span<const RowRun> list : lists) {
        cursors.push_back({list.data(), list.data(), list.data() + list.size()});
    }
    for (;;) {
        // The next row that any list has runs in.
        const RowRun* next = nullptr;
        for (const Cursor& list : cursors) {
            if (list.at != list.end && (next == nullptr || list.at->top < next->top)) {
                next = list.at;
            }
        }
        if (next == nullptr) {
            return merged;
        }
        // Each list's runs in the row, checked on the way: every run is taken here once, so every run
        // and every list's order is checked before the result is complete.
        const int32_t y = next->top;
        bool inOrder = true;
        for (Cursor& list : cursors) {
            for (list.rowEnd = list.at; list.rowEnd != list.end && list.rowEnd->top == y; ++list.rowEnd) {
                if (list.rowEnd->left >= list.rowEnd->right || int64_t{y} + 1 != list.rowEnd->bottom) {
                    throw std::invalid_argument("UnionOfRuns: not one-row runs in scan order");
                }
                inOrder = inOrder && (list.rowEnd == list.at || list.rowEnd[-1].left <= list.rowEnd->left);
            }
            if (list.rowEnd != list.end && list.rowEnd->top < y) {
                throw std::invalid_argument("UnionOfRuns: not one-row runs in scan order");
            }
        }
        if (inOrder) {
            // Each list gives its runs of the row left to right (as the scanner does): they are merged
            // as they are read, the leftmost first, each joined to the run before when it overlaps or
            // touches it.
            RowRun current{};
            bool open = false;
            for (;;) {
                Cursor* leftmost = nullptr;
                for (Cursor& list : cursors) {
                    if (list.at != list.rowEnd && (leftmost == nullptr || list.at->left < leftmost->at->left)) {
                        leftmost = &list;
                    }
                }
                if (leftmost == nullptr) {
                    break;
                }
                const RowRun& r = *leftmost->at++;
                if (open && r.left <= current.right) {
                    current.right = std::max(current.right, r.right);
                } else {
                    if (open) {
                        merged.push_back(current);
                    }
                    current = r;
                    open = true;
                }
            }
            merged.push_back(current);
        } else {
            // Otherwise the row's runs are gathered at the end of the result, sorted there and merged in
            // place.
            const size_t rowStart = merged.size();
            for (Cursor& list : cursors) {
                merged.insert(merged.end(), list.at, list.rowEnd);
                list.at = list.rowEnd;
            }
            const auto first = merged.begin() + static_cast<ptrdiff_t>(rowStart);
            std::sort(first, merged.end(), byLeft);
            auto current = first;
            for (auto r = first + 1; r != merged.end(); ++r) {
                if (r->left <= current->right) {
                    current->right = std::max(current->right, r->right);
                } else {
                    *++current = *r;
                }
            }
            merged.erase(current + 1, merged.end());
        }
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
    const RowRun* const end = runs.data() + runs.size();
    for (const RowRun* first = runs.data(); first != end;) {
        const int32_t y = first->top;
        const RowRun* rowEnd = first;
        for (; rowEnd != end && rowEnd->top == y; ++rowEnd) {
            if (int64_t{rowEnd->top} + 1 != rowEnd->bottom) {
                return std::nullopt;
            }
        }
        if (rowEnd != end && rowEnd->top < y) {
            return std::nullopt;
        }
        const auto count = static_cast<size_t>(rowEnd - first);
        const bool extends =
            !bands.empty() && bands.back().bottom == y && bands.size() - band == count &&
            std::equal(first, rowEnd, bands.begin() + static_cast<ptrdiff_t>(band),
                       [](const RowRun& a, const RowRun& b) { return a.left == b.left && a.right == b.right; });
        if (extends) {
            for (RowRun& b : std::span(bands).subspan(band)) {
                b.bottom = y + 1;
            }
        } else {
            band = bands.size();
            bands.insert(bands.end(), first, rowEnd);
        }
        first = rowEnd;
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
    chunks.reserve(last / step + 1);
    for (size_t first = 0;; first += step) {
        const size_t end = last - first > step ? first + step : last;
        chunks.push_back({first, end});
        if (end == last) {
            break;
        }
    }
    return chunks;
}
