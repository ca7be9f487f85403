#include "core/OutlineRing.h"

std::vector<RowRun> OutlineRingRuns(int32_t width, int32_t height) {
    std::vector<RowRun> runs;
    if (width < 1 || height < 1) {
        return runs;
    }
    constexpr int32_t ring = OutlineRingWidth;
    if (width <= 2 * ring || height <= 2 * ring) {
        for (int32_t y = 0; y < height; ++y) {
            runs.push_back({0, y, width, y + 1});
        }
        return runs;
    }
    runs.reserve(2 * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        if (y < ring || y >= height - ring) {
            runs.push_back({0, y, width, y + 1});
        } else {
            runs.push_back({0, y, ring, y + 1});
            runs.push_back({width - ring, y, width, y + 1});
        }
    }
    return runs;
}
