#pragma once
// The disabled look of a picture: every pixel becomes a light grey that keeps the picture's shading.
#include <cstdint>

// Each channel c is first lifted to round(0.3 c + 134.4), then the grey value
// round(0.3 R' + 0.59 G' + 0.11 B') of the lifted colour is taken; both roundings go to the nearest
// integer, halves to even. The result always lies in 134 (black) .. 211 (white).
[[nodiscard]] uint8_t GreyOf(uint8_t red, uint8_t green, uint8_t blue) noexcept;
