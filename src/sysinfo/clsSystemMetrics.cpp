#include "sysinfo/clsSystemMetrics.h"

namespace {

RECT WorkArea() noexcept {
    RECT area{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        area = RECT{};
    }
    return area;
}

} // namespace

int32_t clsSystemMetrics::GetMetric(int index) const noexcept {
    return ::GetSystemMetrics(index);
}

int32_t clsSystemMetrics::WorkScreenWidth() const noexcept {
    const RECT area = WorkArea();
    return area.right - area.left;
}

int32_t clsSystemMetrics::WorkScreenHeight() const noexcept {
    const RECT area = WorkArea();
    return area.bottom - area.top;
}

int32_t clsSystemMetrics::WorkScreenLeft() const noexcept {
    return WorkArea().left;
}

int32_t clsSystemMetrics::WorkScreenTop() const noexcept {
    return WorkArea().top;
}

int32_t clsSystemMetrics::WorkScreenRight() const noexcept {
    return WorkArea().right;
}

int32_t clsSystemMetrics::WorkScreenBottom() const noexcept {
    return WorkArea().bottom;
}
