#pragma once
// The shape of the measuring outline: a ring along the edges of a width x height window, everything
// inside it cut out so that the outlined window stays visible and clickable.
#include <cstdint>
#include <vector>

#include "core/RegionScan.h"

// Thickness of the ring: a red outer and a yellow inner pixel.
inline constexpr int32_t OutlineRingWidth = 2;

// The ring's rows as region runs in scan order: the top and bottom two rows whole, the rows between
// them as a left and a right run of two pixels. A window too small for a hole (fewer than five rows or
// columns) is one solid block. A size below 1 gives no runs.
[[nodiscard]] std::vector<RowRun> OutlineRingRuns(int32_t width, int32_t height);
