#pragma once
// Colour arithmetic shared by the ruler, the owner-drawn menu and the drawn controls. Colours are
// 32-bit values in COLORREF layout (red in the low byte); a negative value is a system colour code
// whose low five bits index the system colour table. The table itself is platform state, so it comes
// in as a lookup (GetSysColor on Windows).
#include <cstdint>

using SysColorLookup = uint32_t (*)(int index);

struct ColorChannels {
    int16_t red, green, blue;
};

// The COLORREF of three channels; each is cut to its low byte like the platform's RGB macro.
constexpr int32_t Rgb(int r, int g, int b) {
    return static_cast<int32_t>((static_cast<uint32_t>(r) & 0xFFu) | ((static_cast<uint32_t>(g) & 0xFFu) << 8) |
                                ((static_cast<uint32_t>(b) & 0xFFu) << 16));
}

// A system colour code becomes lookup(colour & 0x1F); any other value is returned as it is.
int32_t TranslateColor(int32_t colour, SysColorLookup lookup);

// The three channels of a colour (system colour codes translated first).
ColorChannels SplitColor(int32_t colour, SysColorLookup lookup);

// Below 0 gives 0, above 255 gives 255, anything else is kept.
int16_t ClampByte(int16_t value);

// Adds amount to each channel and clamps each to 0..255. The sum is taken in a wider type, so even
// channel 255 + 32767 saturates at 255 instead of overflowing.
int32_t ShadeColor(int32_t colour, int16_t amount, SysColorLookup lookup);

// Mixes percent (clamped to 0..100) of colour B into colour A with single-precision weights, each
// channel rounded half to even: 0 gives A, 100 gives B, black and white at 50 give (128, 128, 128).
int32_t BlendColors(int32_t colourA, int32_t colourB, int16_t percent, SysColorLookup lookup);

// Grey value 0.3 R + 0.59 G + 0.11 B, rounded half to even and clamped to 0..255.
int32_t ColorLuminance(int32_t colour, SysColorLookup lookup);

// Shades the colour by target - ColorLuminance(colour), moving all three channels alike so that its
// grey value approaches target. Any target is accepted; the difference is taken in a wider type.
int32_t ShadeToLuminance(int32_t colour, int16_t target, SysColorLookup lookup);

// One row (or column) colour of a gradient: each channel |from * w + to * (1 - w)| in single
// precision, rounded half to even. w runs from 1 (first row, exactly `from`) down towards 0.
ColorChannels GradientRowColor(ColorChannels from, ColorChannels to, float w);
