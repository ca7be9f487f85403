#include "core/GreyOf.h"

#include <cmath>

namespace {

// Both steps are evaluated in double precision as written, not as exact fractions: some sums that are
// halves on paper come out just beside the half in double, and the greys follow the double value.
// Exact halves (0.3 * 7 + 134.4 is 136.5) round to even. lrint rounds so in the default rounding mode,
// like nearbyint, but without nearbyint's saving and restoring of the floating-point environment,
// which had been most of the cost of greying a picture.
long Lifted(uint8_t channel) noexcept {
    return std::lrint(0.3 * channel + 134.4);
}

} // namespace

uint8_t GreyOf(uint8_t red, uint8_t green, uint8_t blue) noexcept {
    const long grey = std::lrint(0.3 * static_cast<double>(Lifted(red)) + 0.59 * static_cast<double>(Lifted(green)) +
                                 0.11 * static_cast<double>(Lifted(blue)));
    // Lifted channels lie in 134..211 and the weights sum to 1, so the grey does too.
    return static_cast<uint8_t>(grey);
}
