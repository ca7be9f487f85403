#pragma once
// The arithmetic half of the drawn controls' face painter (draw/XPFrame.h): the automatic border
// colour, the helper colours that follow the back colour's brightness, and for each of the nine face
// styles the bands of its body, its inner lines and its corner colours. Nothing here draws; the
// painter turns a FacePlan into GDI calls. Colours are COLORREF values as int32_t, system colour codes
// going through the lookup as in core/Color.h.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/Color.h"

inline constexpr int32_t AutomaticColor = -1;

// The border colour to draw: border itself unless it is AutomaticColor (-1). The automatic border
// is the back colour shaded by -68, after first bringing a very light back (grey value above 208)
// down to grey value 208, so that white gives 0x8C8C8C and 0xC0C0C0 gives 0x7C7C7C. A system colour
// code other than -1 is returned as it is.
[[nodiscard]] int32_t AutoBorderColor(int32_t border, int32_t back, SysColorLookup lookup);

// Highlight colours of styles 0 (e0), 4 (e4), 7 (e7) and 8 (e8). Adaptive ones keep a visible
// highlight on very dark backs and avoid a washed-out one on very light backs; otherwise they are
// fixed shades of the back colour.
struct XPHelperColors {
    int32_t e0;
    int32_t e4;
    int32_t e7;
    int32_t e8;
    bool operator==(const XPHelperColors&) const = default;
};
[[nodiscard]] XPHelperColors XPFrameHelperColors(int32_t back, bool adaptive, SysColorLookup lookup);

// Left, top, right, bottom; right and bottom exclusive.
struct FaceRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    bool operator==(const FaceRect&) const = default;
};

enum class FaceBandKind : uint8_t {
    Fill,       // the area filled with `from`; an empty area fills nothing
    Vertical,   // rows top..bottom-1 graded from `from` (first row) towards `to` (GradientVertical)
    Horizontal, // columns left..right-1 graded from `from` (left) towards `to` (GradientHorizontal)
    Line,       // a one-pixel line in `from` from (left, top) to (right, bottom), end point excluded
};

// One painted piece of a face. A Vertical band with left == right is a one-pixel column, a
// Horizontal band with top == bottom a one-pixel row.
struct FaceBand {
    FaceBandKind kind;
    FaceRect area;
    int32_t from;
    int32_t to;
    bool operator==(const FaceBand&) const = default;
};

// What a face style paints, in painting order. Bands may reach past the face on faces too small
// for their fixed heights (a style-4 face under 15 rows, say); the painter clips them to the face.
struct FacePlan {
    std::array<FaceBand, 6> body{};
    size_t bodyCount = 0;
    // Drawn only with the border, after it, inside the face deflated by one pixel.
    std::array<FaceBand, 3> inner{};
    size_t innerCount = 0;
    // The pixels just inside the rounded corners: top two and bottom two.
    int32_t cornerTop = 0;
    int32_t cornerBottom = 0;
    bool operator==(const FacePlan&) const = default;
};

// The plan of face style `style` (0..8; -1, and any value outside 0..8, is the default style 3) on
// the face rectangle. back and border are the colours to use (border already resolved by
// AutoBorderColor); adaptive selects the adaptive helper colours. Coordinates that would pass the
// 32-bit range saturate at its ends; an empty or inverted face has no highlight band.
[[nodiscard]] FacePlan PlanXPFace(const FaceRect& face, int32_t style, bool pressed, bool rounded, int32_t back,
                                  int32_t border, bool adaptive, SysColorLookup lookup);
