#include "core/Color.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {

int ClampChannel(int value) {
    return std::clamp(value, 0, 255);
}

int32_t ChannelsToColor(int red, int green, int blue) {
    return Rgb(ClampChannel(red), ClampChannel(green), ClampChannel(blue));
}

// The shade with the amount already widened: a 16-bit sum could overflow for large amounts, and any
// amount beyond +-255 saturates every channel anyway.
int32_t ShadeWide(int32_t colour, int amount, SysColorLookup lookup) {
    const ColorChannels c = SplitColor(colour, lookup);
    return ChannelsToColor(c.red + amount, c.green + amount, c.blue + amount);
}

} // namespace

int32_t TranslateColor(int32_t colour, SysColorLookup lookup) {
    if (colour < 0) {
        assert(lookup != nullptr && "a system colour code needs a lookup");
        return static_cast<int32_t>(lookup(colour & 0x1F));
    }
    return colour;
}

ColorChannels SplitColor(int32_t colour, SysColorLookup lookup) {
    const int32_t value = TranslateColor(colour, lookup);
    return ColorChannels{static_cast<int16_t>(value & 0xFF), static_cast<int16_t>((value & 0xFF00) >> 8),
                         static_cast<int16_t>((value & 0xFF0000) >> 16)};
}

int16_t ClampByte(int16_t value) {
    return static_cast<int16_t>(ClampChannel(value));
}

int32_t ShadeColor(int32_t colour, int16_t amount, SysColorLookup lookup) {
    return ShadeWide(colour, amount, lookup);
}

int32_t BlendColors(int32_t colourA, int32_t colourB, int16_t percent, SysColorLookup lookup) {
    const int16_t clamped = std::clamp<int16_t>(percent, 0, 100);
    const float weightA = static_cast<float>(100 - clamped) / 100.0f;
    const float weightB = 1.0f - weightA;
    const ColorChannels a = SplitColor(colourA, lookup);
    const ColorChannels b = SplitColor(colourB, lookup);
    const auto mix = [&](int16_t ca, int16_t cb) {
        return static_cast<int>(std::lrint(static_cast<float>(ca) * weightA + static_cast<float>(cb) * weightB));
    };
    return ChannelsToColor(mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue));
}

int32_t ColorLuminance(int32_t colour, SysColorLookup lookup) {
    const ColorChannels c = SplitColor(colour, lookup);
    const double grey = 0.3 * c.red + 0.59 * c.green + 0.11 * c.blue;
    return ClampChannel(static_cast<int>(std::nearbyint(grey)));
}

int32_t ShadeToLuminance(int32_t colour, int16_t target, SysColorLookup lookup) {
    return ShadeWide(colour, static_cast<int>(target) - ColorLuminance(colour, lookup), lookup);
}

ColorChannels GradientRowColor(ColorChannels from, ColorChannels to, float w) {
    const auto mix = [w](int16_t f, int16_t t) {
        const float value = std::fabs(static_cast<float>(f) * w + static_cast<float>(t) * (1.0f - w));
        return static_cast<int16_t>(std::lrint(value));
    };
    return ColorChannels{mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}
