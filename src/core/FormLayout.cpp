#include "core/FormLayout.h"

#include <algorithm>
#include <cmath>

int32_t ScaleToDpi(int32_t value, int32_t dpi) {
    if (dpi < 1) {
        dpi = kDesignDpi;
    }
    // Exact in double for every int32 value and DPI a monitor has; lrint rounds halves to even.
    return static_cast<int32_t>(std::lrint(static_cast<double>(value) * dpi / kDesignDpi));
}

LayoutBox ScaleToDpi(const LayoutBox& box, int32_t dpi) {
    const int32_t left = ScaleToDpi(box.left, dpi);
    const int32_t top = ScaleToDpi(box.top, dpi);
    return LayoutBox{left, top, ScaleToDpi(box.right(), dpi) - left, ScaleToDpi(box.bottom(), dpi) - top};
}

namespace {

// The start of a `length` long span centred on [from, from + span), moved into [low, high) as far as
// it fits (from `low` when it is longer than the range).
int32_t CentredWithin(int32_t from, int32_t span, int32_t length, int32_t low, int32_t high) {
    const int32_t centred = from + (span - length) / 2;
    return std::max(low, std::min(centred, high - length));
}

} // namespace

LayoutPoint PlaceClearOf(const LayoutBox& workArea, const LayoutBox& ruler, int32_t width, int32_t height,
                         int32_t gap) {
    const bool fitsAcross = width <= workArea.width;
    const bool fitsDown = height <= workArea.height;
    if (fitsDown) {
        const int32_t y = CentredWithin(ruler.top, ruler.height, height, workArea.top, workArea.bottom());
        if (ruler.right() + gap + width <= workArea.right()) {
            return {std::max(workArea.left, ruler.right() + gap), y};
        }
        if (ruler.left - gap - width >= workArea.left) {
            return {std::min(workArea.right() - width, ruler.left - gap - width), y};
        }
    }
    if (fitsAcross) {
        const int32_t x = CentredWithin(ruler.left, ruler.width, width, workArea.left, workArea.right());
        if (ruler.bottom() + gap + height <= workArea.bottom()) {
            return {x, std::max(workArea.top, ruler.bottom() + gap)};
        }
        if (ruler.top - gap - height >= workArea.top) {
            return {x, std::min(workArea.bottom() - height, ruler.top - gap - height)};
        }
    }
    return {CentredWithin(workArea.left, workArea.width, width, workArea.left, workArea.right()),
            CentredWithin(workArea.top, workArea.height, height, workArea.top, workArea.bottom())};
}

LayoutBox FitLabelToText(const LayoutBox& designed, int32_t textWidth, int32_t textHeight, int32_t clientWidth,
                         int32_t margin) {
    LayoutBox box{designed.left, designed.top, std::max(designed.width, textWidth),
                  std::max(designed.height, textHeight)};
    const int32_t limit = clientWidth - margin;
    if (box.right() > limit) {
        box.left = std::max(0, limit - box.width);
    }
    return box;
}
